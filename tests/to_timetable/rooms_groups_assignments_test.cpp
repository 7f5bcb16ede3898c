// Steps 4 to 6: rooms, courses and groups, and the class assignments.
#include <gtest/gtest.h>

#include "tests/support/conversion_fixture.h"

namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

std::string aula(const std::string& codigo, const std::string& nombre) {
    return "<aula codigo=\"" + codigo + "\" nombre=\"" + nombre + "\"/>";
}
std::string curso(const std::string& codigo, const std::string& abreviatura, const std::string& padre,
                  const std::string& ensenanza = "E1") {
    return "<curso codigo=\"" + codigo + "\" abreviatura=\"" + abreviatura + "\" padre=\"" + padre +
           "\" ensenanza=\"" + ensenanza + "\"/>";
}
std::string grupo(const std::string& codigo, const std::string& extra = "") {
    return "<grupo codigo=\"" + codigo + "\" nombre=\"Grupo " + codigo +
           "\" turno=\"Mañana\" ensenanza=\"E1\" " + extra + "/>";
}
std::string cursoGrupo(const std::string& grupo, const std::string& curso) {
    return "<curso_grupo grupo=\"" + grupo + "\" curso=\"" + curso + "\"/>";
}
std::string docente(const std::string& initials, const std::string& documento) {
    return "<docente apellido1=\"" + initials.substr(0, 1) + "\" apellido2=\"" + initials.substr(1, 1) +
           "\" nombre=\"" + initials.substr(2, 1) + "\" documento=\"" + documento + "\"/>";
}
std::string contenido(const std::string& codigo, const std::string& curso, const std::string& cas = "Cas",
                      const std::string& val = "Val") {
    return "<contenido codigo=\"" + codigo + "\" curso=\"" + curso + "\" nombre_cas=\"" + cas +
           "\" nombre_val=\"" + val + "\"/>";
}
const std::string kTemplate =
    "<plantillas_horario><plantilla_horario codigo=\"P\" turno=\"Tarde\"/></plantillas_horario>";

TEST(Rooms, TheWorkedExample) {
    Conversion c;
    c.run("<aulas>" + aula("A101", "Aula 101") + aula("", "Laboratorio") + aula("", "Laboratorio de física") +
          aula("a101", "Aula nueva") + aula("SALADEACTO", "Salón de actos") +
          aula("SALADEACTO", "Salón pequeño") + aula("GIMNASIO-01", "Gimnasio") + aula("", "Bar") +
          aula("ABCDEFGHIJ", "x") + aula("abcdefghij", "y") + "</aulas>");
    EXPECT_EQ(c.column("AULAT", "ABREV"),
              (Strings{"A101", "Labo", "Labo1", "a1011", "SALADEACTO", "SALADEAC1", "GIMNASIO1", "Bar",
                       "ABCDEFGHIJ", "abcdefgh1"}));
    EXPECT_EQ(c.column("AULAT", "ABREV_ITACA"), (Strings{"A101", "", "", "a101", "SALADEACTO", "SALADEACTO",
                                                         "GIMNASIO-0", "", "ABCDEFGHIJ", "abcdefghij"}));
    const auto first = c.rows("AULAT").at(0);
    EXPECT_EQ(first.at("NOMBRE"), "Aula 101");
    EXPECT_EQ(first.at("MAXALUM"), "");
    EXPECT_EQ(first.at("EDIFICIO"), "");
}

TEST(Courses, TheWorkedExampleAndTheTurns) {
    Conversion c;
    c.run(kTemplate + "<ensenanzas><ensenanza ensenanza=\"E1\" abreviatura=\"ESO\"/></ensenanzas><cursos>" +
          curso("100", "1ESO", "") + curso("200", "ESO1", "") + curso("300", "PMAR", "100") +
          curso("400", "", "") + curso("500", "", "100", "E9") + "</cursos><grupos>" + grupo("1ESOA") +
          "</grupos>");
    const auto rows = c.rows("CURSOST");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Row{{"ABREV", "1ES"},
                            {"TURNO", "T"},
                            {"NIVEL", "ESO"},
                            {"CURSO", "1"},
                            {"CLAVE", "100"},
                            {"ESTUD", "1ESO"}}));
    EXPECT_EQ(rows[1].at("ABREV"), "PMA");
    EXPECT_EQ(rows[1].at("CURSO"), "P");
    EXPECT_EQ(rows[2].at("NIVEL"), "");                         // a teaching that is not there
    EXPECT_EQ(c.column("GRUPOST", "TURNO"), (Strings{"M"}));    // a group keeps its own turn
    EXPECT_EQ(c.column("GRUPOST", "NIVEL"), (Strings{"ESO"}));  // one teaching matches like any
}

