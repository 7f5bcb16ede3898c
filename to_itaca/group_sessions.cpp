#include "formats/centre_document.h"
#include "runs/lookups.h"
#include "to_itaca/export_context.h"

namespace to_itaca {

using runs::lookupNonEmpty;
namespace centre = formats::centre;
namespace line = formats::centre::horario_grupo;

void WriteGroupSessions(ExportContext& run) {
    ExportTables& t = run.tables;
    formats::XmlElement section = run.root.appendElement(centre::horarios_grupo::element);
    runs::Tally& rows = run.classRows;
    for (formats::RecNo row : t.soluc.rows()) {
        if (t.soluc.text(row, "ASIG") == t.soluc.text(row, "TAREA")) continue;  // an occupation row
        if (!isPlaced(t.soluc, row)) {
            rows.add("sin colocar (DIA u HORA vacíos)");
            continue;
        }
        const auto group = lookupNonEmpty(t.groups, {{"ABREV", t.soluc.text(row, "CODGRUPO")}});
        if (!group) {
            rows.add("pasadas por alto, su grupo no está en GRUPOST");
            continue;
        }
        const auto subject = lookupNonEmpty(t.catalogue, {{"COD", t.soluc.text(row, "ASIG")}});
        if (!subject) {
            rows.add("pasadas por alto, su materia no está en ASIGNOMT");
            continue;
        }
        const auto teacher = lookupNonEmpty(t.teachers, {{"ABREV", t.soluc.text(row, "PROF")}});
        const auto room = lookupNonEmpty(t.rooms, {{"ABREV", t.soluc.text(row, "AULA")}});
        const auto session = lookupSession(t.grid, t.soluc, row);
        if (!session) {
            rows.add("pasadas por alto, su hora no está en DIASHORAST");
            continue;
        }
        rows.add("escritas");
        if (!teacher) rows.add("escritas sin docente (su profesor no está en PROFT)");
        if (!room) rows.add("escritas sin aula (su aula no está en AULAT)");

        formats::XmlElement element = appendSession(section, line::element, run, row, *session);
        element.setAttribute(line::grupo, itacaCode(run, t.groups, *group, "CLAVE", run.codes.groups));
        element.setAttribute(line::ensenanza,
                             itacaCode(run, t.groups, *group, "ENSENANZA", run.codes.teachings));
        element.setAttribute(line::curso, itacaCode(run, t.groups, *group, "CLAVECURSO", run.codes.courses));
        element.setAttribute(line::contenido,
                             itacaCode(run, t.catalogue, *subject, "ABREV_ITACA", run.codes.contents));
        element.setAttribute(
            line::docente,
            teacher ? itacaCode(run, t.teachers, *teacher, "DNI", run.codes.teachers) : AnsiString());
        element.setAttribute(
            "aula", room ? itacaCode(run, t.rooms, *room, "ABREV_ITACA", run.codes.rooms) : AnsiString());
        element.setAttribute(line::idioma, AnsiString());
    }
}

}  // namespace to_itaca
