#include "runs/template_chooser.h"

#include <gtest/gtest.h>

#include "formats/error.h"
#include "formats/literals.h"
#include "tests/support/centre_fixture.h"

namespace runs {
namespace {

using namespace testing_support;

AnsiString ansi(const char* utf8) {
    return AnsiString::fromUtf8(utf8);
}

std::vector<std::string> utf8(const std::vector<AnsiString>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back(t.toUtf8());
    return out;
}

const std::string kTwoTemplates = templates(
    "<plantilla_horario codigo=\"PL1\" descripcion_val=\"Matí\" descripcion_cas=\"Mañana\" turno=\"M\"/>"
    "<plantilla_horario codigo=\" PL2 \" descripcion_val=\"Vesprada\" descripcion_cas=\"Tarde\" "
    "turno=\"T\"/>");

TEST(TemplateChooser, PreselectsTheFirstTemplateAndShowsItsDescriptionInTheLanguageChosen) {
    TempDir dir;
    const auto doc = loadCentre(dir, kTwoTemplates);
    TemplateChooser chooser(ChooserMode::Normal);
    chooser.activate(doc, formats::literals::kValencia, nullptr);
    EXPECT_EQ(utf8(chooser.templateItems()), (std::vector<std::string>{"PL1", "PL2"}));
    EXPECT_EQ(chooser.templateText().toUtf8(), "PL1");
    EXPECT_EQ(chooser.description().toUtf8(), "Matí");
    EXPECT_EQ(chooser.turn().toUtf8(), "M");
    EXPECT_TRUE(chooser.languageBoxVisible());

    struct Case {
        const char* language;
        const char* description;
    };
    const Case cases[] = {
        {"CASTELLANO", "Mañana"}, {"VALENCIÁ", "Matí"}, {"valenciá", "Mañana"}, {"", "Mañana"}};
    for (const Case& c : cases) {
        chooser.setLanguageText(ansi(c.language));
        EXPECT_EQ(chooser.description().toUtf8(), c.description) << c.language;
    }
    chooser.setTemplateText(ansi("PL2"));
    EXPECT_EQ(chooser.description().toUtf8(), "Tarde");
    chooser.finish();
    EXPECT_EQ(chooser.chosenCode().toUtf8(), "PL2");
    EXPECT_EQ(chooser.chosenTurn().toUtf8(), "T");
}

TEST(TemplateChooser, OneTemplateIsShownAndHandedBackLikeAny) {
    TempDir dir;
    const auto doc = loadCentre(
        dir,
        templates("<plantilla_horario codigo=\"UNICA\" descripcion_val=\"Única\" descripcion_cas=\"Única\" "
                  "turno=\"M\"/>") +
            sessions(session("UNICA", "L", "1", "08:00", "08:55")));
    TemplateChooser chooser(ChooserMode::Normal);
    chooser.activate(doc, formats::literals::kValencia, nullptr);
    EXPECT_EQ(chooser.description().toUtf8(), "Única");
    EXPECT_EQ(utf8(chooser.sessions()), (std::vector<std::string>{" 1 de 08:00 a 08:55"}));
    chooser.finish();
    EXPECT_EQ(chooser.chosenTurn().toUtf8(), "M");
}

TEST(TemplateChooser, AKeyTypedWithABlankMatchesNothingButIsHandedBackTrimmed) {
    TempDir dir;
    const auto doc = loadCentre(dir, kTwoTemplates + sessions(session("PL1", "L", "1", "08:00", "08:55")));
    TemplateChooser chooser(ChooserMode::Normal);
    chooser.activate(doc, formats::literals::kValencia, nullptr);
    ASSERT_EQ(chooser.sessions().size(), 1u);
    chooser.setTemplateText(ansi("PL1 "));
    EXPECT_EQ(chooser.description().toUtf8(), "-");
    EXPECT_EQ(chooser.turn().toUtf8(), "-");
    EXPECT_TRUE(chooser.sessions().empty());
    chooser.finish();
    EXPECT_EQ(chooser.chosenCode().toUtf8(), "PL1");
    EXPECT_EQ(chooser.chosenTurn().toUtf8(), "-");
}

// The chooser may only be confirmed on a template of the document, compared trimmed as it is handed back.
TEST(TemplateChooser, KnowsWhetherItsBoxNamesATemplateOfTheDocument) {
    TempDir dir;
    const auto doc = loadCentre(dir, kTwoTemplates);
    TemplateChooser chooser(ChooserMode::Normal);
    chooser.activate(doc, formats::literals::kValencia, nullptr);
    const std::pair<const char*, bool> cases[] = {
        {"PL1", true}, {" PL2 ", true}, {"PL3", false}, {"pl1", false}, {"", false}};
    for (const auto& [text, known] : cases) {
        chooser.setTemplateText(ansi(text));
        EXPECT_EQ(chooser.templateIsKnown(), known) << text;
        EXPECT_EQ(chooser.templateNote().empty(), known) << text;
    }
}

TEST(TemplateChooser, ListsTheMondaySessionsOfTheTemplateInTextOrder) {
    TempDir dir;
    const auto doc = loadCentre(
        dir, kTwoTemplates + sessions(session("PL1", "L", "10", "15:00", "15:55") +
                                      session("PL1", "L", "2", "08:55", "09:50") +
                                      session("PL1", "l", "3", "09:50", "10:45") +  // no Monday: small letter
                                      session("PL1", "M", "4", "11:00", "12:00") +  // Tuesday
                                      session("PL2", "L", "5", "16:00", "17:00") +  // another template
                                      session(" PL1\t", " L ", " 1 ", " 08:00 ", "08:55") +
                                      session("PL1", "L", "2", "08:55", "09:50") +  // equal entries all stay
                                      session("PL1", "L", "1234", "13:00", "14:00")));
    TemplateChooser chooser(ChooserMode::Normal);
    chooser.activate(doc, formats::literals::kValencia, nullptr);
    EXPECT_EQ(utf8(chooser.sessions()),
              (std::vector<std::string>{" 1 de 08:00 a 08:55", " 2 de 08:55 a 09:50", " 2 de 08:55 a 09:50",
                                        "10 de 15:00 a 15:55", "123 de 13:00 a 14:00"}));
}

TEST(TemplateChooser, ExportModePreselectsTheTemplateOfTheExistingGrid) {
    TempDir dir;
    const auto doc = loadCentre(dir, kTwoTemplates + sessions(session("PL2", "L", "1", "15:00", "15:55")));
    const auto folder = dir / "TTEMP";
    std::filesystem::create_directory(folder);
    formats::Workspace workspace(folder);

    // No DIASHORAST at all: the table layer's message, before anything is shown.
    try {
        TemplateChooser chooser(ChooserMode::Export);
        chooser.activate(doc, formats::literals::kValencia, &workspace);
        FAIL() << "activated without DIASHORAST";
    } catch (const formats::Error& e) {
        EXPECT_NE(std::string(e.what()).find("DIASHORAST"), std::string::npos);
    }

    for (const char* plantilla : {"", "PL2"}) {
        formats::DbfTable grid = workspace.create(formats::tables::DIASHORAST());
        if (*plantilla) grid.setText(grid.append(), "PLANTILLA", ansi(plantilla));
        grid.close();
        TemplateChooser chooser(ChooserMode::Export);
        chooser.activate(doc, formats::literals::kValencia, &workspace);
        EXPECT_FALSE(chooser.languageBoxVisible());
        EXPECT_EQ(chooser.languageCaption().toUtf8(), "EXPORTACIÓN A ITACA");
        EXPECT_EQ(chooser.prompt().toUtf8(),
                  "Seleccione la Plantilla Horaria que quiere aplicar para Exportar su Horario a ITACA.");
        EXPECT_EQ(chooser.templateText().toUtf8(), plantilla);
        EXPECT_EQ(chooser.description().toUtf8(), *plantilla ? "Vesprada" : "-");
        EXPECT_EQ(chooser.sessions().size(), *plantilla ? 1u : 0u);
        // DIASHORAST is held while the chooser is open and released when it ends.
        EXPECT_THROW(workspace.open("DIASHORAST"), formats::Error);
        chooser.finish();
        workspace.open("DIASHORAST").close();
    }
}

}  // namespace
}  // namespace runs
