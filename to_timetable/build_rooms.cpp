#include "formats/centre_document.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace aula = formats::centre::aula;

// The room's ITACA code, or the start of its name; numbered when taken, and kept to 10 characters.
AnsiString roomCode(const AnsiString& itacaCode, const AnsiString& name, const StepCodeList& codes) {
    AnsiString code = itacaCode.empty() ? name.substr(0, 4) : itacaCode;
    if (codes.contains(code)) code = codes.numbered(code.size() > 10 ? code.substr(0, 9) : code);
    if (code.size() > 10) code = codes.numbered(code.substr(0, 8));
    return code;
}

}  // namespace

void BuildRooms(ConversionContext& run) {
    StepCodeList codes;
    formats::DbfTable rooms = run.workspace.create(formats::tables::AULAT());
    for (const auto& room : run.document.select(aula::path)) {
        const AnsiString name = room.attribute(aula::nombre);
        const AnsiString itacaCode = room.attribute(aula::codigo);
        const AnsiString code = roomCode(itacaCode, name, codes);
        codes.add(code);

        const formats::RecNo row = rooms.append();
        rooms.setText(row, "ABREV", code);
        rooms.setText(row, "NOMBRE", name);
        run.writeCode(rooms, row, "ABREV_ITACA", itacaCode);
    }
    rooms.close();
}

}  // namespace to_timetable
