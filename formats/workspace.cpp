#include "formats/workspace.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <vector>

#include "formats/error.h"
#include "formats/files.h"

namespace formats {
namespace {

// Names the staging folder and the moved-aside files carry: ".transtavelinoitaca-<pid>" and
// "<file>.old-<pid>". The staging folder also holds the commit's plan (the staged file names, written
// before the first rename) and, once every rename is made, its "done" mark: together they tell a later
// run whether a commit that was cut short must be undone or only cleaned up.
constexpr std::string_view kStagingPrefix = ".transtavelinoitaca-";
constexpr std::string_view kOldInfix = ".old-";
constexpr std::string_view kPlanFile = "commit-plan";
constexpr std::string_view kDoneFile = "commit-done";

std::optional<long> pidAfter(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long pid = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

std::string oldSuffix(long pid) {
    return std::string(kOldInfix) + std::to_string(pid);
}

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

void renameFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) {
        throw Error("No se puede renombrar \"" + shown(from) + "\" como \"" + shown(to) +
                    "\": " + ec.message());
    }
}

void removeFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) throw Error("No se puede borrar \"" + shown(path) + "\": " + ec.message());
}

std::vector<std::string> readPlan(const fs::path& path) {
    std::vector<std::string> names;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) names.push_back(line);
    }
    return names;
}

// The moved-aside files of process `pid` in the work folder.
std::vector<fs::path> oldFiles(const fs::path& folder, long pid) {
    std::vector<fs::path> found;
    const std::string suffix = oldSuffix(pid);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (endsWith(it->path().filename().string(), suffix)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

fs::path withoutSuffix(const fs::path& old, long pid) {
    const std::string name = old.filename().string();
    return old.parent_path() / name.substr(0, name.size() - oldSuffix(pid).size());
}

// Undoes the commit of process `pid` as far as it went: the tables it moved in are taken out again and
// the files it moved aside get their names back.
void rollBack(const fs::path& folder, const fs::path& staging, long pid) {
    for (const std::string& name : readPlan(staging / kPlanFile)) {
        std::error_code ec;
        if (!fs::exists(staging / name, ec) && fs::exists(folder / name, ec)) removeFile(folder / name);
    }
    for (const fs::path& old : oldFiles(folder, pid)) {
        const fs::path target = withoutSuffix(old, pid);
        std::error_code ec;
        if (fs::exists(staging, ec) || !fs::exists(target, ec)) {
            renameFile(old, target);
        } else {
            removeFile(old);  // no staging folder left: the commit had ended, the table in place is current
        }
    }
}

void finishCommit(const fs::path& folder, const fs::path& staging, long pid) {
    for (const fs::path& old : oldFiles(folder, pid)) removeFile(old);
    std::error_code ec;
    fs::remove_all(staging, ec);
    if (ec) throw Error("No se puede borrar la carpeta \"" + shown(staging) + "\": " + ec.message());
}

fs::path resolveFolder(const fs::path& path) {
    if (auto found = findWorkFolder(path)) return *found;
    throw Error("No existe la carpeta de trabajo \"" + shown(path) + "\"");
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
    const long self = currentProcessId();
    std::set<long> leftovers;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::optional<long> pid;
        if (name.rfind(kStagingPrefix, 0) == 0)
            pid = pidAfter(std::string_view(name).substr(kStagingPrefix.size()));
        const std::size_t old = name.rfind(kOldInfix);
        if (!pid && old != std::string::npos)
            pid = pidAfter(std::string_view(name).substr(old + kOldInfix.size()));
        if (pid && *pid != self && !processIsAlive(*pid)) leftovers.insert(*pid);
    }
    if (ec) throw Error("No se puede leer la carpeta de trabajo \"" + shown(folder_) + "\": " + ec.message());
    for (long pid : leftovers) {
        const fs::path staging = stagingFolder(pid);
        if (!fs::exists(staging / kDoneFile, ec)) rollBack(folder_, staging, pid);
        finishCommit(folder_, staging, pid);
    }
    staging_ = stagingFolder(self);
}

Workspace::~Workspace() {
    if (!committed_) discard();
}

fs::path Workspace::stagingFolder(long pid) const {
    return folder_ / (std::string(kStagingPrefix) + std::to_string(pid));
}

void Workspace::discard() noexcept {
    std::error_code ec;
    fs::remove_all(staging_, ec);
}

DbfTable Workspace::create(const TableLayout& layout) {
    std::error_code ec;
    if (!fs::is_directory(staging_, ec)) {
        fs::create_directory(staging_, ec);
        if (ec) {
            throw Error("No se puede escribir en la carpeta de trabajo \"" + shown(folder_) +
                        "\": " + ec.message());
        }
    }
    return DbfTable::create(staging_ / (std::string(layout.name) + ".DBF"), layout.fields);
}

std::optional<fs::path> Workspace::find(std::string_view tableName) const {
    const std::string file = std::string(tableName) + ".DBF";
    std::error_code ec;
    if (fs::exists(staging_ / file, ec)) return staging_ / file;
    return findCaseInsensitive(folder_, file);
}

DbfTable Workspace::open(std::string_view tableName) const {
    const auto path = find(tableName);
    if (!path) {
        throw Error("No existe la tabla " + std::string(tableName) + " en la carpeta de trabajo \"" +
                    shown(folder_) + "\"");
    }
    return DbfTable::open(*path);
}

std::vector<std::string> Workspace::commit() {
    auto tables = commitStaged();
    committed_ = true;
    return tables;
}

std::vector<std::string> Workspace::commitStaged() {
    std::error_code ec;
    if (!fs::is_directory(staging_, ec)) return {};
    std::vector<std::string> staged;
    for (const auto& entry : fs::directory_iterator(staging_)) {
        const std::string name = entry.path().filename().string();
        if (endsWith(name, ".DBF")) staged.push_back(name);
    }
    std::sort(staged.begin(), staged.end());
    const long pid = currentProcessId();

    std::string plan;
    for (const std::string& name : staged) {
        flushFile(staging_ / name);
        plan += name + "\n";
    }
    writeFileAtomically(staging_ / kPlanFile, plan);
    try {
        for (const std::string& name : staged) {
            const std::string stem = name.substr(0, name.size() - 4);
            std::vector<fs::path> aside = caseVariants(folder_, name);
            for (const fs::path& index : caseVariants(folder_, stem + ".MDX")) aside.push_back(index);
            for (const fs::path& file : aside) renameFile(file, file.string() + oldSuffix(pid));
            renameFile(staging_ / name, folder_ / name);
        }
    } catch (const Error& e) {
        try {
            rollBack(folder_, staging_, pid);
        } catch (const Error& undo) {
            throw Error(std::string(e.what()) + "; además, al deshacer el cambio: " + undo.what());
        }
        throw;
    }
    writeFileAtomically(staging_ / kDoneFile, "");
    finishCommit(folder_, staging_, pid);
    std::vector<std::string> tables;
    for (const std::string& name : staged) tables.push_back(name.substr(0, name.size() - 4));
    return tables;
}

}  // namespace formats
