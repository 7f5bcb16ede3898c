#pragma once

#include "runs/run_frame.h"

namespace to_timetable {

// Recreates DIASHORAST: seven rows (Monday to Sunday) for each entry of the session list, hour by hour,
// with the template code and the day names of the language choice. Both runs call it.
void BuildDayHourGrid(runs::RunContext& run);

}  // namespace to_timetable
