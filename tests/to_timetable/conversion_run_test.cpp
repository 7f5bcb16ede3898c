#include "to_timetable/conversion_run.h"

#include <gtest/gtest.h>

#include "formats/dbf.h"
#include "tests/support/centre_fixture.h"
#include "tests/support/scripted_dialogs.h"

namespace to_timetable {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;
using runs::RunOutcome;

struct Fixture {
    TempDir dir;
    fs::path work = dir / "TTEMP";
    runs::MainWindowState state;
    ScriptedDialogs dialogs;
    Fixture() {
        fs::create_directory(work);
        dialogs.answers[runs::Question::IncompleteDocument] = true;  // the documents here are small
    }
    runs::RunReport run() { return runConversion(state, dialogs, work); }
    std::size_t rows(const char* table) {
        auto t = formats::DbfTable::open(work / (std::string(table) + ".DBF"));
        const std::size_t n = t.rowCount();
        t.close();
        return n;
    }
};

const std::string kPlantillas =
    templates(
        "<plantilla_horario codigo=\"PL1\" descripcion_val=\"Matí\" descripcion_cas=\"Mañana\" turno=\"M\"/>"
        "<plantilla_horario codigo=\"PL2\" descripcion_val=\"Vesprada\" descripcion_cas=\"Tarde\" "
        "turno=\"T\"/>") +
    sessions(session("PL1", "L", "1", "08:00", "08:55") + session("PL1", "L", "2", "08:55", "09:50") +
             session("PL2", "L", "1", "15:00", "15:55"));

TEST(ConversionRun, AMissingFileEndsTheRunAndEmbeddedModeReportsIt) {
    for (bool embedded : {false, true}) {
        Fixture f;
        f.state.embedded = embedded;
        f.dialogs.openAnswers = {std::nullopt};  // cancelled at the first run: the path stays empty
        EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);
        EXPECT_EQ(f.dialogs.informed, (std::vector<std::string>{"No existe archivo"}));
        EXPECT_EQ(f.state.resultFlag, embedded ? -1 : 0);
        EXPECT_TRUE(f.state.directionButtonsEnabled);
        EXPECT_TRUE(snapshot(f.work).empty());
    }
}

// A partial export of ITACA would leave the timetable program near-empty tables: asked first, "No" refuses.
TEST(ConversionRun, AnIncompleteDocumentIsConvertedOnlyWhenTheUserSaysSo) {
    for (bool embedded : {false, true}) {
        Fixture f;
        f.state.embedded = embedded;
        f.dialogs.answers[runs::Question::IncompleteDocument] = false;
        f.dialogs.openAnswers = {
            writeCentre(f.dir, "<docentes><docente apellido1=\"A\" documento=\"1\"/></docentes>")};
        EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);
        EXPECT_EQ(f.dialogs.questions,
                  (std::vector<std::string>{
                      "El documento de centro no contiene: plantillas horarias, materias, grupos. "
                      "Si continúa, las tablas de Tavelino se sustituirán por tablas "
                      "incompletas. ¿Desea continuar?"}));
        EXPECT_TRUE(f.dialogs.informed.empty());  // the question said it all
        EXPECT_TRUE(f.dialogs.choosers.empty());
        EXPECT_EQ(f.state.resultFlag, embedded ? -1 : 0);
        EXPECT_TRUE(snapshot(f.work).empty());
    }
    Fixture yes;
    yes.dialogs.openAnswers = {
        writeCentre(yes.dir, "<docentes><docente apellido1=\"A\" documento=\"1\"/></docentes>")};
    EXPECT_EQ(yes.run().outcome, RunOutcome::Finished);
    EXPECT_EQ(yes.rows("PROFT"), 1u);
}

TEST(ConversionRun, ACancelledDialogUsesThePathChosenLast) {
    Fixture f;
    const auto doc = writeCentre(f.dir, kPlantillas);
    f.dialogs.openAnswers = {f.dir / "missing.xml", std::nullopt, doc, std::nullopt};
    EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);
    EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);  // cancelled: the missing path again
    EXPECT_EQ(f.state.centreDocumentPath, f.dir / "missing.xml");
    formats::FileOperations::arm(3, 0);  // the first file operation after taking the work folder fails
    EXPECT_EQ(f.run().outcome, RunOutcome::Failed);  // a good document, but a full disk
    formats::FileOperations::disarm();
    EXPECT_EQ(f.state.centreDocumentPath, doc);
    EXPECT_EQ(f.run().outcome, RunOutcome::Finished);  // cancelled: the document of the failed attempt
    EXPECT_EQ(f.state.templateCode.toUtf8(), "PL1");
}

