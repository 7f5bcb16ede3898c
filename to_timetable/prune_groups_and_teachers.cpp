#include "runs/messages.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

using formats::DbfTable;
using formats::RecNo;

bool hasAssignment(const DbfTable& assignments, const char* field, const AnsiString& code) {
    return assignments.locate({{field, code}}).has_value();
}

std::optional<RecNo> firstGroupWithoutAssignment(const DbfTable& groups, const DbfTable& assignments) {
    for (RecNo g : groups.rows()) {
        if (!hasAssignment(assignments, "CGRUP", groups.text(g, "ABREV"))) return g;
    }
    return std::nullopt;
}

// Deletes the rows whose ABREV no assignment holds in `field`, then packs and closes the table.
void removeWithoutAssignment(DbfTable& table, const DbfTable& assignments, const char* field) {
    for (RecNo row : table.rows()) {
        if (!hasAssignment(assignments, field, table.text(row, "ABREV"))) table.remove(row);
    }
    table.pack();
    table.close();
}

}  // namespace

void PruneGroupsAndTeachers(ConversionContext& run) {
    if (!run.singleTemplate) return;
    DbfTable assignments = run.workspace.open(formats::tables::ASIGT().name);
    DbfTable teachers = run.workspace.open(formats::tables::PROFT().name);
    DbfTable groups = run.workspace.open(formats::tables::GRUPOST().name);
    if (firstGroupWithoutAssignment(groups, assignments) &&
        !run.ask(runs::Question::RemoveWithoutClass, runs::messages::kRemoveWithoutClassQuestion)) {
        groups.close();
        teachers.close();
        assignments.close();
        return;
    }
    removeWithoutAssignment(groups, assignments, "CGRUP");
    removeWithoutAssignment(teachers, assignments, "CPROF");
    assignments.close();
}

}  // namespace to_timetable
