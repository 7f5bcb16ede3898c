// What the steps of one conversion run share.
#pragma once

#include "runs/run_frame.h"

namespace to_timetable {

struct ConversionContext : runs::RunContext {
    // Set by ApplyGroupTimetable when the user limits the conversion to the chosen template.
    bool singleTemplate = false;
};

}  // namespace to_timetable