TEST(Groups, TheWorkedExampleOfGroupCodes) {
    std::string groups = grupo("1ESOA") + grupo("1ESOA") + grupo("1esoa") + grupo("2BACHCIENC") +
                         grupo("2BACHCIENC") + grupo("3ESOPMARDIVER") + grupo("X");
    Conversion c;
    c.run("<grupos>" + groups + "</grupos>");
    EXPECT_EQ(c.column("GRUPOST", "ABREV"),
              (Strings{"1ESOA", "1ESOA1", "1esoa2", "2BACHCIENC", "2BACHCIEN1", "3ESOPMARER", "X"}));
    EXPECT_EQ(c.column("GRUPOST", "CURSO"), (Strings{"1", "1", "1", "2", "2", "3", "X"}));
    EXPECT_EQ(c.column("GRUPOST", "GRUPO"), (Strings{"A", "A", "a", "C", "C", "R", "X"}));
    EXPECT_EQ(c.column("GRUPOST", "CLAVE")[5], "3ESOPMARDI");
}

TEST(Groups, CodesStayUniqueAfterTheCounterAndTheShortening) {
    std::string groups;
    for (int i = 0; i < 11; ++i) groups += grupo("2BACHCIENC");
    groups += grupo("ABCDEFGHxxYZ") + grupo("ABCDEFGHooYZ");  // both shorten to ABCDEFGHYZ
    Conversion c;
    c.run("<grupos>" + groups + "</grupos>");
    const auto codes = c.column("GRUPOST", "ABREV");
    EXPECT_EQ(codes[9], "2BACHCIEN9");
    EXPECT_EQ(codes[10], "2BACHCIE10");
    EXPECT_EQ(codes[11], "ABCDEFGHYZ");
    EXPECT_EQ(codes[12], "ABCDEFGH1");
}

TEST(Groups, TutorsAndCoursesAreLookedUp) {
    Conversion c;
    c.run("<docentes>" + docente("AAA", "1A") + docente("BBB", "2B") + docente("CCC", "") + "</docentes>" +
          "<cursos_grupo>" + cursoGrupo("G1", "C1") + cursoGrupo("G1", "OTRO") + "</cursos_grupo><grupos>" +
          grupo("G1", "tutor_ppal=\"1A\" tutor_sec=\"2B\"") +
          grupo("G2", "tutor_ppal=\"\" tutor_sec=\"2B\"") +
          grupo("G3", "tutor_ppal=\"9Z\" tutor_sec=\"2B\"") + grupo("G4", "tutor_ppal=\"\" tutor_sec=\"\"") +
          grupo("G5", "tutor_ppal=\"1a\"") + "</grupos>");
    EXPECT_EQ(c.column("GRUPOST", "TUTOR"), (Strings{"AAA", "BBB", "", "", ""}));
    EXPECT_EQ(c.column("GRUPOST", "CLAVECURSO"),
              (Strings{"C1", "", "", "", ""}));  // one pair matches like any
    EXPECT_EQ(c.column("GRUPOST", "DESCRIP")[0], "Grupo G1");
    EXPECT_EQ(c.column("GRUPOST", "ENSENANZA")[0], "E1");
}

const std::string kAssignmentSchool = "<cursos_grupo>" + cursoGrupo("G1", "C1") + cursoGrupo("G2", "C1") +
                                      cursoGrupo("G3", "C2") + cursoGrupo("G4", "CURSO-LARGO-1") +
                                      cursoGrupo("G5", "") + "</cursos_grupo><grupos>" + grupo("G1") +
                                      grupo("G2") + grupo("G3") + grupo("G4") + grupo("G5") + "</grupos>";

