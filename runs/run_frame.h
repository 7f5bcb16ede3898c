// What both runs share: the context their steps work on, how a run reports its end, and the frame
// around the steps (the centre document check, the end messages, the result flag).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "formats/error.h"
#include "formats/workspace.h"
#include "formats/xml.h"
#include "runs/dialogs.h"
#include "runs/main_window_state.h"
#include "runs/template_chooser.h"

namespace runs {

// The run document, the main window state, the work folder and the person at the screen: what every
// step of a run works on.
struct RunContext {
    const formats::XmlDocument& document;
    MainWindowState& state;
    formats::Workspace& workspace;
    Dialogs& dialogs;
};

struct TableRows {
    std::string table;
    std::size_t rows;
};

// How a run ended and what it did: what the batch tool prints and the report ("informe.txt") says.
struct RunReport {
    RunOutcome outcome = RunOutcome::Failed;
    std::vector<TableRows> tablesWritten;  // the workspace tables the run replaced, in commit order
    std::filesystem::path output;          // the import document, when the run wrote one
    std::vector<std::string> details;      // the run's own lines of the report (UTF-8)
    std::filesystem::path backup;          // the run folder of the backup of a finished run
    std::string text;                      // the report of a finished run, as written
};

// The local time as ITACA writes it, whatever the regional settings: "dd/MM/yyyy HH:mm:ss".
std::string localTimeText();

// The report of a finished run, in Spanish: what it wrote, its own details, where its backup is.
std::string reportText(std::string_view run, const RunReport& report);

// Step 1 of both runs: the open dialog; a cancelled dialog leaves the path as it was.
void chooseCentreDocument(MainWindowState& state, Dialogs& dialogs);

// Loads the centre document, refusing (formats::Refusal) with a message naming the file and the reason a
// file that is not well-formed or whose root is not `centro`, or lacks one of `requiredRootAttributes`.
formats::XmlDocument loadCentreDocument(const std::filesystem::path& path,
                                        const std::vector<std::string_view>& requiredRootAttributes = {});

// The frame of a run. The run first takes the work folder (its lock, and the repair of what a run that was
// cut short left there), before anything else, refusals included. `body` then does the run's work on the
// workspace, and throws formats::Refusal for input that is missing or refused, or when the user calls
// the run off. A refusal ends the run with its message (result flag -1 in embedded mode).
// After the body, the staged files are committed and the run ends finished; an error ends it with the
// error box. Either way the work folder is left as it was, unless the commit was made.
template <typename Body>
RunReport inWorkspace(MainWindowState& state, Dialogs& dialogs, const std::filesystem::path& workFolder,
                      std::string_view run, Body body);

// The rows of every table the run has staged, for its report.
std::vector<TableRows> stagedTableRows(const formats::Workspace& workspace);

// A refusal whose reason the user has already seen or given (a question answered "No", a chooser closed
// without a template): the run ends refused without a further message.
formats::Refusal calledOff();

// Activates the chooser on the run's document (in export mode with the workspace's DIASHORAST), lets the
// face confirm it and finishes it; a face that calls the run off ends it refused.
void showChooser(TemplateChooser& chooser, const formats::XmlDocument& document, const MainWindowState& state,
                 Dialogs& dialogs, const formats::Workspace* workspace);

// The end of a run whose input is missing or refused: the message (when it has one), and result flag -1
// in embedded mode.
RunReport endWithMissingInput(MainWindowState& state, Dialogs& dialogs, const AnsiString& message,
                              const std::string& details = {});
// Refuses (with `message`, and the path and what is wrong as details) a centre document that is not a
// file that can be read.
void requireCentreDocument(const std::filesystem::path& path, const AnsiString& message);
// The end of a run that raised: the normal cursor back and the error box; the state keeps its values.
RunReport endWithError(Dialogs& dialogs, const std::exception& error);
// The end of a finished run: result flag 1, "Proceso finalizado", both direction buttons disabled.
void endFinished(MainWindowState& state, Dialogs& dialogs, RunReport& report);

template <typename Body>
RunReport inWorkspace(MainWindowState& state, Dialogs& dialogs, const std::filesystem::path& workFolder,
                      std::string_view run, Body body) {
    RunReport report;
    try {
        formats::Workspace workspace(workFolder);
        body(workspace, report);
        report.tablesWritten = stagedTableRows(workspace);
        workspace.commit({std::string(run), [&](const std::filesystem::path& backup) {
                              report.backup = backup;
                              report.text = reportText(run, report);
                              return report.text;
                          }});
        dialogs.busy(false);
    } catch (const formats::Refusal& refused) {
        return endWithMissingInput(state, dialogs, AnsiString::fromUtf8(refused.what()), refused.details());
    } catch (const std::exception& error) {
        return endWithError(dialogs, error);
    }
    endFinished(state, dialogs, report);
    return report;
}

}  // namespace runs
