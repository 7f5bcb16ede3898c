// Steps 7 to 9: the group and occupation timetable lines, the session patterns and the pruning.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/support/conversion_fixture.h"
#include "to_timetable/session_pattern.h"

namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;
using runs::Question;

std::string line(const std::string& docente, const std::string& aula = "A1",
                 const std::string& plantilla = "P1", const std::string& grupo = "G1",
                 const std::string& contenido = "MAT") {
    return "<horario_grupo plantilla=\"" + plantilla + "\" grupo=\"" + grupo +
           "\" curso=\"C1\" contenido=\"" + contenido + "\" docente=\"" + docente + "\" aula=\"" + aula +
           "\"/>";
}
std::string occupationLine(const std::string& ocupacion, const std::string& docente,
                           const std::string& plantilla = "P1") {
    return "<horario_ocupacion ocupacion=\"" + ocupacion + "\" docente=\"" + docente + "\" plantilla=\"" +
           plantilla + "\"/>";
}

// Two groups of course C1, two subjects, three teachers (X, Y, Z), two rooms; templates P1 and P2.
std::string school(const std::string& lines, const std::string& occupationLines = "",
                   const std::string& extraGroups = "") {
    return "<plantillas_horario><plantilla_horario codigo=\"P1\" turno=\"M\"/><plantilla_horario "
           "codigo=\"P2\" "
           "turno=\"T\"/></plantillas_horario>"
           "<contenidos><contenido codigo=\"MAT\" nombre_cas=\"Mat\" curso=\"C1\"/><contenido codigo=\"FIS\" "
           "nombre_cas=\"Fis\" curso=\"C1\"/></contenidos>"
           "<ocupaciones><ocupacion codigo=\"GUA\" nombre_cas=\"Guardia\"/><ocupacion codigo=\"FIS\" "
           "nombre_cas=\"Física otra\"/></ocupaciones>"
           "<docentes><docente apellido1=\"X\" apellido2=\"\" nombre=\"\" documento=\"DX\"/><docente "
           "apellido1=\"Y\" "
           "apellido2=\"\" nombre=\"\" documento=\"DY\"/><docente apellido1=\"Z\" apellido2=\"\" nombre=\"\" "
           "documento=\"DZ\"/></docentes>"
           "<aulas><aula codigo=\"A1\" nombre=\"Uno\"/><aula codigo=\"\" nombre=\"Dos\"/></aulas>"
           "<cursos_grupo><curso_grupo grupo=\"G1\" curso=\"C1\"/><curso_grupo grupo=\"G2\" curso=\"C1\"/>"
           "</cursos_grupo><grupos><grupo codigo=\"G1\" turno=\"M\"/><grupo codigo=\"G2\" turno=\"M\"/>" +
           extraGroups + "</grupos><horarios_grupo>" + lines + "</horarios_grupo><horarios_ocupaciones>" +
           occupationLines + "</horarios_ocupaciones>";
}

std::vector<std::string> assignments(const Conversion& c) {
    std::vector<std::string> out;
    for (const Row& r : c.rows("ASIGT")) {
        out.push_back(r.at("CASIG") + "/" + r.at("CGRUP") + "/" + r.at("CPROF") + "/" + r.at("CAULA") + "/" +
                      r.at("HORAS") + "/" + r.at("SESIONES"));
    }
    return out;
}

Conversion& convert(Conversion& c, const std::string& sections, bool allTemplates = false,
                    bool prune = false) {
    c.dialogs.answers[Question::AllTemplates] = allTemplates;
    c.dialogs.answers[Question::RemoveWithoutClass] = prune;
    return c.run(sections);
}

TEST(GroupTimetable, WithoutLinesNoQuestionIsAskedAndTheDefaultsStay) {
    Conversion c;
    convert(c, school(""));
    EXPECT_TRUE(c.dialogs.questions.empty());
    EXPECT_EQ(assignments(c), (Strings{"MAT/G1///4.0000/1111", "MAT/G2///4.0000/1111", "FIS/G1///4.0000/1111",
                                       "FIS/G2///4.0000/1111"}));
}

TEST(GroupTimetable, AnsweringYesKeepsEveryAssignmentUntouched) {
    Conversion c;
    convert(c, school(line("DX") + line("DX")), true);
    ASSERT_EQ(c.dialogs.questions.size(), 1u);  // no pruning question: the flag is not set
    EXPECT_EQ(c.dialogs.questions[0].substr(0, 52),
              std::string(23, ' ') + "!!! I M P O R T A N T E !!!" + "  ");
    EXPECT_NE(
        c.dialogs.questions[0].find("\r\nSi quiere Importar los Datos de todas las Plantillas Pulse el Botón "
                                    "\"Sí\".\r\n"),
        std::string::npos);
    EXPECT_EQ(assignments(c).size(), 4u);
    EXPECT_EQ(assignments(c)[0], "MAT/G1///4.0000/1111");
}

