// The ten steps of the conversion run, in the order the run calls them. Each recreates or refines
// workspace tables through the run's context.
#pragma once

#include "to_timetable/build_day_hour_grid.h"
#include "to_timetable/conversion_context.h"

namespace to_timetable {

void BuildSubjectCatalogue(ConversionContext& run);     // ASIGNOMT: one row per subject
void AddOccupations(ConversionContext& run);            // ASIGNOMT: one task row per occupation
void BuildTeachers(ConversionContext& run);             // PROFT
void BuildRooms(ConversionContext& run);                // AULAT
void BuildCoursesAndGroups(ConversionContext& run);     // CURSOST and GRUPOST
void BuildAssignments(ConversionContext& run);          // ASIGT: one class assignment per subject and group
void ApplyGroupTimetable(ConversionContext& run);       // ASIGT: periods, teachers and rooms of the template
void ApplyOccupationTimetable(ConversionContext& run);  // ASIGT: task assignments, then every SESIONES
void PruneGroupsAndTeachers(ConversionContext& run);    // GRUPOST and PROFT: those without assignments go

}  // namespace to_timetable
