#include "formats/centre_document.h"
#include "runs/lookups.h"
#include "to_itaca/export_context.h"

namespace to_itaca {

using runs::lookupNonEmpty;
namespace centre = formats::centre;
namespace line = formats::centre::horario_ocupacion;

void WriteOccupationSessions(ExportContext& run) {
    ExportTables& t = run.tables;
    formats::XmlElement section = run.root.appendElement(centre::horarios_ocupaciones::element);
    runs::Tally& rows = run.occupationRows;
    for (formats::RecNo row : t.soluc.rows()) {
        if (t.soluc.text(row, "ASIG") != t.soluc.text(row, "TAREA")) continue;  // a class row
        if (!isPlaced(t.soluc, row)) {
            rows.add("sin colocar (DIA u HORA vacíos)");
            continue;
        }
        const auto occupation = lookupNonEmpty(t.catalogue, {{"COD", t.soluc.text(row, "ASIG")}});
        if (!occupation) {
            rows.add("pasadas por alto, su ocupación no está en ASIGNOMT");
            continue;
        }
        const auto teacher = lookupNonEmpty(t.teachers, {{"ABREV", t.soluc.text(row, "PROF")}});
        if (!teacher) {
            rows.add("pasadas por alto, su profesor no está en PROFT");
            continue;
        }
        const auto session = lookupSession(t.grid, t.soluc, row);
        if (!session) {
            rows.add("pasadas por alto, su hora no está en DIASHORAST");
            continue;
        }
        rows.add("escritas");

        formats::XmlElement element = appendSession(section, line::element, run, row, *session);
        element.setAttribute(line::docente, itacaCode(run, t.teachers, *teacher, "DNI", run.codes.teachers));
        element.setAttribute(line::ensenanza,
                             itacaCode(run, t.teachers, *teacher, "ENSENANZA", run.codes.teachings));
        element.setAttribute(line::ocupacion,
                             itacaCode(run, t.catalogue, *occupation, "ABREV_ITACA", run.codes.occupations));
    }
}

}  // namespace to_itaca