TEST(GroupTimetable, LinesCountIntoTheirAssignmentsAndUntouchedOnesGo) {
    struct Case {
        const char* name;
        std::string lines;
        Strings expected;
    };
    const Case cases[] = {
        {"one line is read like any", line("DX"), {"MAT/G1/X/A1/1.0000/1"}},
        {"three lines, one teacher", line("DX") + line("DX") + line("DX"), {"MAT/G1/X/A1/3.0000/111"}},
        {"teachers X and Y alternate",
         line("DX") + line("DY") + line("DX") + line("DY") + line("DY"),
         {"MAT/G1/X/A1/2.0000/11", "MAT/G1/Y/A1/3.0000/111"}},
        {"an unknown first teacher",
         line("D?") + line("DX") + line("D?"),
         {"MAT/G1//A1/2.0000/11", "MAT/G1/X/A1/1.0000/1"}},
        {"a room filled in by a later line, never replaced",
         line("DX", "") + line("DX", "A1") + line("DX", "Dos"),
         {"MAT/G1/X/A1/3.0000/111"}},
        {"a line without a room finds no room", line("DX", "") + line("DX", ""), {"MAT/G1/X//2.0000/11"}},
        {"lines of another template", line("DX", "A1", "P2"), {}},
        {"a subject or group without assignment",
         line("DX", "A1", "P1", "G9") + line("DX", "A1", "P1", "G1", "QUI"),
         {}},
    };
    for (const Case& k : cases) {
        Conversion c;
        convert(c, school(k.lines));
        EXPECT_EQ(assignments(c), k.expected) << k.name;
    }
}

TEST(GroupTimetable, ALineFallingToAnUntouchedCopyStartsItsCount) {
    // Two subjects with the same code and course: two class assignments per group. The lines of an
    // unknown teacher fall, through the four-field lookup, to the untouched copy whose CPROF is blank: it
    // starts at 1 and stays.
    Conversion c;
    std::string sections = school(line("DX") + line("D?") + line("D?"));
    sections.replace(sections.find("<contenidos>"), 12,
                     "<contenidos><contenido codigo=\"MAT\" nombre_cas=\"Mat\" curso=\"C1\"/>");
    convert(c, sections);
    EXPECT_EQ(assignments(c), (Strings{"MAT/G1/X/A1/1.0000/1", "MAT/G1//A1/2.0000/11"}));
}

TEST(OccupationTimetable, TaskAssignmentsPerTeacherAndOccupation) {
    Conversion c;
    convert(c, school(line("DX"), occupationLine("GUA", "DX") + occupationLine("GUA", "DX") +
                                      occupationLine("GUA", "DY") + occupationLine("GUA", "D?") +
                                      occupationLine("GUA", "D!") + occupationLine("NADA", "DZ") +
                                      occupationLine("GUA", "DZ", "P2") + occupationLine("FIS", "DX")));
    EXPECT_EQ(assignments(c), (Strings{"MAT/G1/X/A1/1.0000/1", "*GUA//X//2.0000/11", "*GUA//Y//1.0000/1",
                                       "*GUA////2.0000/11", "//Z//1.0000/1", "*FIS//X//1.0000/1"}));
    const auto rows = c.rows("ASIGT");
    EXPECT_EQ(rows[1].at("CTAREA"), "*GUA");
    EXPECT_EQ(rows[1].at("ASIG_ITACA"), "GUA");
    EXPECT_EQ(rows[1].at("CLAVE"), "");
    EXPECT_EQ(rows[4].at("ASIG_ITACA"), "NADA");  // an occupation the catalogue lacks
}

TEST(OccupationTimetable, EveryTemplateCountsWhenTheFlagIsNotSet) {
    Conversion c;
    convert(c, school(line("DX"), occupationLine("GUA", "DX", "P2") + occupationLine("GUA", "DX", "P1")),
            true);
    const auto all = assignments(c);
    EXPECT_EQ(all.back(), "*GUA//X//2.0000/11");
    EXPECT_EQ(all.front(), "MAT/G1///4.0000/1111");  // the final pass writes class assignments too
}

