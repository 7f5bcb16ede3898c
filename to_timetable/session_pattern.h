#pragma once

#include <string>

namespace to_timetable {

// SESIONES for a count of weekly periods: one digit per session, each its periods, adding up to the
// count (up to 180, the most twenty sessions of 9 can hold).
std::string sessionPattern(int periods);

}  // namespace to_timetable
