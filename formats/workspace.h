// The work folder as one unit: a run writes its tables into a staging folder and commits them together,
// so that the timetable program never meets a new table beside an old one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

class Workspace {
public:
    // Opens the work folder (found whatever the letter case of its last name) and puts right what a
    // run of a process that no longer exists left in it.
    explicit Workspace(const std::filesystem::path& workFolder);
    // Discards the staged tables unless they were committed.
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

    // Moves every staged table into the work folder, replacing its `.DBF` and removing its `.MDX` in
    // any letter case. When a step fails, what was already moved is put back and the error is raised.
    // Returns the names of the tables committed.
    std::vector<std::string> commit();

private:
    std::filesystem::path stagingFolder(long pid) const;
    std::vector<std::string> commitStaged();
    void discard() noexcept;

    std::filesystem::path folder_;
    std::filesystem::path staging_;
    bool committed_ = false;
};

}  // namespace formats
