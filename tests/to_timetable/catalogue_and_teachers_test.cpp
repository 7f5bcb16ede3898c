// Steps 1 to 3: the subjects and tasks catalogue and the teachers.
#include <gtest/gtest.h>

#include "tests/support/conversion_fixture.h"

namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

std::string contenido(const std::string& codigo, const std::string& cas, const std::string& val = "",
                      const std::string& curso = "C1") {
    return "<contenido codigo=\"" + codigo + "\" nombre_cas=\"" + cas + "\" nombre_val=\"" + val +
           "\" curso=\"" + curso + "\"/>";
}
std::string ocupacion(const std::string& codigo, const std::string& cas, const std::string& val = "") {
    return "<ocupacion codigo=\"" + codigo + "\" nombre_cas=\"" + cas + "\" nombre_val=\"" + val + "\"/>";
}
std::string docente(const std::string& a1, const std::string& a2, const std::string& n,
                    const std::string& doc = "", const std::string& extra = "") {
    return "<docente apellido1=\"" + a1 + "\" apellido2=\"" + a2 + "\" nombre=\"" + n + "\" documento=\"" +
           doc + "\" " + extra + "/>";
}

TEST(Catalogue, TheWorkedExample) {
    Conversion c;
    c.run("<contenidos>" + contenido("MAT1", "Matemáticas") + contenido("MAT1", "Matemáticas I") +
          contenido("HIST0123456", "Historia") + contenido("FIS", "Matemáticas") +
          "</contenidos><ocupaciones>" + ocupacion("OC1345", "Guardia") + ocupacion("OC2345", "Biblioteca") +
          ocupacion("OC3345", "Recreo") + ocupacion("OC4000", "Historia") + "</ocupaciones>");
    const auto rows = c.rows("ASIGNOMT");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(c.column("ASIGNOMT", "COD"), (Strings{"MAT1", "HIST012356", "FIS", "*345", "*34A", "*34B"}));
    EXPECT_EQ(c.column("ASIGNOMT", "ABREV_ITACA"),
              (Strings{"MAT1", "HIST012345", "FIS", "OC1345", "OC2345", "OC3345"}));
    EXPECT_EQ(rows[0].at("CODLARGO"), "Matemática");  // the first 10 characters of the name
    EXPECT_EQ(rows[0].at("NOMBRE"), "Matemáticas");
    EXPECT_EQ(rows[0].at("ESTAREA"), "F");
    EXPECT_EQ(rows[0].at("CODTAREA"), "");
    EXPECT_EQ(rows[4].at("CODLARGO"), "Bibliote");  // tasks: the first 8
    EXPECT_EQ(rows[4].at("CODTAREA"), "OC2345");
    EXPECT_EQ(rows[4].at("ESTAREA"), "T");
    EXPECT_EQ(rows[4].at("MATERIA"), "");
    EXPECT_EQ(
        c.dialogs.warnings,
        (Strings{"aviso: el código \"HIST0123456\" (11 caracteres) no cabe en ASIGNOMT.ABREV_ITACA (10)"}));
}

TEST(Catalogue, TheLanguageRuleAndOneElementLists) {
    struct Case {
        const char* language;
        const char* name;
    };
    const Case cases[] = {{"VALENCIÁ", "Matemàtiques"},
                          {"CASTELLANO", "Matemáticas"},
                          {"valenciá", "Matemáticas"},
                          {"otra cosa", "Matemáticas"}};
    for (const Case& k : cases) {
        Conversion c;
        c.run("<contenidos>" + contenido("MAT1", "Matemáticas", "Matemàtiques") +
                  "</contenidos><ocupaciones>" + ocupacion("GUA", "Guardia", "Guàrdia") + "</ocupaciones>",
              k.language);
        const auto rows = c.rows("ASIGNOMT");
        ASSERT_EQ(rows.size(), 2u) << k.language;  // one element each is walked like any other
        EXPECT_EQ(rows[0].at("NOMBRE"), k.name) << k.language;
    }
}

TEST(Catalogue, CodesStayUniqueInTheStoredForm) {
    Conversion c;
    c.run("<contenidos>" + contenido("FIS", "Física") +
          contenido("HIST0123456", "Física") +   // name met: whole
          contenido("HIST012345", "Historia") +  // equals the stored form of the one before: no row
          contenido("HIST0123456", "Física") +   // the same long code again: in the list already
          contenido("ABCDEFGHIJKL", "Nueva") +   // a new name: 8 plus 2
          "</contenidos>");
    EXPECT_EQ(c.column("ASIGNOMT", "COD"), (Strings{"FIS", "HIST012345", "ABCDEFGHKL"}));
}

