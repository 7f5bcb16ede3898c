#include "to_timetable/conversion_run.h"

#include "formats/centre_document.h"
#include "formats/error.h"
#include "runs/messages.h"
#include "runs/template_chooser.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

using runs::AnsiString;
namespace centre = formats::centre;

// A partial export of ITACA (one ticked set of sections) would replace every table of the timetable
// program by a near-empty one: the user confirms it first, or the run is refused.
void confirmCompleteDocument(const formats::XmlDocument& document, runs::Dialogs& dialogs) {
    const std::pair<std::string_view, const char*> sections[] = {
        {centre::plantilla_horario::path, "plantillas horarias"},
        {centre::contenido::path, "materias"},
        {centre::docente::path, "profesorado"},
        {centre::grupo::path, "grupos"}};
    std::string missing;
    for (const auto& [path, name] : sections) {
        if (document.select(path).empty()) missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
    if (missing.empty()) return;
    if (!dialogs.confirm(runs::Question::IncompleteDocument,
                         runs::messages::incompleteDocumentQuestion(missing))) {
        throw runs::calledOff();
    }
}

// Shows the chooser when the document has at least one template and takes over its results.
void chooseTemplate(const formats::XmlDocument& document, runs::MainWindowState& state,
                    runs::Dialogs& dialogs) {
    if (document.select(centre::plantilla_horario::path).empty()) return;
    runs::TemplateChooser chooser(runs::ChooserMode::Normal);
    runs::showChooser(chooser, document, state, dialogs, nullptr);
    state.templateCode = chooser.chosenCode();
    state.languageChoice = chooser.languageText();
    state.templateTurn = chooser.chosenTurn();
    state.sessionList = chooser.sessions();
}

void runSteps(ConversionContext& run) {
    BuildSubjectCatalogue(run);
    AddOccupations(run);
    BuildTeachers(run);
    BuildRooms(run);
    BuildCoursesAndGroups(run);
    BuildAssignments(run);
    ApplyGroupTimetable(run);
    ApplyOccupationTimetable(run);
    PruneGroupsAndTeachers(run);
    BuildDayHourGrid(run);
}

}  // namespace

runs::RunReport runConversion(runs::MainWindowState& state, runs::Dialogs& dialogs,
                              const std::filesystem::path& workFolder) {
    return runs::inWorkspace(
        state, dialogs, workFolder, "exportar", [&](formats::Workspace& workspace, runs::RunReport& report) {
            runs::chooseCentreDocument(state, dialogs);
            runs::requireCentreDocument(state.centreDocumentPath, runs::messages::kNoFile);
            const formats::XmlDocument document = runs::loadCentreDocument(state.centreDocumentPath);
            confirmCompleteDocument(document, dialogs);
            chooseTemplate(document, state, dialogs);
            dialogs.busy(true);
            ConversionContext run(runs::RunContext{document, state, workspace, dialogs});
            runSteps(run);
            report.details = run.reportLines();
        });
}

}  // namespace to_timetable
