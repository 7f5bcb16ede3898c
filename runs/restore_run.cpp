#include "runs/restore_run.h"

#include <algorithm>

#include "formats/backups.h"
#include "formats/error.h"
#include "formats/files.h"

namespace runs {
namespace {

namespace fs = std::filesystem;

fs::path chosenBackup(const fs::path& workFolder, const std::optional<std::string>& name) {
    const std::vector<fs::path> folders = formats::runFolders(workFolder);
    if (folders.empty()) {
        throw formats::Refusal("No hay ninguna copia en \"" +
                               formats::shown(workFolder / formats::kBackupsFolder) + "\"");
    }
    if (!name) return folders.front();
    const auto found = std::find_if(folders.begin(), folders.end(), [&](const fs::path& f) {
        return f.filename() == formats::pathFromUtf8(*name);
    });
    if (found != folders.end()) return *found;
    std::string names;
    for (const fs::path& f : folders) names += "\n  " + formats::shown(f.filename());
    throw formats::Refusal("No existe la copia \"" + *name + "\". Las copias son:" + names);
}

}  // namespace

RunReport runRestore(MainWindowState& state, Dialogs& dialogs, const fs::path& workFolder,
                     const std::optional<std::string>& backup) {
    return inWorkspace(state, dialogs, workFolder, "restaurar",
                       [&](formats::Workspace& workspace, RunReport& report) {
                           const fs::path folder = chosenBackup(workspace.folder(), backup);
                           report.details.push_back("Copia restaurada: " + formats::shown(folder));
                           for (const formats::BackupEntry& entry : formats::readBackupList(folder)) {
                               const fs::path target = formats::entryPath(entry, workspace.folder());
                               if (entry.replaced) {
                                   formats::writeFile(workspace.stageFile(target),
                                                      formats::readWholeFile(folder / entry.file));
                                   report.details.push_back("  devuelto: " + formats::shown(entry.where));
                               } else {
                                   workspace.removeAtCommit(target);
                                   report.details.push_back("  quitado: " + formats::shown(entry.where));
                               }
                           }
                       });
}

std::string backupListing(const fs::path& workFolder) {
    std::string text;
    const auto found = formats::findWorkFolder(workFolder);
    if (!found) return text;
    for (const fs::path& folder : formats::runFolders(*found)) {
        text += formats::shown(folder.filename());
        for (const fs::path& file : formats::folderEntries(folder))
            text += "  " + formats::shown(file.filename());
        text += "\n";
    }
    return text;
}

}  // namespace runs
