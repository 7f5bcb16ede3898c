#include "formats/workspace.h"

#include <algorithm>
#include <set>

#include "formats/backups.h"
#include "formats/error.h"
#include "formats/files.h"

namespace formats {
namespace {

// What a run leaves in the work folder while it works: its lock file, its staging folder
// ".transtavelinoitaca-<pid>", and during a commit the replaced files as "<file>.old-<pid>". The staging
// folder holds the staged tables, the list of the staged files that live outside it, the commit's plan
// (every rename, written before the first) and, once every rename is made, its "done" mark. The done mark
// is the commit point, once its folder is flushed: without it a later run undoes the renames of the plan,
// with it the commit is finished forward. The clean-up after the commit point removes the replaced files and
// then the plan, so no kill ever leaves a plan without its done mark behind a finished commit.
constexpr std::string_view kLockFile = ".transtavelinoitaca.lock";
constexpr std::string_view kStagingPrefix = ".transtavelinoitaca-";
constexpr std::string_view kOldInfix = ".old-";
constexpr std::string_view kTempInfix = ".tmp-";
constexpr std::string_view kPlanFile = "commit-plan";
constexpr std::string_view kDoneFile = "commit-done";
constexpr std::string_view kStagedFilesList = "staged-files";

// One rename of a commit: a file moved aside (to "<file>.old-<pid>") or a staged file moved into place.
struct Move {
    bool aside;
    fs::path from, to;
};

std::optional<long> pidAfter(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long pid = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// The process id after the last `infix` of a file name, when the name ends so.
std::optional<long> pidAfterInfix(const std::string& name, std::string_view infix) {
    const std::size_t at = name.rfind(infix);
    if (at == std::string::npos) return std::nullopt;
    return pidAfter(std::string_view(name).substr(at + infix.size()));
}

std::string withPid(std::string_view infix, long pid) {
    return std::string(infix) + std::to_string(pid);
}

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// Lists of paths are stored as UTF-8, each followed by a zero byte (which no path holds).
std::string encodePaths(const std::vector<fs::path>& paths) {
    std::string bytes;
    for (const fs::path& p : paths) bytes += utf8Of(p) + '\0';
    return bytes;
}

std::vector<fs::path> readPaths(const fs::path& file) {
    std::vector<fs::path> paths;
    if (!isPresent(file)) return paths;
    const std::string bytes = readWholeFile(file);
    for (std::size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1) {
        paths.push_back(pathFromUtf8(std::string_view(bytes).substr(at, end - at)));
    }
    return paths;
}

// The plan: for each move, "A" (aside) or "I" (into place), then its two paths.
std::string encodePlan(const std::vector<Move>& moves) {
    std::vector<fs::path> parts;
    for (const Move& m : moves) {
        parts.push_back(m.aside ? "A" : "I");
        parts.push_back(m.from);
        parts.push_back(m.to);
    }
    return encodePaths(parts);
}

std::vector<Move> readPlan(const fs::path& staging) {
    const std::vector<fs::path> parts = readPaths(staging / kPlanFile);
    std::vector<Move> moves;
    for (std::size_t i = 0; i + 3 <= parts.size(); i += 3) {
        moves.push_back({parts[i] == "A", parts[i + 1], parts[i + 2]});
    }
    return moves;
}

// Undoes the renames of a plan as far as they went, last first. A file is only ever renamed back, never
// removed: the staged tables go back into the staging folder, the replaced files get their names again.
void rollBack(const std::vector<Move>& moves) {
    for (auto m = moves.rbegin(); m != moves.rend(); ++m) {
        if (!isPresent(m->from) && isPresent(m->to)) renameFile(m->to, m->from);
    }
}

// Removes a staging folder whose files were never committed, or were put back: the plan first, so that
// a kill halfway never leaves a plan to undo, then the staged files that live outside it, then the rest.
void discardStaging(const fs::path& staging) {
    removeFile(staging / kPlanFile);
    for (const fs::path& staged : readPaths(staging / kStagedFilesList)) removeFolder(staged);
    removeFolder(staging);
}

// The clean-up after the commit point: the replaced files go (their backup is in place), then the list
// of what a discard would remove, then the plan, then the done mark.
void finishForward(const std::vector<Move>& moves, const fs::path& staging) {
    for (const Move& m : moves) {
        if (m.aside) removeFile(m.to);
    }
    removeFile(staging / kStagedFilesList);
    removeFile(staging / kPlanFile);
    removeFile(staging / kDoneFile);
    removeFolder(staging);
}

void recoverStaging(const fs::path& staging) {
    const std::vector<Move> moves = readPlan(staging);
    if (isPresent(staging / kDoneFile)) return finishForward(moves, staging);
    rollBack(moves);
    discardStaging(staging);
}

// Replaced files whose staging folder is gone: the commit had ended, unless the file was never put back.
void recoverOrphan(const fs::path& old, long pid) {
    const std::string name = old.filename().string();
    const fs::path target = old.parent_path() / name.substr(0, name.size() - withPid(kOldInfix, pid).size());
    if (isPresent(target)) {
        removeFile(old);
    } else {
        renameFile(old, target);
    }
}

bool isTableFile(std::string_view name) {
    const std::string lower = asciiLower(name);
    return endsWith(lower, ".dbf") || endsWith(lower, ".mdx");
}

// Puts right what runs that were cut short left in the work folder. Only one run holds the folder at a
// time, so whatever a run left here, of this process or another, belongs to no run in progress.
void recoverFolder(const fs::path& folder) {
    for (const fs::path& entry : folderEntries(folder)) {
        const std::string name = entry.filename().string();
        if (name.rfind(kStagingPrefix, 0) == 0 &&
            pidAfter(std::string_view(name).substr(kStagingPrefix.size())))
            recoverStaging(entry);
    }
    for (const fs::path& entry : folderEntries(folder)) {
        const std::string name = entry.filename().string();
        if (const auto pid = pidAfterInfix(name, kOldInfix);
            pid && isTableFile(name.substr(0, name.rfind(kOldInfix)))) {
            recoverOrphan(entry, *pid);
        } else if (const auto writer = pidAfterInfix(name, kTempInfix);
                   writer && (*writer == currentProcessId() || !processIsAlive(*writer))) {
            removeFolder(entry);
        }
    }
}

// A staged table is named in messages by the place it will take in the work folder.
fs::path shownPlace(const fs::path& table, const fs::path& folder) {
    return table.parent_path() == folder ? table : folder / table.filename();
}

fs::path resolveFolder(const fs::path& path) {
    if (auto found = findWorkFolder(path)) return *found;
    if (isPresent(path)) throw Refusal("La carpeta de trabajo \"" + shown(path) + "\" no es una carpeta");
    throw Refusal("No existe la carpeta de trabajo \"" + shown(path) + "\"");
}

}  // namespace

std::optional<fs::path> findWorkFolder(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return path;
    const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (auto found = findCaseInsensitive(parent, path.filename().string());
        found && fs::is_directory(*found, ec)) {
        return *found;
    }
    return std::nullopt;
}

fs::path defaultWorkFolder(const std::optional<std::string>& winePrefix, const fs::path& home) {
#ifdef _WIN32
    (void)winePrefix;
    (void)home;
    return fs::path("C:\\TTEMP");
#else
    const fs::path prefix = winePrefix && !winePrefix->empty() ? fs::path(*winePrefix) : home / ".wine";
    const fs::path devices = prefix / "dosdevices";
    std::error_code ec;
    fs::path drive = prefix / "drive_c";
    const fs::path link = fs::read_symlink(devices / "c:", ec);
    if (!ec) drive = link.is_absolute() ? link : devices / link;
    return findCaseInsensitive(drive, "TTEMP").value_or(drive / "TTEMP");
#endif
}

Workspace::Workspace(const fs::path& workFolder) : folder_(resolveFolder(workFolder)) {
    try {
        lock_.emplace(folder_ / kLockFile);
    } catch (const OwnedLockFile::Held& held) {
        throw Refusal("La carpeta de trabajo está en uso por otra conversión (proceso " +
                      (held.holder.empty() ? std::string("desconocido") : held.holder) + ").");
    }
    recoverFolder(folder_);
    staging_ = folder_ / withPid(kStagingPrefix, currentProcessId());
}

Workspace::~Workspace() {
    if (committed_ || keepForRecovery_) return;
    try {
        if (isPresent(staging_)) discardStaging(staging_);
    } catch (...) {
        // What is left is only staged, never in place: the next run removes it.
    }
}

void Workspace::makeStagingFolder() {
    if (!isPresent(staging_)) createFolder(staging_);
}

// A file or folder that this run writes outside its staging folder, listed before it is written: until
// the commit point, discarding the run (now or by a later run) removes it.
void Workspace::listDiscardable(const fs::path& path) {
    makeStagingFolder();
    discardable_.push_back(path);
    // Replaced whole, so that a kill while writing it never loses what it listed before.
    writeFileAtomically(staging_ / kStagedFilesList, encodePaths(discardable_), Flush::No);
}

DbfTable Workspace::create(const TableLayout& layout) {
    makeStagingFolder();
    const std::string file = std::string(layout.name) + ".DBF";
    const fs::path staged = staging_ / file;
    if (std::none_of(staged_.begin(), staged_.end(), [&](const Staged& s) { return s.staged == staged; })) {
        staged_.push_back({staged, folder_ / file, true});
    }
    return DbfTable::create(staged, layout.fields, folder_ / file);
}

std::optional<fs::path> Workspace::find(std::string_view tableName) const {
    const std::string file = std::string(tableName) + ".DBF";
    if (isPresent(staging_ / file)) return staging_ / file;
    return findCaseInsensitive(folder_, file);
}

DbfTable Workspace::open(std::string_view tableName) const {
    const auto path = find(tableName);
    if (!path) {
        throw Error("No existe la tabla " + std::string(tableName) + " en la carpeta de trabajo \"" +
                    shown(folder_) + "\"");
    }
    return DbfTable::open(*path, shownPlace(*path, folder_));
}

std::vector<std::string> Workspace::stagedTables() const {
    std::vector<std::string> tables;
    for (const Staged& s : staged_) {
        if (s.table) tables.push_back(s.target.stem().string());
    }
    return tables;
}

fs::path Workspace::stageFile(const fs::path& target) {
    fs::path temp = target;
    temp += withPid(kTempInfix, currentProcessId());
    listDiscardable(temp);
    staged_.push_back({temp, target, false});
    return temp;
}

void Workspace::removeAtCommit(const fs::path& target) {
    staged_.push_back({{}, target, false});
}

// The backup of a commit: what it replaces, kept under the name it had, and what it creates.
struct Workspace::Backup {
    std::vector<BackupEntry> entries;
    std::vector<std::pair<std::string, fs::path>> files;  // each replaced file: its name there, its path
};

// Writes the run folder under a temporary name and renames it into place, its list written last. Both
// names are listed first: until the commit point, a later run removes them.
fs::path Workspace::keepBackup(const RunRecord& record, const Backup& backup) {
    const fs::path backups = folder_ / kBackupsFolder;
    const fs::path runFolder = backups / newRunFolderName(backups, record.run);
    const fs::path temp =
        backups / ("." + runFolder.filename().string() + withPid(kTempInfix, currentProcessId()));
    listDiscardable(temp);
    listDiscardable(runFolder);
    if (!isPresent(backups)) createFolder(backups);
    createFolder(temp);
    const auto keep = [&](std::string_view name, const std::string& bytes) {
        writeFile(temp / name, bytes);
        flushFile(temp / name);
    };
    for (const auto& [name, file] : backup.files) keep(name, readWholeFile(file));
    keep(kRunReport, record.report ? record.report(runFolder) : std::string());
    keep(kBackupList, backupListText(backup.entries));
    flushFolder(temp);
    renameFile(temp, runFolder);
    flushFolder(backups);
    return runFolder;
}

Committed Workspace::commit(const RunRecord& record) {
    Committed committed;
    std::vector<Move> moves;
    Backup backup;
    std::set<fs::path> movedAside;
    const long pid = currentProcessId();
    const auto inWorkFolder = [&](const fs::path& p) {
        return p.parent_path() == folder_ ? p.filename() : p;
    };
    for (const Staged& s : staged_) {
        const std::string name = s.target.filename().string();
        std::vector<fs::path> replaced = caseVariants(s.target.parent_path(), name);
        if (s.table) {
            const std::string table = name.substr(0, name.size() - 4);
            for (const fs::path& index : caseVariants(folder_, table + ".MDX")) replaced.push_back(index);
            committed.tables.push_back(table);
        }
        for (const fs::path& file : replaced) {
            if (!movedAside.insert(file).second) continue;  // two restored files of one name but for case
            moves.push_back({true, file, file.string() + withPid(kOldInfix, pid)});
            backup.entries.push_back({true, inWorkFolder(file), file.filename().string()});
            backup.files.emplace_back(file.filename().string(), file);
        }
        if (s.staged.empty()) continue;
        moves.push_back({false, s.staged, s.target});
        if (std::none_of(replaced.begin(), replaced.end(), [&](const fs::path& r) {
                return asciiLower(r.filename().string()) == asciiLower(name);
            })) {
            backup.entries.push_back({false, inWorkFolder(s.target), {}});
        }
    }

    std::set<fs::path> folders;
    for (const Move& m : moves) {
        if (!m.aside) flushFile(m.from);
        folders.insert(m.to.parent_path());
    }
    committed.backup = keepBackup(record, backup);
    writeFileAtomically(staging_ / kPlanFile, encodePlan(moves), Flush::Yes);
    flushFolder(staging_);
    try {
        for (const Move& m : moves) renameFile(m.from, m.to);
        for (const fs::path& folder : folders) flushFolder(folder);
        writeFileAtomically(staging_ / kDoneFile, "", Flush::Yes);
        flushFolder(staging_);
    } catch (const Error& e) {
        try {
            removeFile(staging_ / kDoneFile);  // a done mark that is not on disk for sure does not count
            rollBack(moves);
        } catch (const Error& undo) {
            keepForRecovery_ = true;
            throw Error(std::string(e.what()) + "; además, al deshacer el cambio: " + undo.what());
        }
        throw;
    }
    committed_ = true;
    try {
        finishForward(moves, staging_);
        removeOldBackups(folder_);
    } catch (const Error&) {
        // The commit is done; what is left of it is only clean-up, which the next run finishes.
    }
    return committed;
}

}  // namespace formats
