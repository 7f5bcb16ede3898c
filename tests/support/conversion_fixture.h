// Runs a whole conversion over a small centre document and reads back what it wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "formats/dbf.h"
#include "tests/support/centre_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "to_timetable/conversion_run.h"

namespace testing_support {

using Row = std::map<std::string, std::string>;

struct Conversion {
    TempDir dir;
    std::filesystem::path work = dir / "TTEMP";
    runs::MainWindowState state;
    ScriptedDialogs dialogs;
    runs::RunReport report;

    // The small documents of the tests lack whole sections: converting them is confirmed.
    Conversion() {
        std::filesystem::create_directory(work);
        dialogs.answers[runs::Question::IncompleteDocument] = true;
    }

    // The run over `sections`, with the main window's language box holding `language` (UTF-8).
    Conversion& run(const std::string& sections, const char* language = "CASTELLANO") {
        dialogs.openAnswers = {writeCentre(dir, sections)};
        state.languageChoice = formats::AnsiString::fromUtf8(language);
        report = to_timetable::runConversion(state, dialogs, work);
        return *this;
    }

    // The live rows of a table, each field read as text (UTF-8).
    std::vector<Row> rows(const char* table) const {
        auto t = formats::DbfTable::open(work / (std::string(table) + ".DBF"));
        std::vector<Row> out;
        for (formats::RecNo r : t.rows()) {
            Row row;
            for (const auto& f : t.fields()) row[f.name] = t.text(r, f.name).toUtf8();
            out.push_back(row);
        }
        t.close();
        return out;
    }

    // One field of every row.
    std::vector<std::string> column(const char* table, const char* field) const {
        std::vector<std::string> out;
        for (const Row& r : rows(table)) out.push_back(r.at(field));
        return out;
    }
};

}  // namespace testing_support
