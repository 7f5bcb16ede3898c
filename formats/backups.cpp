#include "formats/backups.h"

#include <algorithm>
#include <cstdio>

#include "formats/error.h"
#include "formats/files.h"

namespace formats {
namespace {

constexpr std::string_view kReplaced = "sustituido", kCreated = "creado";

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        parts.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
        if (tab == std::string_view::npos) return parts;
        at = tab + 1;
    }
}

// A run folder's place in time: its stamp, then its number within the second (1 without one).
std::pair<std::string, long> runOrder(const std::string& name) {
    const std::size_t dash = name.rfind('-');
    long number = 1;
    if (dash != std::string::npos && dash + 1 < name.size() &&
        name.find_first_not_of("0123456789", dash + 1) == std::string::npos && name.size() - dash < 9) {
        number = std::stol(name.substr(dash + 1));
    }
    return {name.substr(0, 19), number};
}

// A name that stays inside the folder it is joined to.
bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

}  // namespace

std::string backupListText(const std::vector<BackupEntry>& entries) {
    std::string text;
    for (const BackupEntry& e : entries) {
        text += std::string(e.replaced ? kReplaced : kCreated) + '\t' + utf8Of(e.where);
        if (e.replaced) text += '\t' + e.file;
        text += '\n';
    }
    return text;
}

std::vector<BackupEntry> readBackupList(const std::filesystem::path& runFolder) {
    const std::filesystem::path list = runFolder / kBackupList;
    if (!isPresent(list)) {
        throw Refusal("La copia \"" + shown(runFolder) + "\" está incompleta: le falta " +
                      std::string(kBackupList));
    }
    std::vector<BackupEntry> entries;
    const std::string text = readWholeFile(list);
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const auto parts = fields(std::string_view(text).substr(at, end - at));
        const bool replaced = parts[0] == kReplaced;
        // A file of the work folder is named by itself; only the import document has a whole path.
        const bool wellPlaced =
            parts.size() >= 2 && (isPlainName(parts[1]) || pathFromUtf8(parts[1]).is_absolute());
        if (wellPlaced && ((replaced && parts.size() == 3 && isPlainName(parts[2])) ||
                           (parts[0] == kCreated && parts.size() == 2))) {
            entries.push_back({replaced, pathFromUtf8(parts[1]), replaced ? std::string(parts[2]) : ""});
        } else if (!(parts.size() == 1 && parts[0].empty())) {
            throw Refusal("La lista \"" + shown(list) + "\" no es válida");
        }
    }
    return entries;
}

std::filesystem::path entryPath(const BackupEntry& entry, const std::filesystem::path& workFolder) {
    return entry.where.is_absolute() ? entry.where : workFolder / entry.where;
}

std::string newRunFolderName(const std::filesystem::path& backupsFolder, std::string_view run) {
    const DateTime t = localDateTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    // Runs of the same second are numbered across run names, so that the number orders them.
    const std::string prefix = std::string(stamp) + "-";
    std::size_t sameSecond = 0;
    if (isPresent(backupsFolder)) {
        for (const std::filesystem::path& entry : folderEntries(backupsFolder)) {
            sameSecond += entry.filename().string().rfind(prefix, 0) == 0 ? 1 : 0;
        }
    }
    const std::string name = prefix + std::string(run);
    return sameSecond == 0 ? name : name + "-" + std::to_string(sameSecond + 1);
}

std::vector<std::filesystem::path> runFolders(const std::filesystem::path& workFolder) {
    const std::filesystem::path folder = workFolder / kBackupsFolder;
    std::vector<std::filesystem::path> found;
    if (!isPresent(folder)) return found;
    for (const std::filesystem::path& entry : folderEntries(folder)) {
        std::error_code ec;
        if (entry.filename().string().front() != '.' && std::filesystem::is_directory(entry, ec)) {
            found.push_back(entry);
        }
    }
    std::sort(found.begin(), found.end(), [](const std::filesystem::path& a, const std::filesystem::path& b) {
        return runOrder(a.filename().string()) > runOrder(b.filename().string());
    });
    return found;
}

void removeOldBackups(const std::filesystem::path& workFolder) {
    const auto folders = runFolders(workFolder);
    for (std::size_t i = kBackupsKept; i < folders.size(); ++i) removeFolder(folders[i]);
}

}  // namespace formats
