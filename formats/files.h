// Small file-system helpers, and the only place in formats/ that calls the operating system directly.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

namespace fs = std::filesystem;

// The entry of `dir` named `name`, found whatever the letter case of either (the exact name first).
std::optional<fs::path> findCaseInsensitive(const fs::path& dir, std::string_view name);
// Every entry of `dir` whose name equals `name` but for letter case, in name order.
std::vector<fs::path> caseVariants(const fs::path& dir, std::string_view name);
// The entries of `dir`, in name order; an error naming the folder when it cannot be read.
std::vector<fs::path> folderEntries(const fs::path& dir);
// Whether anything (a file, a folder, even a broken link) stands at `path`.
bool isPresent(const fs::path& path);

// A path from UTF-8 text, and back: the one way text becomes a path.
fs::path pathFromUtf8(std::string_view utf8);
std::string utf8Of(const fs::path& path);

std::string readWholeFile(const fs::path& path);

// Every change this program makes to the file system goes through the functions below, each a counted
// file operation (see FileOperations): creating a file or a folder, writing, flushing to disk, renaming,
// removing. An error names the file and says what went wrong, in Spanish.
void createFolder(const fs::path& path);
// Creates (or empties) the file and writes `bytes`: two operations, no flush.
void writeFile(const fs::path& path, std::string_view bytes);
enum class Flush { No, Yes };
// Writes a temporary file beside `target` and renames it over `target`, so that `target` is replaced
// whole or not at all, even when the program is killed. With Flush::Yes the bytes reach the disk before
// the rename; Flush::No leaves that to a later commit. `beforeRename` runs just before the rename.
void writeFileAtomically(const fs::path& target, std::string_view bytes, Flush flush,
                         const std::function<void()>& beforeRename = {});
void flushFile(const fs::path& path);
// Makes the renames and removals made in the folder durable (fsync of the folder; on Windows the
// renames are written through).
void flushFolder(const fs::path& path);
// Renames a file or folder, replacing a file at `to`.
void renameFile(const fs::path& from, const fs::path& to);
// Removes a file (or an empty folder); nothing happens when there is none.
void removeFile(const fs::path& path);
// Removes a folder and everything in it.
void removeFolder(const fs::path& path);

// The seam over the counted file operations, for the tests that check what a kill or a full disk at any
// point of a run leaves behind. Disarmed, it only counts.
class FileOperations {
public:
    enum class Kind { Create, Write, Flush, FlushFolder, Rename, Remove };
    struct Record {
        Kind kind;
        fs::path path;
    };
    // Thrown at the stop. On purpose not a std::exception, so that no run catches it as an error.
    struct Stopped {};

    // From the next operation on, counting from 1: the `failAt`th fails as on a full disk, or the `stopAt`th
    // stops the program there: it throws Stopped, and every later operation does nothing, as after a kill.
    // 0 for neither. Also starts a new log.
    static void arm(std::size_t failAt, std::size_t stopAt);
    // Back to plain operations, neither counted nor logged.
    static void disarm();
    // The operations counted since arm(), in order (the stop included, the no-ops after it not).
    static const std::vector<Record>& log();
    static bool stopped();
};

struct DateTime {
    int year, month, day, hour, minute, second;
};
DateTime localDateTime();

long currentProcessId();
bool processIsAlive(long pid);

// An advisory operating-system lock on a file, held while the object lives. Best effort: it keeps a
// second instance of this program off the file, not a Windows program under Wine.
class FileLock {
public:
    FileLock() = default;
    // Throws when another process holds the lock; a file that cannot be locked otherwise is left unlocked.
    explicit FileLock(const fs::path& path);
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();
    void release() noexcept;

private:
    int fd_ = -1;
};

// A lock file that one holder at a time owns, in this process or another: it holds the owner's process
// id while owned, and is removed, still locked, when the owner lets it go.
class OwnedLockFile {
public:
    // Thrown when another holder owns the file; `holder` is the process id the file names ("" when unknown).
    struct Held {
        std::string holder;
    };
    explicit OwnedLockFile(const fs::path& path);
    ~OwnedLockFile();
    OwnedLockFile(const OwnedLockFile&) = delete;
    OwnedLockFile& operator=(const OwnedLockFile&) = delete;

private:
    fs::path path_;
    int fd_ = -1;
};

}  // namespace formats
