#include <cctype>

#include "formats/centre_document.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace centre = formats::centre;

// A course without parent is taken only when its abbreviation begins with a digit.
bool isTimetableCourse(const AnsiString& parent, const AnsiString& abbreviation) {
    return !parent.empty() || (!abbreviation.empty() && std::isdigit(abbreviation[0]));
}

AnsiString teachingAbbreviation(const FirstByAttribute& teachings, const AnsiString& teaching) {
    const auto found = teachings.find(teaching);
    return found ? found->attribute(centre::ensenanza::abreviatura) : AnsiString();
}

// The group's ITACA code, numbered when taken and kept to 10 characters (first 8 and last 2), numbered
// again from its first 8 characters should the shortened code be taken too.
AnsiString groupCode(const AnsiString& itacaCode, const StepCodeList& codes) {
    AnsiString code = itacaCode;
    if (codes.contains(code)) code = codes.numbered(code.size() >= 10 ? code.substr(0, 9) : code);
    if (code.size() > 10) {
        code = firstEightLastTwo(code);
        if (codes.contains(code)) code = codes.numbered(code.substr(0, 8));
    }
    return code;
}

void buildCourses(ConversionContext& run, const FirstByAttribute& teachings) {
    namespace curso = centre::curso;
    formats::DbfTable courses = run.workspace.create(formats::tables::CURSOST());
    for (const auto& course : run.document.select(curso::path)) {
        const AnsiString abbreviation = course.attribute(curso::abreviatura);
        if (!isTimetableCourse(course.attribute(curso::padre), abbreviation)) continue;
        const formats::RecNo row = courses.append();
        courses.setText(row, "ABREV", abbreviation.substr(0, 3));
        courses.setText(row, "TURNO", run.state.templateTurn);
        courses.setText(row, "NIVEL", teachingAbbreviation(teachings, course.attribute(curso::ensenanza)));
        courses.setText(row, "CURSO", abbreviation.substr(0, 1));
        run.writeCode(courses, row, "CLAVE", course.attribute(curso::codigo));
        courses.setText(row, "ESTUD", abbreviation);
    }
    courses.close();
}

void buildGroups(ConversionContext& run, const FirstByAttribute& teachings) {
    namespace grupo = centre::grupo;
    const FirstByAttribute courseOfGroup(run.document.select(centre::curso_grupo::path),
                                         centre::curso_grupo::grupo);
    formats::DbfTable teachers = run.workspace.open(formats::tables::PROFT().name);
    formats::DbfTable groups = run.workspace.create(formats::tables::GRUPOST());
    StepCodeList codes;
    for (const auto& group : run.document.select(grupo::path)) {
        const AnsiString itacaCode = group.attribute(grupo::codigo);
        const auto pair = courseOfGroup.find(itacaCode);
        const AnsiString tutorDocument = group.attribute(grupo::tutor_ppal).empty()
                                             ? group.attribute(grupo::tutor_sec)
                                             : group.attribute(grupo::tutor_ppal);
        const auto tutor = lookupNonEmpty(teachers, {{"DNI", tutorDocument}});
        const AnsiString code = groupCode(itacaCode, codes);
        codes.add(code);

        const formats::RecNo row = groups.append();
        groups.setText(row, "ABREV", code);
        groups.setText(row, "TURNO", group.attribute(grupo::turno));
        groups.setText(row, "NIVEL", teachingAbbreviation(teachings, group.attribute(grupo::ensenanza)));
        groups.setText(row, "CURSO", itacaCode.substr(0, 1));
        groups.setText(row, "GRUPO",
                       itacaCode.empty() ? AnsiString() : itacaCode.substr(itacaCode.size() - 1));
        run.writeCode(groups, row, "CLAVE", itacaCode);
        run.writeCode(groups, row, "CLAVECURSO",
                      pair ? pair->attribute(centre::curso_grupo::curso) : AnsiString());
        groups.setText(row, "DESCRIP", group.attribute(grupo::nombre));
        run.writeCode(groups, row, "ENSENANZA", group.attribute(grupo::ensenanza));
        groups.setText(row, "TUTOR", tutor ? teachers.text(*tutor, "ABREV") : AnsiString());
    }
    groups.close();
    teachers.close();
}

}  // namespace

void BuildCoursesAndGroups(ConversionContext& run) {
    const FirstByAttribute teachings(run.document.select(centre::ensenanza::path),
                                     centre::ensenanza::ensenanza);
    buildCourses(run, teachings);
    buildGroups(run, teachings);
}

}  // namespace to_timetable