TEST(ConversionRun, AFinishedRunTakesTheChoiceAndDisablesBothDirections) {
    Fixture f;
    f.dialogs.openAnswers = {writeCentre(f.dir, kPlantillas)};
    f.dialogs.typeLanguage = formats::AnsiString("CASTELLANO");
    const auto report = f.run();
    EXPECT_EQ(report.outcome, RunOutcome::Finished);
    ASSERT_EQ(f.dialogs.choosers.size(), 1u);
    EXPECT_EQ(f.dialogs.choosers[0].description, "Mañana");
    EXPECT_EQ(f.state.templateCode.toUtf8(), "PL1");
    EXPECT_EQ(f.state.templateTurn.toUtf8(), "M");
    EXPECT_EQ(f.state.languageChoice.toUtf8(), "CASTELLANO");
    EXPECT_EQ(f.state.sessionList.size(), 2u);
    EXPECT_EQ(f.state.resultFlag, 1);
    EXPECT_FALSE(f.state.directionButtonsEnabled);
    EXPECT_FALSE(f.dialogs.busyNow);
    EXPECT_EQ(f.dialogs.informed.back(), "Proceso finalizado");
    EXPECT_EQ(report.tablesWritten.size(), 7u);
    EXPECT_EQ(f.rows("DIASHORAST"), 14u);
}

TEST(ConversionRun, WithoutTemplatesTheChooserIsNotShownAndTheStateStays) {
    Fixture f;
    f.dialogs.openAnswers = {writeCentre(f.dir, sessions(session("PL1", "L", "1", "08:00", "08:55")))};
    f.state.languageChoice = formats::AnsiString("CASTELLANO");
    EXPECT_EQ(f.run().outcome, RunOutcome::Finished);
    EXPECT_TRUE(f.dialogs.choosers.empty());
    EXPECT_EQ(f.state.templateCode.toUtf8(), "");
    EXPECT_EQ(f.state.languageChoice.toUtf8(), "CASTELLANO");
    EXPECT_EQ(f.rows("DIASHORAST"), 0u);
}

TEST(ConversionRun, ADocumentThatIsNoCentreDocumentIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        const char* content;
        const char* reason;
    };
    const Case cases[] = {{"<centro><aulas></centro>", "bien formado"},
                          {"<?xml version=\"1.0\"?><escuela/>", "\"escuela\""},
                          {"", "bien formado"}};
    for (const Case& c : cases) {
        for (bool embedded : {false, true}) {
            Fixture f;
            writeBytes(f.dir / "otro.xml", c.content);
            f.dialogs.openAnswers = {f.dir / "otro.xml"};
            f.state.embedded = embedded;
            EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);
            ASSERT_EQ(f.dialogs.informed.size(), 1u);
            EXPECT_NE(f.dialogs.informed[0].find((f.dir / "otro.xml").string()), std::string::npos);
            EXPECT_NE(f.dialogs.informed[0].find(c.reason), std::string::npos) << f.dialogs.informed[0];
            EXPECT_EQ(f.state.resultFlag, embedded ? -1 : 0);
            EXPECT_TRUE(snapshot(f.work).empty());
        }
    }
}

TEST(ConversionRun, AFailingRunLeavesTheWorkFolderAsItWasAndCanBeRunAgain) {
    Fixture f;
    const auto good = writeCentre(f.dir, kPlantillas, "bueno.xml");
    const auto bad =
        writeCentre(f.dir, kPlantillas + sessions(session("PL1", "L", "3", "9:50", "10:45")), "malo.xml");
    f.dialogs.openAnswers = {good};
    ASSERT_EQ(f.run().outcome, RunOutcome::Finished);
    f.state.directionButtonsEnabled = true;
    const auto before = snapshot(f.work);

    f.dialogs.openAnswers = {bad};
    EXPECT_EQ(f.run().outcome, RunOutcome::Failed);
    ASSERT_EQ(f.dialogs.failures.size(), 1u);
    EXPECT_NE(f.dialogs.failures[0].find("9:50"), std::string::npos);
    EXPECT_FALSE(f.dialogs.busyNow);
    EXPECT_TRUE(f.state.directionButtonsEnabled);
    EXPECT_EQ(f.state.resultFlag, 1);  // kept from the earlier run
    EXPECT_EQ(snapshot(f.work), before);

    f.dialogs.openAnswers = {good};
    EXPECT_EQ(f.run().outcome, RunOutcome::Finished);
}

TEST(ConversionRun, AChoiceCalledOffWritesNothing) {
    Fixture f;
    f.dialogs.openAnswers = {writeCentre(f.dir, kPlantillas)};
    f.dialogs.callOff = true;
    EXPECT_EQ(f.run().outcome, RunOutcome::InputMissing);
    EXPECT_EQ(f.state.resultFlag, 0);
    EXPECT_TRUE(snapshot(f.work).empty());
}

}  // namespace
}  // namespace to_timetable