TEST(SessionPattern, EveryCountUpTo180AddsUpWithDigitsOneToNine) {
    for (int c = 1; c <= 180; ++c) {
        const std::string p = to_timetable::sessionPattern(c);
        int sum = 0;
        for (char d : p) {
            ASSERT_GE(d, '1') << c;
            ASSERT_LE(d, '9') << c;
            sum += d - '0';
        }
        EXPECT_EQ(sum, c) << c << ": " << p;
        EXPECT_LE(p.size(), 20u) << c;
        if (c >= 15 && c <= 54) {
            EXPECT_EQ(p.size(), 14u) << c;
        }
    }
    struct Case {
        int c;
        std::string pattern;
    };
    const Case cases[] = {{1, "1"},
                          {4, "1111"},
                          {14, std::string(14, '1')},
                          {15, "2" + std::string(13, '1')},
                          {22, "9" + std::string(13, '1')},
                          {23, "92" + std::string(12, '1')},
                          {27, "96" + std::string(12, '1')},
                          {28, std::string(14, '2')},
                          {29, "3" + std::string(13, '2')},
                          {36, "93" + std::string(12, '2')},
                          {42, std::string(14, '3')},
                          {54, "99" + std::string(12, '3')},
                          {55, std::string(13, '4') + "3"},
                          {58, "6" + std::string(13, '4')},
                          {66, "99" + std::string(12, '4')},
                          {67, std::string(11, '5') + std::string(3, '4')},
                          {126, std::string(14, '9')},
                          {127, std::string(7, '9') + std::string(8, '8')},
                          {155, std::string(11, '9') + std::string(7, '8')},
                          {180, std::string(20, '9')},
                          {181, std::string(20, '9')}};
    for (const Case& k : cases) EXPECT_EQ(to_timetable::sessionPattern(k.c), k.pattern) << k.c;
}

TEST(Pruning, GroupsAndTeachersWithoutAssignmentsGoOnYes) {
    struct Case {
        const char* name;
        std::string lines, occupations;
        bool allTemplates, answer;
        bool asked;
        Strings groups, teachers;
    };
    const Case cases[] = {
        {"flag not set", line("DX"), "", true, true, false, {"G1", "G2"}, {"X", "Y", "Z"}},
        {"answer No", line("DX"), "", false, false, true, {"G1", "G2"}, {"X", "Y", "Z"}},
        {"answer Yes", line("DX"), occupationLine("GUA", "DZ"), false, true, true, {"G1"}, {"X", "Z"}},
        {"every group has classes",
         line("DX") + line("DY", "A1", "P1", "G2"),
         "",
         false,
         false,
         false,
         {"G1", "G2"},
         {"X", "Y"}},
    };
    for (const Case& k : cases) {
        Conversion c;
        convert(c, school(k.lines, k.occupations), k.allTemplates, k.answer);
        const bool asked = c.dialogs.questions.size() == 2;
        EXPECT_EQ(asked, k.asked) << k.name;
        if (asked) {
            EXPECT_EQ(c.dialogs.questions[1].substr(c.dialogs.questions[1].rfind("\r\n") + 2),
                      "¿Quieren quitar dichos Grupos y Profesores, del Horario que se va a Importar?.");
        }
        EXPECT_EQ(c.column("GRUPOST", "ABREV"), k.groups) << k.name;
        EXPECT_EQ(c.column("PROFT", "ABREV"), k.teachers) << k.name;
    }
}

}  // namespace

namespace {

bool reports(const Conversion& c, const std::string& line) {
    const auto& details = c.report.details;
    return std::find(details.begin(), details.end(), line) != details.end();
}

TEST(RunReport, CountsEveryTimetableLineByWhatBecameOfIt) {
    Conversion c;
    convert(c, school(line("DX") + line("DQ") + line("DX", "A9") + line("DX", "A1", "P2") +
                          line("DX", "A1", "P1", "G9"),
                      occupationLine("GUA", "DX") + occupationLine("NADA", "DX") +
                          occupationLine("GUA", "DQ") + occupationLine("GUA", "DX", "P2")));
    for (const char* expected :
         {"  leídas: 5", "  aplicadas: 3", "  contadas sin profesor (su docente no está en PROFT): 1",
          "  contadas sin aula (su aula no está en AULAT): 1", "  pasadas por alto, de otra plantilla: 1",
          "  pasadas por alto, sin asignación de clase para su grupo, curso y materia: 1", "  leídas: 4",
          "  contadas sin tarea (su ocupación no está en ASIGNOMT): 1",
          "  ¿Tomar las líneas de todas las plantillas?: No"}) {
        EXPECT_TRUE(reports(c, expected)) << expected;
    }
}

// Lines without `curso` find no class assignment: the report says so for every one of them.
TEST(RunReport, LinesWithoutTheirCourseAreAllReportedAsSkipped) {
    Conversion c;
    std::string lines = line("DX") + line("DY");
    for (std::size_t at; (at = lines.find(" curso=\"C1\"")) != std::string::npos;) lines.erase(at, 11);
    convert(c, school(lines));
    EXPECT_TRUE(reports(c, "  pasadas por alto, sin asignación de clase para su grupo, curso y materia: 2"))
        << ::testing::PrintToString(c.report.details);
    EXPECT_FALSE(reports(c, "  aplicadas: 2"));
}

}  // namespace
