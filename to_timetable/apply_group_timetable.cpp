#include <vector>

#include "formats/centre_document.h"
#include "runs/messages.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace horario_grupo = formats::centre::horario_grupo;
using formats::DbfTable;
using formats::RecNo;

// The record numbers of the ASIGT rows some line has matched or created.
class TouchedRows {
public:
    bool contains(RecNo row) const { return row < touched_.size() && touched_[row]; }
    void add(RecNo row) {
        if (row >= touched_.size()) touched_.resize(row + 1, false);
        touched_[row] = true;
    }

private:
    std::vector<bool> touched_;
};

struct Line {
    AnsiString group, course, subject, teacher, room;  // teacher and room: their timetable codes, or empty
};

class GroupTimetable {
public:
    explicit GroupTimetable(ConversionContext& run)
        : run_(run),
          assignments_(run.workspace.open(formats::tables::ASIGT().name)),
          groups_(run.workspace.open(formats::tables::GRUPOST().name)),
          teachers_(run.workspace.open(formats::tables::PROFT().name)),
          rooms_(run.workspace.open(formats::tables::AULAT().name)) {}

    void apply(const formats::XmlElement& element) {
        runs::Tally& lines = run_.groupLines;
        if (element.attribute(horario_grupo::plantilla) != run_.state.templateCode) {
            return lines.add("pasadas por alto, de otra plantilla");
        }
        Line line{element.attribute(horario_grupo::grupo),
                  element.attribute(horario_grupo::curso),
                  element.attribute(horario_grupo::contenido),
                  {},
                  {}};
        const auto row = assignments_.locate(
            {{"CLAVE", line.group}, {"CLAVECURSO", line.course}, {"ASIG_ITACA", line.subject}});
        if (!row)
            return lines.add("pasadas por alto, sin asignación de clase para su grupo, curso y materia");
        findTeacherAndRoom(element, line);
        if (line.teacher.empty()) lines.add("contadas sin profesor (su docente no está en PROFT)");
        if (line.room.empty()) lines.add("contadas sin aula (su aula no está en AULAT)");
        if (!touched_.contains(*row)) return countFirst(*row, line);
        if (assignments_.text(*row, "CPROF") == line.teacher) return countMore(*row, line);
        const auto teachersRow = assignments_.locate({{"CLAVE", line.group},
                                                      {"CLAVECURSO", line.course},
                                                      {"ASIG_ITACA", line.subject},
                                                      {"CPROF", line.teacher}});
        if (!teachersRow) return addFurtherTeacher(*row, line);
        if (!touched_.contains(*teachersRow)) return countFirst(*teachersRow, line);
        countMore(*teachersRow, line);
    }

    // Every class assignment that no line touched goes, for good.
    void finish() {
        for (RecNo row : assignments_.rows()) {
            if (!touched_.contains(row)) assignments_.remove(row);
        }
        assignments_.pack();
        assignments_.close();
        groups_.close();
        teachers_.close();
        rooms_.close();
    }

private:
    // The line's teacher and room codes; empty for a document or room the tables do not hold.
    void findTeacherAndRoom(const formats::XmlElement& element, Line& line) const {
        if (auto t = lookupNonEmpty(teachers_, {{"DNI", element.attribute(horario_grupo::docente)}})) {
            line.teacher = teachers_.text(*t, "ABREV");
        }
        if (auto r = lookupNonEmpty(rooms_, {{"ABREV_ITACA", element.attribute(horario_grupo::aula)}})) {
            line.room = rooms_.text(*r, "ABREV");
        }
    }

    void fillBlanks(RecNo row, const Line& line) {
        if (formats::trimControl(assignments_.text(row, "CPROF")).empty())
            assignments_.setText(row, "CPROF", line.teacher);
        if (formats::trimControl(assignments_.text(row, "CAULA")).empty())
            assignments_.setText(row, "CAULA", line.room);
    }

    // The first line that falls to a row replaces the default periods.
    void countFirst(RecNo row, const Line& line) {
        run_.groupLines.add("aplicadas");
        touched_.add(row);
        assignments_.setNumber(row, "HORAS", 1);
        fillBlanks(row, line);
    }

    void countMore(RecNo row, const Line& line) {
        run_.groupLines.add("aplicadas");
        assignments_.setNumber(row, "HORAS", assignments_.number(row, "HORAS") + 1);
        fillBlanks(row, line);
    }

    // A further teacher of the assignment gets a class assignment of its own.
    void addFurtherTeacher(RecNo touched, const Line& line) {
        const AnsiString subjectCode = assignments_.text(touched, "CASIG");
        const AnsiString groupCode = assignments_.text(touched, "CGRUP");
        const auto group = lookupNonEmpty(groups_, {{"ABREV", groupCode}});
        if (!group)
            return run_.groupLines.add(
                "pasadas por alto, de un segundo profesor de un grupo sin fila en GRUPOST");
        const RecNo row = assignments_.append();
        assignments_.setText(row, "CASIG", subjectCode);
        assignments_.setText(row, "CPROF", line.teacher);
        assignments_.setText(row, "CGRUP", groupCode);
        assignments_.setText(row, "CAULA", line.room);
        for (const char* field : {"TURNO", "NIVEL", "CURSO", "GRUPO"}) {
            assignments_.setText(row, field, groups_.text(*group, field));
        }
        assignments_.setNumber(row, "HORAS", 1);
        assignments_.setText(row, "SESIONES", AnsiString("1111"));
        run_.writeCode(assignments_, row, "CLAVE", line.group);
        run_.writeCode(assignments_, row, "CLAVECURSO", line.course);
        assignments_.setText(row, "CTAREA", AnsiString("*479"));
        run_.writeCode(assignments_, row, "ASIG_ITACA", line.subject);
        touched_.add(row);
        run_.groupLines.add("aplicadas");
    }

    ConversionContext& run_;
    DbfTable assignments_, groups_, teachers_, rooms_;
    TouchedRows touched_;
};

}  // namespace

void ApplyGroupTimetable(ConversionContext& run) {
    run.singleTemplate = false;
    const auto lines = run.document.select(horario_grupo::path);
    if (lines.empty()) return;
    run.groupLines.add("leídas", lines.size());
    if (run.ask(runs::Question::AllTemplates, runs::messages::kAllTemplatesQuestion)) {
        return run.groupLines.add("no aplicadas: se tomaron todas las plantillas", lines.size());
    }
    run.singleTemplate = true;
    GroupTimetable timetable(run);
    for (const auto& line : lines) timetable.apply(line);
    timetable.finish();
}

}  // namespace to_timetable
