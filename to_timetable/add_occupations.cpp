#include "formats/centre_document.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

namespace ocupacion = formats::centre::ocupacion;

// "*" followed by the last three characters of the ITACA code (the whole code when shorter); when that
// is taken, the first three characters followed by "A", "B", ... up to character 255, then by 1, 2, ...
AnsiString taskCode(const AnsiString& itacaCode, const std::set<AnsiString>& codeList) {
    const AnsiString tail = itacaCode.size() < 3 ? itacaCode : itacaCode.substr(itacaCode.size() - 3);
    const AnsiString code = AnsiString("*") + tail;
    if (!codeList.count(code)) return code;
    const AnsiString base = code.substr(0, 3);
    for (int c = 'A'; c <= 255; ++c) {
        AnsiString candidate = base + AnsiString(std::string(1, static_cast<char>(c)));
        if (!codeList.count(candidate)) return candidate;
    }
    for (long long n = 1;; ++n) {
        AnsiString candidate = base + AnsiString(std::to_string(n));
        if (!codeList.count(candidate)) return candidate;
    }
}

}  // namespace

void AddOccupations(ConversionContext& run) {
    formats::DbfTable catalogue = run.workspace.open(formats::tables::ASIGNOMT().name);
    for (const auto& occupation : run.document.select(ocupacion::path)) {
        const AnsiString itacaCode = occupation.attribute(ocupacion::codigo);
        const AnsiString name = nameInLanguage(occupation, run.state.languageChoice, ocupacion::nombre_val,
                                               ocupacion::nombre_cas);
        if (!run.nameList.insert(name).second) continue;
        const AnsiString code = taskCode(itacaCode, run.codeList);
        run.codeList.insert(code);

        const formats::RecNo row = catalogue.append();
        catalogue.setText(row, "COD", code);
        catalogue.setText(row, "CODLARGO", name.substr(0, 8));
        catalogue.setText(row, "NOMBRE", name);
        run.writeCode(catalogue, row, "CODTAREA", itacaCode);
        catalogue.setBoolean(row, "ESTAREA", true);
        run.writeCode(catalogue, row, "ABREV_ITACA", itacaCode);
    }
    catalogue.close();
    run.codeList.clear();
    run.nameList.clear();
}

}  // namespace to_timetable