TEST(Assignments, OneClassAssignmentPerSubjectAndGroupOfItsCourse) {
    Conversion c;
    c.run(kAssignmentSchool + "<contenidos>" + contenido("MAT", "C1") + contenido("FIS", "C2", "Física") +
          contenido("MAT", "C1", "Otro nombre") + contenido("SIN", "C9", "Sin grupos") +
          contenido("VACIO", "", "Sin curso") + contenido("HISTORIA-LARGA", "CURSO-LARGO-1", "Historia") +
          "</contenidos>");
    const auto rows = c.rows("ASIGT");
    EXPECT_EQ(c.column("ASIGT", "CGRUP"), (Strings{"G1", "G2", "G3", "G1", "G2", "G4"}));
    EXPECT_EQ(c.column("ASIGT", "CASIG"), (Strings{"MAT", "MAT", "FIS", "MAT", "MAT", "HISTORIAGA"}));
    EXPECT_EQ(c.column("ASIGT", "CLAVECURSO").back(), "CURSO-LARG");
    for (const Row& r : rows) {
        EXPECT_EQ(r.at("HORAS"), "4.0000");
        EXPECT_EQ(r.at("SESIONES"), "1111");
        EXPECT_EQ(r.at("CTAREA"), "*479");
        EXPECT_EQ(r.at("CAULA"), "");
        EXPECT_EQ(r.at("CPROF"), "");
        EXPECT_EQ(r.at("NCONEX"), "");
    }
    EXPECT_EQ(rows[0].at("ASIG_ITACA"), "MAT");
    EXPECT_EQ(rows[0].at("CLAVE"), "G1");
    EXPECT_EQ(rows[0].at("TURNO"), "M");
    EXPECT_EQ(rows[0].at("CURSO"), "G");
    EXPECT_EQ(rows[0].at("GRUPO"), "1");
}

// A subject whose code the catalogue does not hold (its code is another subject's COD, so it gave no row
// of its own) is found by its name, in the one language the language box names exactly.
TEST(Assignments, ASubjectIsFoundByNameOnlyInTheExactLanguage) {
    struct Case {
        const char* language;
        const char* secondCastilian;
        Strings found;
    };
    const Case cases[] = {{"CASTELLANO", "Historia", {"HIST012356", "HIST012356"}},
                          {"VALENCIÁ", "Otra", {"HIST012356", "HIST012356"}},
                          {"CASTELLANO", "Otra", {}},       // only the Castilian name is tried
                          {"Castellano", "Historia", {}}};  // any other text: no lookup by name
    for (const Case& k : cases) {
        Conversion c;
        c.run(kAssignmentSchool + "<contenidos>" + contenido("HIST0123456", "C9", "Historia", "Història") +
                  contenido("HIST012356", "C1", k.secondCastilian, "Història") + "</contenidos>",
              k.language);
        EXPECT_EQ(c.column("ASIGNOMT", "COD"), (Strings{"HIST012356"})) << k.language;
        EXPECT_EQ(c.column("ASIGT", "CASIG"), k.found) << k.language << " " << k.secondCastilian;
    }
}

TEST(Assignments, LongCodesAreWarnedAboutOncePerTableFieldAndCode) {
    Conversion c;
    c.run(kAssignmentSchool + "<contenidos>" + contenido("HISTORIA-LARGA", "CURSO-LARGO-1", "Historia") +
          contenido("HISTORIA-LARGA", "CURSO-LARGO-1", "Historia") + "</contenidos>");
    EXPECT_EQ(
        c.dialogs.warnings,
        (Strings{"aviso: el código \"HISTORIA-LARGA\" (14 caracteres) no cabe en ASIGNOMT.ABREV_ITACA (10)",
                 "aviso: el código \"CURSO-LARGO-1\" (13 caracteres) no cabe en GRUPOST.CLAVECURSO (10)",
                 "aviso: el código \"CURSO-LARGO-1\" (13 caracteres) no cabe en ASIGT.CLAVECURSO (10)",
                 "aviso: el código \"HISTORIA-LARGA\" (14 caracteres) no cabe en ASIGT.ASIG_ITACA (10)"}));
}

}  // namespace
