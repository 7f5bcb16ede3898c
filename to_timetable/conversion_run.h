// The conversion run: from an ITACA centre document to the timetable program's workspace tables.
#pragma once

#include <filesystem>

#include "runs/dialogs.h"
#include "runs/main_window_state.h"
#include "runs/run_frame.h"

namespace to_timetable {

// BExportarClick: asks for the centre document, lets the user choose a template, runs the ten steps
// and commits the tables they wrote. A run that fails leaves the work folder as it was.
runs::RunReport runConversion(runs::MainWindowState& state, runs::Dialogs& dialogs,
                              const std::filesystem::path& workFolder);

}  // namespace to_timetable
