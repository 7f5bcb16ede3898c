// The backups a finished run keeps in the work folder: one run folder each, under
// "CopiasTransTavelinoItaca", holding the files the run replaced or removed, its report "informe.txt" and
// the list "copia.txt" of what it replaced and what it created, written last.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

inline constexpr std::string_view kBackupsFolder = "CopiasTransTavelinoItaca";
inline constexpr std::string_view kBackupList = "copia.txt";
inline constexpr std::string_view kRunReport = "informe.txt";
// How many run folders are kept; older ones are removed after each finished run.
inline constexpr std::size_t kBackupsKept = 10;

// One file that a run replaced (kept in its run folder as `file`) or created (nothing to keep). `where`
// is the file's name in the work folder, or its whole path for a file outside it (the import document).
struct BackupEntry {
    bool replaced;
    std::filesystem::path where;
    std::string file;
};

std::string backupListText(const std::vector<BackupEntry>& entries);
// The entries of a run folder's list; an error naming the folder when it has none or cannot be read.
std::vector<BackupEntry> readBackupList(const std::filesystem::path& runFolder);
// The path an entry stands for.
std::filesystem::path entryPath(const BackupEntry& entry, const std::filesystem::path& workFolder);

// A new run folder's name: "<yyyy-mm-dd_hh-mm-ss>-<run>", and "-2", "-3"... after it when a folder of
// that name exists.
std::string newRunFolderName(const std::filesystem::path& backupsFolder, std::string_view run);
// The run folders in the backups folder, newest first.
std::vector<std::filesystem::path> runFolders(const std::filesystem::path& workFolder);
// Removes the run folders beyond the newest kBackupsKept.
void removeOldBackups(const std::filesystem::path& workFolder);

}  // namespace formats
