#include "to_itaca/timetable_export_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <regex>

#include "tests/support/conversion_fixture.h"
#include "tests/support/dbf_bytes.h"
#include "tests/support/xml_read.h"

namespace {

using namespace testing_support;
using namespace std::string_literals;
namespace fs = std::filesystem;
using Attributes = std::vector<std::pair<std::string, std::string>>;
using runs::RunOutcome;

// A school whose workspace gives: group 1ESOA (teaching ESO, course 1ESO), subject MAT1, teacher GLA
// (document 11A, teaching ESO), room A101, occupation task *DIA (GUARDIA); hours 1, 2 and 3 of template P1
// are the sessions of order 1, 2 and 4.
std::string school(const std::string& extraGroups = "") {
    return "<plantillas_horario><plantilla_horario codigo=\"P1\" turno=\"M\"/><plantilla_horario "
           "codigo=\"P2\" "
           "turno=\"T\"/></plantillas_horario><sesiones_horario>" +
           session("P1", "L", "1", "08:00", "08:55") + session("P1", "L", "2", "09:00", "09:55") +
           session("P1", "L", "4", "10:00", "10:55") + session("P2", "L", "1", "15:00", "15:55") +
           "</sesiones_horario><contenidos><contenido codigo=\"MAT1\" nombre_cas=\"Mat\" curso=\"1ESO\"/>"
           "</contenidos><ocupaciones><ocupacion codigo=\"GUARDIA\" nombre_cas=\"Guardia\"/></ocupaciones>"
           "<docentes><docente apellido1=\"García\" apellido2=\"López\" nombre=\"Ana\" documento=\"11A\" "
           "ensenanza=\"ESO\"/></docentes><aulas><aula codigo=\"A101\" nombre=\"Aula\"/></aulas>"
           "<cursos_grupo><curso_grupo grupo=\"1ESOA\" curso=\"1ESO\"/><curso_grupo grupo=\"2BATCIENCIES\" "
           "curso=\"2BACH\"/></cursos_grupo><grupos><grupo codigo=\"1ESOA\" turno=\"M\" ensenanza=\"ESO\"/>" +
           extraGroups + "</grupos>";
}

struct SolucRow {
    std::string asig, tarea;
    int dia, hora;
    std::string grupo, prof, aula;
};
const SolucRow kClass{"MAT1", "*479", 3, 3, "1ESOA", "GLA", "A101"};
const SolucRow kOccupation{"*DIA", "*DIA", 5, 2, "", "GLA", ""};

std::string padded(const std::string& s, std::size_t width) {
    return (s + std::string(width, ' ')).substr(0, width);
}

struct Export {
    Conversion conversion;
    fs::path work = conversion.work;
    fs::path centre;
    ScriptedDialogs dialogs;
    runs::MainWindowState state;
    runs::RunReport report;

    explicit Export(const std::string& sections = school()) {
        dialogs.answers[runs::Question::OtherTemplate] = true;
        conversion.run(sections);
        centre = conversion.dir / "centro.xml";
        EXPECT_EQ(conversion.report.outcome, RunOutcome::Finished);
    }

    // SOLUC as a level-7 table of our own engine, HORA a number field.
    void writeSoluc(const std::vector<SolucRow>& rows) {
        auto t = formats::DbfTable::create(work / "SOLUC.DBF", {formats::FieldDef::text("ASIG", 10),
                                                                formats::FieldDef::text("TAREA", 10),
                                                                {"DIA", 'N', 2, 0},
                                                                {"HORA", 'N', 3, 0},
                                                                formats::FieldDef::text("CODGRUPO", 10),
                                                                formats::FieldDef::text("PROF", 10),
                                                                formats::FieldDef::text("AULA", 10)});
        for (const SolucRow& r : rows) {
            const auto row = t.append();
            t.setText(row, "ASIG", formats::AnsiString::fromUtf8(r.asig));
            t.setText(row, "TAREA", formats::AnsiString::fromUtf8(r.tarea));
            t.setInteger(row, "DIA", r.dia);
            t.setInteger(row, "HORA", r.hora);
            t.setText(row, "CODGRUPO", formats::AnsiString::fromUtf8(r.grupo));
            t.setText(row, "PROF", formats::AnsiString::fromUtf8(r.prof));
            t.setText(row, "AULA", formats::AnsiString::fromUtf8(r.aula));
        }
        t.close();
    }

