#include "to_timetable/conversion_run.h"

#include "formats/centre_document.h"
#include "formats/error.h"
#include "runs/template_chooser.h"
#include "to_timetable/steps.h"

namespace to_timetable {
namespace {

using runs::AnsiString;
namespace centre = formats::centre;

// Shows the chooser when the document has at least one template and takes over its results; false
// when the face called the run off.
bool chooseTemplate(const formats::XmlDocument& document, runs::MainWindowState& state,
                    runs::Dialogs& dialogs) {
    runs::TemplateChooser chooser(runs::ChooserMode::Normal);
    chooser.activate(document, state.languageChoice, nullptr);
    const bool chosen = dialogs.chooseTemplate(chooser);
    chooser.finish();
    if (!chosen) return false;
    state.templateCode = chooser.chosenCode();
    state.languageChoice = chooser.languageText();
    state.templateTurn = chooser.chosenTurn();
    state.sessionList = chooser.sessions();
    return true;
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
            std::error_code ec;
            if (!std::filesystem::is_regular_file(state.centreDocumentPath, ec)) {
                throw formats::Refusal("No existe archivo");
            }
            const formats::XmlDocument document = runs::loadCentreDocument(state.centreDocumentPath);
            if (!document.select(centre::plantilla_horario::path).empty() &&
                !chooseTemplate(document, state, dialogs)) {
                return false;
            }
            dialogs.busy(true);
            ConversionContext run(runs::RunContext{document, state, workspace, dialogs});
            runSteps(run);
            report.details = run.reportLines();
            return true;
        });
}

}  // namespace to_timetable
