// The timetable export run: from the solved timetable SOLUC back to an ITACA import document.
#pragma once

#include <filesystem>

#include "runs/dialogs.h"
#include "runs/main_window_state.h"
#include "runs/run_frame.h"

namespace to_itaca {

// BImportarClick: asks for the centre document the workspace was made from, lets the user choose the
// template, rebuilds DIASHORAST for it and writes the import document beside the centre document, as
// "ResultadoTavelino" followed by its file name. The rebuilt DIASHORAST and the document are committed
// together: a run that fails or is killed leaves the old ones, both.
runs::RunReport runTimetableExport(runs::MainWindowState& state, runs::Dialogs& dialogs,
                                   const std::filesystem::path& workFolder);

// The import document's path for a centre document.
std::filesystem::path importDocumentPath(const std::filesystem::path& centreDocument);

}  // namespace to_itaca