    RunOutcome run() {
        dialogs.openAnswers = {centre};
        report = to_itaca::runTimetableExport(state, dialogs, work);
        return report.outcome;
    }

    XmlNode output() const { return readRoot(to_itaca::importDocumentPath(centre)); }
    std::vector<Attributes> section(std::size_t index) const {
        std::vector<Attributes> out;
        const XmlNode root = output();
        for (const auto& e : root.children.at(index).children) out.push_back(e.attributes);
        return out;
    }
};

const Attributes kClassElement = {{"plantilla", "P1"},     {"dia_semana", "X"},     {"sesion_orden", "4"},
                                  {"hora_desde", "10:00"}, {"hora_hasta", "10:55"}, {"grupo", "1ESOA"},
                                  {"ensenanza", "ESO"},    {"curso", "1ESO"},       {"contenido", "MAT1"},
                                  {"docente", "11A"},      {"aula", "A101"},        {"idioma", ""}};
const Attributes kOccupationElement = {
    {"plantilla", "P1"},     {"dia_semana", "V"}, {"sesion_orden", "2"}, {"hora_desde", "09:00"},
    {"hora_hasta", "09:55"}, {"docente", "11A"},  {"ensenanza", "ESO"},  {"ocupacion", "GUARDIA"}};

Attributes with(Attributes attributes, const std::string& name, const std::string& value) {
    for (auto& [n, v] : attributes) {
        if (n == name) v = value;
    }
    return attributes;
}

TEST(ExportRun, WritesTheRootAndBothSections) {
    Export e;
    e.writeSoluc({kClass, kOccupation});
    ASSERT_EQ(e.run(), RunOutcome::Finished) << (e.dialogs.failures.empty() ? "" : e.dialogs.failures[0]);
    EXPECT_EQ(e.dialogs.informed.front(),
              "Deberá Abrir el fichero XML de ITACA,\r\ndesde el cual realizó la Importación a Tavelino");
    EXPECT_EQ(e.dialogs.informed.back(), "Proceso finalizado");
    EXPECT_EQ(e.state.resultFlag, 1);
    EXPECT_FALSE(e.state.directionButtonsEnabled);
    EXPECT_EQ(e.report.output, e.conversion.dir / "ResultadoTavelinocentro.xml");

    const XmlNode root = e.output();
    EXPECT_EQ(root.name, "centro");
    ASSERT_EQ(root.attributes.size(), 5u);
    EXPECT_EQ(root.attributes[0], (std::pair<std::string, std::string>{"codigo", "46000001"}));
    EXPECT_EQ(root.attributes[1].first, "denominacion");
    EXPECT_EQ(root.attributes[2], (std::pair<std::string, std::string>{"curso", "2026"}));
    EXPECT_EQ(root.attributes[3].first, "fecha_exportacion");
    EXPECT_TRUE(std::regex_match(root.attributes[3].second, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")));
    EXPECT_NE(root.attributes[3].second, "01/01/2000 00:00:00");  // the time of this run
    EXPECT_EQ(root.attributes[4], (std::pair<std::string, std::string>{"version", "1.0"}));
    ASSERT_EQ(root.children.size(), 2u);  // none of the centre document's sections
    EXPECT_EQ(root.children[0].name, "horarios_grupo");
    EXPECT_EQ(root.children[1].name, "horarios_ocupaciones");
    EXPECT_FALSE(root.hasText || root.children[0].hasText);
    EXPECT_EQ(e.section(0), (std::vector<Attributes>{kClassElement}));
    EXPECT_EQ(e.section(1), (std::vector<Attributes>{kOccupationElement}));
}

TEST(ExportRun, ClassRowsAndTheirLookups) {
    struct Case {
        const char* name;
        SolucRow row;
        std::vector<Attributes> expected;
    };
    auto r = [](auto change) {
        SolucRow row = kClass;
        change(row);
        return row;
    };
    const Case cases[] = {
        {"unknown room", r([](SolucRow& x) { x.aula = "A999"; }), {with(kClassElement, "aula", "")}},
        {"unknown teacher", r([](SolucRow& x) { x.prof = "XYZ"; }), {with(kClassElement, "docente", "")}},
        {"no teacher, no room",
         r([](SolucRow& x) { x.prof = x.aula = ""; }),
         {with(with(kClassElement, "docente", ""), "aula", "")}},
        {"unknown group", r([](SolucRow& x) { x.grupo = "9ZZZ"; }), {}},
        {"unknown subject", r([](SolucRow& x) { x.asig = "QUI"; }), {}},
        {"unplaced day", r([](SolucRow& x) { x.dia = 0; }), {}},
        {"unplaced hour", r([](SolucRow& x) { x.hora = 0; }), {}},
        {"an hour the grid lacks", r([](SolucRow& x) { x.hora = 7; }), {}},
        {"a day out of the week", r([](SolucRow& x) { x.dia = 9; }), {with(kClassElement, "dia_semana", "")}},
        {"letter case counts", r([](SolucRow& x) { x.grupo = "1esoa"; }), {}},
        {"letter case counts for teachers",
         r([](SolucRow& x) { x.prof = "gla"; }),
         {with(kClassElement, "docente", "")}},
        {"an occupation row is not a class", r([](SolucRow& x) { x.tarea = x.asig; }), {}},
    };
    for (const Case& k : cases) {
        Export e;
        e.writeSoluc({k.row});
        ASSERT_EQ(e.run(), RunOutcome::Finished) << k.name;
        EXPECT_EQ(e.section(0), k.expected) << k.name;
    }
}

TEST(ExportRun, OccupationRowsAndTheirLookups) {
    struct Case {
        const char* name;
        SolucRow row;
        std::vector<Attributes> expected;
    };
    const Case cases[] = {
        {"group and room have no effect",
         {"*DIA", "*DIA", 5, 2, "9ZZZ", "GLA", "A999"},
         {kOccupationElement}},
        {"unknown teacher", {"*DIA", "*DIA", 5, 2, "", "XYZ", ""}, {}},
        {"unknown occupation", {"*ZZZ", "*ZZZ", 5, 2, "", "GLA", ""}, {}},
        {"unplaced", {"*DIA", "*DIA", 0, 2, "", "GLA", ""}, {}},
        {"a class row", {"*DIA", "*479", 5, 2, "", "GLA", ""}, {}},
    };
    for (const Case& k : cases) {
        Export e;
        e.writeSoluc({k.row});
        ASSERT_EQ(e.run(), RunOutcome::Finished) << k.name;
        EXPECT_EQ(e.section(1), k.expected) << k.name;
    }
}

TEST(ExportRun, AnEmptySolucGivesEmptySectionsAndReplacesAnOlderResult) {
    Export e;
    e.writeSoluc({});
    writeBytes(to_itaca::importDocumentPath(e.centre), "an older result");
    ASSERT_EQ(e.run(), RunOutcome::Finished);
    const XmlNode root = e.output();
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_TRUE(root.children[0].children.empty());
    EXPECT_TRUE(root.children[1].children.empty());
}

// HORA is read by value whatever its field type; its text form is the key into DIASHORAST.
TEST(ExportRun, HoraIsReadWhateverItsFieldType) {
    const std::vector<RawField> common = {{"ASIG", 'C', 10},     {"TAREA", 'C', 10}, {"DIA", 'N', 2},
                                          {"CODGRUPO", 'C', 10}, {"PROF", 'C', 10},  {"AULA", 'C', 10}};
    const std::string head = " " + padded("MAT1", 10) + padded("*479", 10) + " 3" + padded("1ESOA", 10) +
                             padded("GLA", 10) + padded("A101", 10);
    struct Case {
        const char* name;
        RawField hora;
        std::string value;
        bool level7;
    };
    const Case cases[] = {{"N", {"HORA", 'N', 5, 2}, " 3.00", false},
                          {"F", {"HORA", 'F', 6, 1}, "   3.0", false},
                          {"C holding digits", {"HORA", 'C', 4}, "3   ", false},
                          {"I, level 7", {"HORA", 'I', 4}, "\x80\x00\x00\x03"s, true},
                          {"I, dBase III", {"HORA", 'I', 4}, "\x03\x00\x00\x00"s, false}};
    for (const Case& k : cases) {
        Export e;
        auto fields = common;
        fields.push_back(k.hora);
        const std::string bytes =
            k.level7 ? buildLevel7(fields, {head + k.value}) : buildLevel3(fields, {head + k.value});
        writeBytes(e.work / "SOLUC.DBF", bytes);
        ASSERT_EQ(e.run(), RunOutcome::Finished)
            << k.name << ": " << (e.dialogs.failures.empty() ? "" : e.dialogs.failures[0]);
        EXPECT_EQ(e.section(0), (std::vector<Attributes>{kClassElement})) << k.name;
        EXPECT_EQ(readBytes(e.work / "SOLUC.DBF"), bytes) << k.name;  // never rewritten
    }
}

TEST(ExportRun, ASolucInCodePage850WithAccentedTeacherCodes) {
    Export e(school() +
             "<docentes><docente apellido1=\"Ñúñez\" apellido2=\"Ávila\" nombre=\"Óscar\" "
             "documento=\"22B\" ensenanza=\"ESO\"/></docentes>");
    const std::string script =
        "import dbf, sys\n"
        "t = dbf.Table(sys.argv[1], 'ASIG C(10); TAREA C(10); DIA N(2,0); HORA N(3,0); CODGRUPO C(10); PROF "
        "C(10);"
        " AULA C(10)', dbf_type='db3', codepage='cp850')\n"
        "t.open(dbf.READ_WRITE)\n"
        "t.append(('MAT1', '*479', 3, 3, '1ESOA', '\\u00d1\\u00c1\\u00d3', 'A101'))\n"
        "t.close()\n";
    writeBytes(e.conversion.dir / "soluc.py", script);
    ASSERT_EQ(runCommand("/usr/bin/python3 " + (e.conversion.dir / "soluc.py").string() + " " +
                         (e.work / "soluc.dbf").string()),
              0);
    ASSERT_EQ(e.run(), RunOutcome::Finished) << (e.dialogs.failures.empty() ? "" : e.dialogs.failures[0]);
    EXPECT_EQ(e.section(0), (std::vector<Attributes>{with(kClassElement, "docente", "22B")}));
}

TEST(ExportRun, CodesTheWorkspaceHadToCutAreWrittenWhole) {
    Export e(school("<grupo codigo=\"2BATCIENCIES\" turno=\"T\" ensenanza=\"BACH\"/>"));
    e.writeSoluc({{"MAT1", "*479", 1, 1, "2BATCIENES", "GLA", "A101"}});
    ASSERT_EQ(e.run(), RunOutcome::Finished);
    const auto elements = e.section(0);
    ASSERT_EQ(elements.size(), 1u);
    EXPECT_EQ(elements[0][5], (std::pair<std::string, std::string>{"grupo", "2BATCIENCIES"}));
    EXPECT_EQ(elements[0][7], (std::pair<std::string, std::string>{"curso", "2BACH"}));
}

TEST(ExportRun, TheDocumentKeepsItsEncoding) {
    Export e;
    std::string latin1 = readBytes(e.centre);
    latin1.replace(latin1.find("UTF-8"), 5, "ISO-8859-1");
    latin1.replace(latin1.find("IES Prova"), 9, "IES Vall d'Alb\xE0");
    writeBytes(e.centre, latin1);
    e.writeSoluc({kClass});
    ASSERT_EQ(e.run(), RunOutcome::Finished);
    const std::string out = readBytes(to_itaca::importDocumentPath(e.centre));
    EXPECT_EQ(out.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
    EXPECT_NE(out.find("denominacion=\"IES Vall d'Alb\xE0\""), std::string::npos);
}

TEST(ExportRun, MissingInputEndsTheRunBeforeAnythingIsOpened) {
    for (bool embedded : {false, true}) {
        Export e;  // no SOLUC
        e.state.embedded = embedded;
        EXPECT_EQ(e.run(), RunOutcome::InputMissing);
        EXPECT_EQ(e.dialogs.informed.back(), "No existe archivo XML o Solución.");
        EXPECT_EQ(e.state.resultFlag, embedded ? -1 : 0);
        EXPECT_FALSE(fs::exists(to_itaca::importDocumentPath(e.centre)));
    }
    Export cancelled;
    cancelled.writeSoluc({kClass});
    cancelled.dialogs.openAnswers = {std::nullopt};
    EXPECT_EQ(to_itaca::runTimetableExport(cancelled.state, cancelled.dialogs, cancelled.work).outcome,
              RunOutcome::InputMissing);
    EXPECT_EQ(cancelled.dialogs.informed.back(), "No existe archivo XML o Solución.");
}

TEST(ExportRun, ACentreDocumentWithoutItsRootAttributesIsRefused) {
    Export e;
    e.writeSoluc({kClass});
    std::string doc = readBytes(e.centre);
    doc.replace(doc.find(" version=\"1.0\" tipo="), 14, "");  // the root's, not the declaration's
    writeBytes(e.centre, doc);
    const auto before = snapshot(e.work);
    EXPECT_EQ(e.run(), RunOutcome::InputMissing);
    EXPECT_NE(e.dialogs.informed.back().find("\"version\""), std::string::npos) << e.dialogs.informed.back();
    EXPECT_EQ(snapshot(e.work), before);
}

TEST(ExportRun, AFailingExportLeavesTheWorkFolderAsItWasAndWritesNoDocument) {
    struct Case {
        const char* name;
        std::string solucBytes;  // empty: a good SOLUC, held by another process
        const char* says;
    };
    const Case cases[] = {
        {"truncated", "\x03\x7E\x0C\x0B\x05\x00", "SOLUC.DBF"},
        {"not a dBase file", std::string(200, 'x'), "no es una tabla dBase"},
        {"a field missing",
         buildLevel3({{"ASIG", 'C', 10},
                      {"TAREA", 'C', 10},
                      {"DIA", 'N', 2},
                      {"HORA", 'N', 3},
                      {"CODGRUPO", 'C', 10},
                      {"PROF", 'C', 10}},
                     {}),
         "AULA"},
        {"held by another program", "", "otro programa"},
    };
    for (const Case& k : cases) {
        Export e;
        if (k.solucBytes.empty()) {
            e.writeSoluc({kClass});
        } else {
            writeBytes(e.work / "SOLUC.DBF", k.solucBytes);
        }
        int held = -1;
        if (k.solucBytes.empty()) {
            held = ::open((e.work / "SOLUC.DBF").c_str(), O_RDONLY);
            ::flock(held, LOCK_EX);
        }
        e.state.templateCode = formats::AnsiString("P2");  // a choice that would rebuild DIASHORAST
        e.dialogs.typeTemplate = formats::AnsiString("P2");
        const auto before = snapshot(e.work);
        EXPECT_EQ(e.run(), RunOutcome::Failed) << k.name;
        if (held >= 0) ::close(held);
        ASSERT_EQ(e.dialogs.failures.size(), 1u) << k.name;
        EXPECT_NE(e.dialogs.failures[0].find(k.says), std::string::npos) << e.dialogs.failures[0];
        EXPECT_EQ(snapshot(e.work), before) << k.name;
        EXPECT_FALSE(fs::exists(to_itaca::importDocumentPath(e.centre))) << k.name;
        EXPECT_EQ(e.state.resultFlag, 0);
        EXPECT_TRUE(e.state.directionButtonsEnabled);
    }
}

TEST(ExportRun, TheChooserPreselectsTheTemplateOfTheLastGridAndTheGridIsRebuilt) {
    Export e;
    e.writeSoluc({kClass});
    ASSERT_EQ(e.run(), RunOutcome::Finished);
    ASSERT_EQ(e.dialogs.choosers.size(), 1u);
    EXPECT_EQ(e.dialogs.choosers[0].templateText, "P1");
    EXPECT_EQ(e.state.templateCode.toUtf8(), "P1");

    Export other;
    other.writeSoluc({kClass});
    other.dialogs.typeTemplate = formats::AnsiString("P2");
    ASSERT_EQ(other.run(), RunOutcome::Finished);
    EXPECT_EQ(other.conversion.column("DIASHORAST", "PLANTILLA").front(), "P2");
    EXPECT_EQ(other.conversion.rows("DIASHORAST").size(), 7u);
    EXPECT_TRUE(other.section(0).empty());  // hour 3 does not exist in P2's grid
}

}  // namespace

namespace {

// The hours of SOLUC are positions in the grid the tables were made with: another template only when
// the user confirms it; and a document without templates has no grid to read them with.
TEST(ExportRun, AnotherTemplateOrNoneAtAllIsRefused) {
    Export e;
    e.writeSoluc({kClass});
    e.dialogs.answers[runs::Question::OtherTemplate] = false;
    e.dialogs.typeTemplate = formats::AnsiString("P2");
    const auto before = snapshot(e.work);
    EXPECT_EQ(e.run(), RunOutcome::InputMissing);
    EXPECT_EQ(
        e.dialogs.questions,
        (std::vector<std::string>{"Las tablas de Tavelino se hicieron con la plantilla P1 y ha elegido la "
                                  "plantilla P2. Las horas de la solución se leerán con la plantilla P2. "
                                  "¿Desea continuar?"}));
    EXPECT_EQ(snapshot(e.work), before);
    EXPECT_FALSE(fs::exists(to_itaca::importDocumentPath(e.centre)));

    Export none("<docentes><docente apellido1=\"A\" documento=\"1\"/></docentes>");
    none.writeSoluc({kClass});
    EXPECT_EQ(none.run(), RunOutcome::InputMissing);
    EXPECT_EQ(none.dialogs.informed.back(), "El documento de centro no define ninguna plantilla horaria.");
    EXPECT_TRUE(none.dialogs.choosers.empty());
}

TEST(ExportRun, TheReportCountsEverySolucRowByWhatBecameOfIt) {
    Export e;
    const auto with = [](SolucRow row, auto change) {
        change(row);
        return row;
    };
    e.writeSoluc({kClass, with(kClass, [](SolucRow& r) { r.dia = 0; }),
                  with(kClass, [](SolucRow& r) { r.grupo = "NADA"; }),
                  with(kClass, [](SolucRow& r) { r.asig = "NADA"; }),
                  with(kClass, [](SolucRow& r) { r.hora = 9; }),
                  with(kClass, [](SolucRow& r) { r.prof = "NADIE"; }), kOccupation,
                  with(kOccupation, [](SolucRow& r) { r.prof = "NADIE"; }),
                  with(kOccupation, [](SolucRow& r) { r.asig = r.tarea = "*NADA"; })});
    ASSERT_EQ(e.run(), RunOutcome::Finished);
    EXPECT_EQ(
        e.report.details,
        (std::vector<std::string>{"Filas de clase de SOLUC (a horario_grupo):", "  escritas: 2",
                                  "  sin colocar (DIA u HORA vacíos): 1",
                                  "  pasadas por alto, su grupo no está en GRUPOST: 1",
                                  "  pasadas por alto, su materia no está en ASIGNOMT: 1",
                                  "  pasadas por alto, su hora no está en DIASHORAST: 1",
                                  "  escritas sin docente (su profesor no está en PROFT): 1",
                                  "Filas de ocupación de SOLUC (a horario_ocupacion):", "  escritas: 1",
                                  "  pasadas por alto, su profesor no está en PROFT: 1",
                                  "  pasadas por alto, su ocupación no está en ASIGNOMT: 1",
                                  "Códigos de ITACA escritos enteros que las tablas guardaban cortados: 0"}));
    EXPECT_NE(e.report.text.find("Documento de importación: " + e.report.output.string()), std::string::npos);
    EXPECT_EQ(readBytes(e.report.backup / "informe.txt"), e.report.text);
}

}  // namespace
