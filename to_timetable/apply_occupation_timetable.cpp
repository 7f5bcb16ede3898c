#include <cmath>
#include <map>
#include <utility>

#include "formats/centre_document.h"
#include "to_timetable/session_pattern.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace horario_ocupacion = formats::centre::horario_ocupacion;
using formats::DbfTable;
using formats::RecNo;

// The task assignments this step appended, by teacher code and occupation code as ASIGT stores them:
// a class assignment never receives an occupation's periods, whatever its subject's code.
class TaskAssignments {
public:
    explicit TaskAssignments(const DbfTable& assignments) : assignments_(assignments) {}
    std::optional<RecNo> find(const AnsiString& teacher, const AnsiString& occupation) const {
        const auto it = rows_.find(key(teacher, occupation));
        return it == rows_.end() ? std::nullopt : std::optional<RecNo>(it->second);
    }
    void add(const AnsiString& teacher, const AnsiString& occupation, RecNo row) {
        rows_.emplace(key(teacher, occupation), row);
    }

private:
    std::pair<AnsiString, AnsiString> key(const AnsiString& teacher, const AnsiString& occupation) const {
        return {assignments_.asStored("CPROF", teacher), assignments_.asStored("ASIG_ITACA", occupation)};
    }
    const DbfTable& assignments_;
    std::map<std::pair<AnsiString, AnsiString>, RecNo> rows_;
};

// Writes every row's session pattern from its periods.
void writeSessionPatterns(DbfTable& assignments) {
    for (RecNo row : assignments.rows()) {
        const auto periods = static_cast<int>(std::ceil(assignments.number(row, "HORAS")));
        assignments.setText(row, "SESIONES", AnsiString(sessionPattern(periods)));
    }
}

}  // namespace

void ApplyOccupationTimetable(ConversionContext& run) {
    DbfTable catalogue = run.workspace.open(formats::tables::ASIGNOMT().name);
    DbfTable assignments = run.workspace.open(formats::tables::ASIGT().name);
    DbfTable teachers = run.workspace.open(formats::tables::PROFT().name);
    TaskAssignments tasks(assignments);
    const auto lines = run.document.select(horario_ocupacion::path);
    if (!lines.empty()) run.occupationLines.add("leídas", lines.size());
    for (const auto& line : lines) {
        if (run.singleTemplate && line.attribute(horario_ocupacion::plantilla) != run.state.templateCode) {
            run.occupationLines.add("pasadas por alto, de otra plantilla");
            continue;
        }
        const AnsiString occupation = line.attribute(horario_ocupacion::ocupacion);
        // Only task rows: a subject that shares the occupation's ITACA code is another thing.
        const auto task =
            lookupNonEmpty(catalogue, {{"ABREV_ITACA", occupation}, {"ESTAREA", AnsiString("T")}});
        const AnsiString taskCode = task ? catalogue.text(*task, "COD") : AnsiString();
        const auto teacher = lookupNonEmpty(teachers, {{"DNI", line.attribute(horario_ocupacion::docente)}});
        const AnsiString teacherCode = teacher ? teachers.text(*teacher, "ABREV") : AnsiString();
        if (!task) run.occupationLines.add("contadas sin tarea (su ocupación no está en ASIGNOMT)");
        if (!teacher) run.occupationLines.add("contadas sin profesor (su docente no está en PROFT)");

        if (const auto row = tasks.find(teacherCode, occupation)) {
            assignments.setNumber(*row, "HORAS", assignments.number(*row, "HORAS") + 1);
            continue;
        }
        const RecNo row = assignments.append();
        assignments.setText(row, "CASIG", taskCode);
        assignments.setText(row, "CPROF", teacherCode);
        assignments.setNumber(row, "HORAS", 1);
        assignments.setText(row, "CTAREA", taskCode);
        run.writeCode(assignments, row, "ASIG_ITACA", occupation);
        tasks.add(teacherCode, occupation, row);
    }
    writeSessionPatterns(assignments);
    teachers.close();
    assignments.close();
    catalogue.close();
}

}  // namespace to_timetable
