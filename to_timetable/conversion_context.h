// What the steps of one conversion run share.
#pragma once

#include <set>
#include <string>

#include "formats/dbf.h"
#include "runs/run_frame.h"

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

private:
    std::set<std::string> warned_;
};

}  // namespace to_timetable
