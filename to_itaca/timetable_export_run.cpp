#include "to_itaca/timetable_export_run.h"
#include "formats/centre_document.h"
#include "formats/error.h"
#include "formats/files.h"
#include "runs/messages.h"
#include "runs/template_chooser.h"
#include "to_itaca/export_context.h"
#include "to_timetable/build_day_hour_grid.h"

namespace to_itaca {
namespace {

namespace centro = formats::centre::centro;
using runs::AnsiString;

// The solution table the timetable program writes; its layout is not ours.
constexpr std::string_view kSoluc = "SOLUC";
// The fields of SOLUC the sections read; a SOLUC without one of them is refused before anything else.
constexpr const char* kSolucFields[] = {"ASIG", "TAREA", "DIA", "HORA", "CODGRUPO", "PROF", "AULA"};

// The template chooser in export mode. The hours of SOLUC are positions in the grid of the template the
// tables were made for: another template is read only when the user confirms it.
void chooseTemplate(const formats::XmlDocument& document, runs::MainWindowState& state,
                    runs::Dialogs& dialogs, const formats::Workspace& workspace) {
    if (document.select(formats::centre::plantilla_horario::path).empty()) {
        throw formats::Refusal(runs::messages::kNoTemplates.toUtf8());
    }
    runs::TemplateChooser chooser(runs::ChooserMode::Export);
    runs::showChooser(chooser, document, state, dialogs, &workspace);
    const AnsiString& made = chooser.gridTemplate();
    if (!made.empty() && made != chooser.chosenCode() &&
        !dialogs.confirm(runs::Question::OtherTemplate,
                         runs::messages::otherTemplateQuestion(made, chooser.chosenCode()))) {
        throw runs::calledOff();
    }
    state.templateCode = chooser.chosenCode();
    state.sessionList = chooser.sessions();
}

ExportTables openTables(const formats::Workspace& workspace) {
    namespace tables = formats::tables;
    ExportTables t{workspace.open(kSoluc),
                   workspace.open(tables::GRUPOST().name),
                   workspace.open(tables::CURSOST().name),
                   workspace.open(tables::PROFT().name),
                   workspace.open(tables::AULAT().name),
                   workspace.open(tables::ASIGNOMT().name),
                   workspace.open(tables::DIASHORAST().name),
                   workspace.open(tables::ASIGT().name)};
    for (const char* field : kSolucFields) t.soluc.width(field);  // throws for a field SOLUC lacks
    return t;
}

void closeTables(ExportTables& t) {
    for (formats::DbfTable* table :
         {&t.soluc, &t.groups, &t.courses, &t.teachers, &t.rooms, &t.catalogue, &t.grid, &t.assignments}) {
        table->close();
    }
}

// The new root keeps four of the old root's attributes and takes the export time.
formats::XmlElement replaceRoot(formats::XmlDocument& document) {
    const formats::XmlElement old = *document.root();
    const AnsiString codigo = old.attribute(centro::codigo),
                     denominacion = old.attribute(centro::denominacion), curso = old.attribute(centro::curso),
                     version = old.attribute(centro::version);
    formats::XmlElement root = document.replaceRoot(centro::element);
    root.setAttribute(centro::codigo, codigo);
    root.setAttribute(centro::denominacion, denominacion);
    root.setAttribute(centro::curso, curso);
    root.setAttribute(centro::fecha_exportacion, AnsiString(runs::localTimeText()));
    root.setAttribute(centro::version, version);
    return root;
}

}  // namespace

std::filesystem::path importDocumentPath(const std::filesystem::path& centreDocument) {
    return centreDocument.parent_path() / ("ResultadoTavelino" + centreDocument.filename().string());
}

runs::RunReport runTimetableExport(runs::MainWindowState& state, runs::Dialogs& dialogs,
                                   const std::filesystem::path& workFolder) {
    return runs::inWorkspace(
        state, dialogs, workFolder, "importar", [&](formats::Workspace& workspace, runs::RunReport& report) {
            dialogs.inform(runs::messages::kOpenCentreDocumentFirst);
            runs::chooseCentreDocument(state, dialogs);
            runs::requireCentreDocument(state.centreDocumentPath,
                                        runs::messages::kNoCentreDocumentOrSolution);
            if (!workspace.find(kSoluc)) {
                throw formats::Refusal(runs::messages::kNoCentreDocumentOrSolution.toUtf8(),
                                       "No existe la tabla SOLUC en la carpeta de trabajo \"" +
                                           formats::shown(workspace.folder()) + "\".");
            }
            formats::XmlDocument document = runs::loadCentreDocument(
                state.centreDocumentPath,
                {centro::codigo, centro::denominacion, centro::curso, centro::version});
            chooseTemplate(document, state, dialogs, workspace);
            runs::RunContext run{document, state, workspace, dialogs};
            to_timetable::BuildDayHourGrid(run);
            dialogs.busy(true);
            ExportTables tables = openTables(workspace);
            const ItacaCodes codes(document);
            ExportContext exporting{tables, codes, state.templateCode, replaceRoot(document), {}, {}, 0};
            WriteGroupSessions(exporting);
            WriteOccupationSessions(exporting);
            report.details = exporting.reportLines();
            closeTables(tables);
            // The import document joins the commit of the rebuilt DIASHORAST: both appear, or neither.
            report.output = importDocumentPath(state.centreDocumentPath);
            document.save(workspace.stageFile(report.output));
        });
}

}  // namespace to_itaca
