#include "formats/centre_document.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {

namespace docente = formats::centre::docente;

void BuildTeachers(ConversionContext& run) {
    StepCodeList codes;
    formats::DbfTable teachers = run.workspace.create(formats::tables::PROFT());
    for (const auto& teacher : run.document.select(docente::path)) {
        const AnsiString surname1 = teacher.attribute(docente::apellido1);
        const AnsiString surname2 = teacher.attribute(docente::apellido2);
        const AnsiString givenName = teacher.attribute(docente::nombre);
        const AnsiString initials = surname1.substr(0, 1) + surname2.substr(0, 1) + givenName.substr(0, 1);
        const AnsiString code = codes.contains(initials) ? codes.numbered(initials) : initials;
        codes.add(code);

        const formats::RecNo row = teachers.append();
        teachers.setText(row, "ABREV", code);
        teachers.setText(row, "NOMBRE", surname1 + AnsiString(" ") + surname2 + AnsiString(", ") + givenName);
        run.writeCode(teachers, row, "DNI", teacher.attribute(docente::documento));
        teachers.setText(row, "F_TOMAPOS", teacher.attribute(docente::fecha_ingreso));
        run.writeCode(teachers, row, "ENSENANZA", teacher.attribute(docente::ensenanza));
    }
    teachers.close();
}

}  // namespace to_timetable