TEST(Catalogue, TaskCodes) {
    std::string occupations;
    // 193 occupations ending in 345: *345, then *34A through *34 followed by character 255, then *341.
    for (int i = 0; i < 193; ++i)
        occupations += ocupacion("X" + std::to_string(i) + "345", "Tarea " + std::to_string(i));
    Conversion c;
    c.run("<ocupaciones>" + ocupacion("12", "Dos") + ocupacion("", "Vacia") + ocupacion("OC9", "Guardia") +
          ocupacion("XX9", "Guardia") + occupations + "</ocupaciones>");
    const auto codes = c.column("ASIGNOMT", "COD");
    ASSERT_EQ(codes.size(), 3u + 193u);
    EXPECT_EQ(codes[0], "*12");
    EXPECT_EQ(codes[1], "*");
    EXPECT_EQ(codes[2], "*OC9");  // the second Guardia gives no row
    EXPECT_EQ(codes[3], "*345");
    EXPECT_EQ(codes[4], "*34A");
    EXPECT_EQ(codes[5], "*34B");
    EXPECT_EQ(codes[3 + 191], "*34ÿ");  // character 255
    EXPECT_EQ(codes[3 + 192], "*341");
}

TEST(Catalogue, AnOccupationNamedLikeASubjectGivesNoRow) {
    Conversion c;
    c.run("<contenidos>" + contenido("TUT1", "Tutoría") + "</contenidos><ocupaciones>" +
          ocupacion("TUTO", "Tutoría") + ocupacion("GUA", "Guardia") + "</ocupaciones>");
    EXPECT_EQ(c.column("ASIGNOMT", "COD"), (Strings{"TUT1", "*GUA"}));
}

TEST(Teachers, TheWorkedExample) {
    Conversion c;
    c.run("<docentes>" + docente("García", "López", "Ana", "1A") + docente("Gómez", "Luna", "Antonio", "2B") +
          docente("gil", "lara", "alba", "3C") + docente("Pérez", "", "Juan", "4D") + "</docentes>");
    EXPECT_EQ(c.column("PROFT", "ABREV"), (Strings{"GLA", "GLA1", "gla2", "PJ"}));
    EXPECT_EQ(c.column("PROFT", "NOMBRE"),
              (Strings{"García López, Ana", "Gómez Luna, Antonio", "gil lara, alba", "Pérez , Juan"}));
    EXPECT_EQ(c.column("PROFT", "DNI"), (Strings{"1A", "2B", "3C", "4D"}));
}

TEST(Teachers, InitialsCollideWhateverTheirLetterCaseAndAccents) {
    std::string teachers = docente("Álvarez", "Ñúñez", "Óscar") + docente("álvarez", "ñúñez", "óscar") +
                           docente("Alvarez", "Nuñez", "Oscar") + docente("Só", "lo", "");
    for (int i = 0; i < 10; ++i) teachers += docente("García", "López", "Ana");
    Conversion c;
    c.run("<docentes>" + teachers + "</docentes>");
    const auto codes = c.column("PROFT", "ABREV");
    EXPECT_EQ(Strings(codes.begin(), codes.begin() + 4), (Strings{"ÁÑÓ", "áñó1", "ANO", "Sl"}));
    EXPECT_EQ(codes[4], "GLA");
    EXPECT_EQ(codes[13], "GLA9");
    Conversion eleven;
    std::string more;
    for (int i = 0; i < 11; ++i) more += docente("García", "López", "Ana");
    eleven.run("<docentes>" + more + "</docentes>");
    EXPECT_EQ(eleven.column("PROFT", "ABREV").back(), "GLA10");
}

TEST(Teachers, LongValuesAreCutAndLongCodesWarnedAbout) {
    const std::string longName(45, 'x');
    Conversion c;
    c.run("<docentes>" +
          docente(longName, longName, "Ana", "123456789012345678",
                  "fecha_ingreso=\"2010-09-01T00:00\" ensenanza=\"ESO-LOE\"") +
          "</docentes>");
    const auto row = c.rows("PROFT").at(0);
    EXPECT_EQ(row.at("NOMBRE"), (longName + " " + longName).substr(0, 80));
    EXPECT_EQ(row.at("F_TOMAPOS"), "2010-09-01");
    EXPECT_EQ(row.at("ENSENANZA"), "ESO-L");
    EXPECT_EQ(row.at("DNI"), "12345678901234");
    EXPECT_EQ(c.dialogs.warnings,
              (Strings{"aviso: el código \"123456789012345678\" (18 caracteres) no cabe en PROFT.DNI (14)",
                       "aviso: el código \"ESO-LOE\" (7 caracteres) no cabe en PROFT.ENSENANZA (5)"}));
}

TEST(Catalogue, EveryTableExistsAfterARunOnAnEmptyDocument) {
    Conversion c;
    c.run("");
    Strings written;
    for (const auto& t : c.report.tablesWritten) written.push_back(t.table);
    EXPECT_EQ(written, (Strings{"ASIGNOMT", "PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST"}));
    for (const char* table : {"ASIGNOMT", "ASIGT", "AULAT", "CURSOST", "DIASHORAST", "GRUPOST", "PROFT"}) {
        EXPECT_TRUE(c.rows(table).empty()) << table;
    }
}

}  // namespace
