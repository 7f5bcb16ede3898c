// Putting a backup back: the files a finished run replaced return, the tables it created go, through the
// same staged commit as the runs (so a restore keeps a backup of its own and can be undone in turn).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "runs/run_frame.h"

namespace runs {

// Restores the backup run folder named `backup`, or the newest when none is named. No backup at all, an
// unknown name (the names follow in the message) or a run folder without its list is refused.
RunReport runRestore(MainWindowState& state, Dialogs& dialogs, const std::filesystem::path& workFolder,
                     const std::optional<std::string>& backup);

// One line per backup, newest first: its name, then the files it holds.
std::string backupListing(const std::filesystem::path& workFolder);

}  // namespace runs
