#include "to_timetable/build_day_hour_grid.h"

#include <gtest/gtest.h>

#include "formats/error.h"
#include "formats/literals.h"
#include "tests/support/files.h"
#include "tests/support/scripted_dialogs.h"

namespace to_timetable {
namespace {

using namespace testing_support;
using formats::AnsiString;

struct GridRow {
    std::string diho, coddiho, dia, textodia, hora, textohor, desde, hasta, minutos, plantilla;
    long long orden;
};

// Builds the grid for `state` into a fresh work folder and reads it back.
std::vector<GridRow> buildGrid(runs::MainWindowState& state) {
    TempDir dir;
    formats::Workspace workspace(dir.path());
    ScriptedDialogs dialogs;
    const auto document = formats::XmlDocument::parse("<centro/>", "centro.xml");
    runs::RunContext run{document, state, workspace, dialogs};
    BuildDayHourGrid(run);
    workspace.commit({"prueba", {}});
    formats::DbfTable grid = formats::DbfTable::open(dir / "DIASHORAST.DBF");
    EXPECT_EQ(grid.fields().size(), formats::tables::DIASHORAST().fields.size());
    std::vector<GridRow> rows;
    for (formats::RecNo r : grid.rows()) {
        auto t = [&](const char* f) { return grid.text(r, f).toUtf8(); };
        rows.push_back({t("DIHO"), t("CODDIHO"), t("DIA"), t("TEXTODIA"), t("HORA"), t("TEXTOHOR"),
                        t("HORADESDE"), t("HORAHASTA"), t("MINUTOS"), t("PLANTILLA"),
                        grid.integer(r, "SESION_ORDEN")});
    }
    grid.close();
    return rows;
}

runs::MainWindowState stateWith(std::vector<const char*> entries, const char* language = "VALENCIÁ",
                                const char* code = "PL1") {
    runs::MainWindowState state;
    for (const char* e : entries) state.sessionList.push_back(AnsiString(std::string(e)));
    state.languageChoice = AnsiString::fromUtf8(language);
    state.templateCode = AnsiString(std::string(code));
    return state;
}

TEST(DayHourGrid, OneEntryGivesSevenRowsOneADay) {
    auto state = stateWith({" 1 de 08:00 a 08:55"});
    const auto rows = buildGrid(state);
    ASSERT_EQ(rows.size(), 7u);
    const char* valencian[] = {"Dilluns",   "Dimarts",  "Dimecres", "Dijous",
                               "Divendres", "Dissabte", "Diumenge"};
    for (int d = 0; d < 7; ++d) {
        const GridRow& r = rows[d];
        EXPECT_EQ(r.diho, std::to_string(d + 1) + "1");
        EXPECT_EQ(r.dia, std::to_string(d + 1));
        EXPECT_EQ(r.textodia, valencian[d]);
        EXPECT_EQ(r.hora, "1");
        EXPECT_EQ(r.textohor, "1");
        EXPECT_EQ(r.orden, 1);
        EXPECT_EQ(r.desde, "08:00");
        EXPECT_EQ(r.hasta, "08:55");
        EXPECT_EQ(r.minutos, "55");
        EXPECT_EQ(r.coddiho, "");
        EXPECT_EQ(r.plantilla, "PL1");
    }
}

TEST(DayHourGrid, HoursAreListPositionsAndRowsComeHourByHour) {
    std::vector<const char*> entries = {" 1 de 08:00 a 08:55", " 1 de 08:55 a 09:50", "12 de 14:00 a 13:30"};
    for (int i = 0; i < 7; ++i) entries.push_back(" 4 de 10:00 a 10:50");
    auto state = stateWith(entries);
    const auto rows = buildGrid(state);
    ASSERT_EQ(rows.size(), 70u);
    EXPECT_EQ(rows[7].hora, "2");  // equal orders, different hours
    EXPECT_EQ(rows[7].textohor, "1");
    EXPECT_EQ(rows[14].textohor, "12");
    EXPECT_EQ(rows[14].orden, 12);
    EXPECT_EQ(rows[14].minutos, "-30");  // the end before the start
    EXPECT_EQ(rows[63].diho, "110");     // the tenth entry
    EXPECT_EQ(rows[69].diho, "710");
    EXPECT_EQ(rows[69].hora, "10");
}

TEST(DayHourGrid, DayNamesAreCastilianOnlyForExactlyCastellano) {
    struct Case {
        const char* language;
        const char* monday;
        const char* wednesday;
    };
    const Case cases[] = {{"CASTELLANO", "Lunes", "Miércoles"},
                          {"VALENCIÁ", "Dilluns", "Dimecres"},
                          {"castellano", "Dilluns", "Dimecres"},
                          {"", "Dilluns", "Dimecres"}};
    for (const Case& c : cases) {
        auto state = stateWith({" 1 de 08:00 a 08:55"}, c.language, "");
        const auto rows = buildGrid(state);
        EXPECT_EQ(rows[0].textodia, c.monday) << c.language;
        EXPECT_EQ(rows[2].textodia, c.wednesday) << c.language;
        EXPECT_EQ(rows[0].plantilla, "");
    }
    auto sabado = stateWith({" 1 de 08:00 a 08:55"}, "CASTELLANO");
    EXPECT_EQ(buildGrid(sabado)[5].textodia, "Sábado");
}

TEST(DayHourGrid, AnEmptySessionListGivesAnEmptyTable) {
    auto state = stateWith({});
    EXPECT_TRUE(buildGrid(state).empty());
}

TEST(DayHourGrid, AnEntryThatDoesNotParseIsAClearError) {
    for (const char* entry : {" 1 de 8:00 a 08:55", " 1 de 08:00 a 08", "xx de 08:00 a 08:55", ""}) {
        auto state = stateWith({" 1 de 08:00 a 08:55", entry});
        try {
            buildGrid(state);
            ADD_FAILURE() << entry;
        } catch (const formats::Error& e) {
            // The entry between quotes: an empty one is named too.
            EXPECT_NE(std::string(e.what()).find("\"" + std::string(entry) + "\""), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace to_timetable
