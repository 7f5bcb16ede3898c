// What the steps of one conversion run share.
#pragma once

#include <set>
#include <string>

#include "formats/dbf.h"
#include "runs/run_frame.h"
#include "runs/tally.h"

namespace to_timetable {

using formats::AnsiString;

struct ConversionContext : runs::RunContext {
    explicit ConversionContext(const runs::RunContext& run) : runs::RunContext(run) {}

    // Set by ApplyGroupTimetable when the user limits the conversion to the chosen template.
    bool singleTemplate = false;
    // The code list and the name list of the subjects and occupations steps: sorted, case-sensitive,
    // fresh for every run.
    std::set<AnsiString> codeList;
    std::set<AnsiString> nameList;

    // Writes an ITACA code into its field. A code the field cannot hold whole is warned about once per
    // table, field and code, in the order first met: the timetable program will only see its start.
    void writeCode(formats::DbfTable& table, formats::RecNo row, std::string_view field,
                   const AnsiString& code);

    // Asks one of the run's two questions; the answer goes into the report.
    bool ask(runs::Question question, const AnsiString& text);

    // What the run's report says of it: the timetable lines by what became of them, the codes cut to
    // fit a field (by table and field), the answers to the questions.
    runs::Tally groupLines, occupationLines, cutCodes;
    std::vector<std::string> answers;

    std::vector<std::string> reportLines() const;

private:
    std::set<std::string> warned_;
};

}  // namespace to_timetable
