// Small file-system helpers, and the only place in formats/ that calls the operating system directly.
#pragma once

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

std::string readWholeFile(const fs::path& path);
// Writes a temporary file beside `target`, flushes it to disk and renames it over `target`, so that
// `target` is replaced whole or not at all. `beforeRename` runs between the flush and the rename.
void writeFileAtomically(const fs::path& target, std::string_view bytes,
                         const std::function<void()>& beforeRename = {});
// Flushes a file that is already written (used before a commit's renames).
void flushFile(const fs::path& path);

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

}  // namespace formats
