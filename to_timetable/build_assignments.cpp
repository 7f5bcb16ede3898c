#include <map>

#include "formats/centre_document.h"
#include "formats/literals.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace contenido = formats::centre::contenido;
namespace literals = formats::literals;

// The subject's COD: found by its ITACA code, or failing that by its name, in Castilian only for exactly
// "CASTELLANO" and in Valencian only for exactly "VALENCIÁ".
AnsiString subjectCode(const formats::DbfTable& catalogue, const formats::XmlElement& subject,
                       const AnsiString& language) {
    auto found = lookupNonEmpty(catalogue, {{"ABREV_ITACA", subject.attribute(contenido::codigo)}});
    if (!found && language == literals::kCastellano) {
        found = lookupNonEmpty(catalogue, {{"NOMBRE", subject.attribute(contenido::nombre_cas)}});
    }
    if (!found && language == literals::kValencia) {
        found = lookupNonEmpty(catalogue, {{"NOMBRE", subject.attribute(contenido::nombre_val)}});
    }
    return found ? catalogue.text(*found, "COD") : AnsiString();
}

// The groups of each course, in table order, by the course code as CLAVECURSO stores it.
std::map<AnsiString, std::vector<formats::RecNo>> groupsByCourse(const formats::DbfTable& groups) {
    std::map<AnsiString, std::vector<formats::RecNo>> byCourse;
    for (formats::RecNo g : groups.rows()) byCourse[groups.text(g, "CLAVECURSO")].push_back(g);
    return byCourse;
}

}  // namespace

void BuildAssignments(ConversionContext& run) {
    formats::DbfTable assignments = run.workspace.create(formats::tables::ASIGT());
    formats::DbfTable groups = run.workspace.open(formats::tables::GRUPOST().name);
    formats::DbfTable catalogue = run.workspace.open(formats::tables::ASIGNOMT().name);
    const auto courses = groupsByCourse(groups);
    for (const auto& subject : run.document.select(contenido::path)) {
        const AnsiString course = subject.attribute(contenido::curso);
        const AnsiString code = subjectCode(catalogue, subject, run.state.languageChoice);
        if (code.empty() || course.empty()) continue;
        const auto groupsOfCourse = courses.find(groups.asStored("CLAVECURSO", course));
        if (groupsOfCourse == courses.end()) continue;
        for (formats::RecNo g : groupsOfCourse->second) {
            const formats::RecNo row = assignments.append();
            assignments.setText(row, "CASIG", code);
            assignments.setText(row, "CGRUP", groups.text(g, "ABREV"));
            assignments.setText(row, "CAULA", AnsiString());
            for (const char* field : {"TURNO", "NIVEL", "CURSO", "GRUPO", "CLAVE"}) {
                assignments.setText(row, field, groups.text(g, field));
            }
            assignments.setNumber(row, "HORAS", 4);
            assignments.setText(row, "SESIONES", AnsiString("1111"));
            run.writeCode(assignments, row, "CLAVECURSO", course);
            assignments.setText(row, "CTAREA", AnsiString("*479"));
            run.writeCode(assignments, row, "ASIG_ITACA", subject.attribute(contenido::codigo));
        }
    }
    catalogue.close();
    groups.close();
    assignments.close();
}

}  // namespace to_timetable
