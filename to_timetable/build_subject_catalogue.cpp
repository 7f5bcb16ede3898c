#include "formats/centre_document.h"
#include "to_timetable/step_helpers.h"
#include "to_timetable/steps.h"

namespace to_timetable {

namespace contenido = formats::centre::contenido;

void BuildSubjectCatalogue(ConversionContext& run) {
    formats::DbfTable catalogue = run.workspace.create(formats::tables::ASIGNOMT());
    for (const auto& subject : run.document.select(contenido::path)) {
        const AnsiString itacaCode = subject.attribute(contenido::codigo);
        const AnsiString name =
            nameInLanguage(subject, run.state.languageChoice, contenido::nombre_val, contenido::nombre_cas);
        AnsiString working = itacaCode;
        const bool itacaCodeTaken = run.codeList.count(itacaCode) != 0;
        if (run.nameList.insert(name).second && working.size() > 10) working = firstEightLastTwo(working);
        // The code list holds codes as COD stores them, so that COD stays unique.
        const AnsiString stored = working.substr(0, 10);
        if (itacaCodeTaken || run.codeList.count(stored)) continue;
        run.codeList.insert(stored);

        const formats::RecNo row = catalogue.append();
        catalogue.setText(row, "COD", stored);
        catalogue.setText(row, "CODLARGO", name.substr(0, 10));
        catalogue.setText(row, "NOMBRE", name);
        catalogue.setBoolean(row, "ESTAREA", false);
        run.writeCode(catalogue, row, "ABREV_ITACA", itacaCode);
    }
    catalogue.close();
}

}  // namespace to_timetable
