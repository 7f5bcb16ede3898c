// Writes one value of an ini file the way Windows' own ini-file functions do: section and key matched without
// regard to letter case, the value replaced in place, the section or the key added when missing, and
// every other line left as it was.
#pragma once

#include <filesystem>
#include <string>

namespace shell {

// Throws formats::Error naming the file when it cannot be read or written.
void writeIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                   const std::string& value);

}  // namespace shell
