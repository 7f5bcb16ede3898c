// Small helpers shared by the tests: a temporary folder, whole-file reads and writes, folder snapshots.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testing_support {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

std::string readBytes(const fs::path& path);
void writeBytes(const fs::path& path, const std::string& bytes);
// Every file below `folder` (hidden ones included) with its bytes, by relative path.
std::map<std::string, std::string> snapshot(const fs::path& folder);
// Runs a command through /bin/sh and returns its exit status.
int runCommand(const std::string& command);

}  // namespace testing_support

#include <ostream>

#include "formats/text.h"

namespace formats {
// Shows an AnsiString in test failures as the UTF-8 text it holds.
inline void PrintTo(const AnsiString& text, std::ostream* out) {
    *out << '"' << text.toUtf8() << '"';
}
}  // namespace formats
