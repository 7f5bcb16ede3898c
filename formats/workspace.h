// The work folder as one unit: a run writes its tables into a staging folder and commits them together,
// so that the timetable program never meets a new table beside an old one.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/dbf.h"
#include "formats/workspace_tables.h"

namespace formats {

// The work folder as a Windows program under Wine sees "C:\TTEMP": the target of
// `<prefix>/dosdevices/c:` (normally `<prefix>/drive_c`), then TTEMP in any letter case. `winePrefix` is
// the WINEPREFIX setting when there is one; the prefix is `~/.wine` otherwise.
std::filesystem::path defaultWorkFolder(const std::optional<std::string>& winePrefix,
                                        const std::filesystem::path& home);

// The work folder, found whatever the letter case of its last name; nullopt when there is none.
std::optional<std::filesystem::path> findWorkFolder(const std::filesystem::path& workFolder);

// What a finished run keeps beside the backup of the files it replaced: its name ("exportar", "importar",
// "restaurar"), which names the backup's run folder, and its report, which may name that folder.
struct RunRecord {
    std::string run;
    std::function<std::string(const std::filesystem::path& runFolder)> report;
};

struct Committed {
    std::vector<std::string> tables;  // the tables written, in commit order
    std::filesystem::path backup;     // the run folder of the backup
};

class Workspace {
public:
    // Opens the work folder (found whatever the letter case of its last name), takes its lock for the
    // whole run, and puts right what an earlier run that was cut short left in it. A folder that does not
    // exist, or that another run holds, is a Refusal.
    explicit Workspace(const std::filesystem::path& workFolder);
    // Discards what was staged unless it was committed, and lets the lock go.
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const std::filesystem::path& folder() const { return folder_; }

    // A new, empty table in the staging folder; nothing in the work folder changes yet.
    DbfTable create(const TableLayout& layout);
    // The staged version of the table when this run created it, the work folder's otherwise.
    DbfTable open(std::string_view tableName) const;
    // Where open() would read the table; nullopt when it exists in neither place.
    std::optional<std::filesystem::path> find(std::string_view tableName) const;
    // The tables this run has created, in the order it created them.
    std::vector<std::string> stagedTables() const;
    // A file that joins the commit (the import document, a restored file): returns where to write it, a
    // temporary file beside `target` that the commit renames over `target` together with the tables.
    std::filesystem::path stageFile(const std::filesystem::path& target);
    // A file the commit removes (kept in the backup like a replaced one).
    void removeAtCommit(const std::filesystem::path& target);

    // Keeps what it replaces or removes in a new backup run folder with the run's report, then moves
    // every staged file into place: each table's `.DBF` and `.MDX` in any letter case, and each staged
    // file's target, are replaced. When a step fails before the end, what was moved is put back and the
    // error is raised. Older backups beyond the newest ten go.
    Committed commit(const RunRecord& record);

private:
    struct Staged {
        std::filesystem::path staged;  // empty: the target is removed
        std::filesystem::path target;
        bool table;  // a table replaces its `.DBF` and `.MDX` in any letter case
    };
    struct Backup;
    void makeStagingFolder();
    void listDiscardable(const std::filesystem::path& path);
    std::filesystem::path keepBackup(const RunRecord& record, const Backup& backup);

    std::filesystem::path folder_;
    std::optional<OwnedLockFile> lock_;
    std::filesystem::path staging_;
    std::vector<Staged> staged_;
    std::vector<std::filesystem::path> discardable_;  // what discarding the staging folder also removes
    bool committed_ = false;
    bool keepForRecovery_ = false;  // an undo that failed: the next run finishes it
};

}  // namespace formats
