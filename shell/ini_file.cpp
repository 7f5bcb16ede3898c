#include "shell/ini_file.h"

#include <vector>

#include "formats/error.h"
#include "formats/files.h"
#include "formats/text.h"

namespace shell {
namespace {

std::string_view trimmed(std::string_view s) {
    return formats::trimControl(s);
}

bool sameName(std::string_view a, std::string_view b) {
    return formats::asciiLower(a) == formats::asciiLower(b);
}

// "[name]" gives name; any other line nothing.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return trimmed(line.substr(1, line.size() - 2));
}

bool isKeyLine(std::string_view line, std::string_view key) {
    const std::size_t eq = line.find('=');
    return eq != std::string_view::npos && sameName(trimmed(line.substr(0, eq)), key);
}

}  // namespace

void writeIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                   const std::string& value) {
    std::string content;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) content = formats::readWholeFile(file);
    const std::string newline = content.find("\r\n") != std::string::npos || content.empty() ? "\r\n" : "\n";

    std::vector<std::string> lines;
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }

    const std::string entry = key + "=" + value;
    bool inSection = false, done = false;
    std::size_t sectionEnd = 0;  // the line after the last non-empty line of the section
    std::optional<std::size_t> sectionLine;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        if (auto name = sectionName(lines[i])) {
            if (inSection) break;
            inSection = sameName(*name, section);
            if (inSection) sectionLine = i, sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (isKeyLine(lines[i], key)) {
            lines[i] = entry;
            done = true;
        } else if (!trimmed(lines[i]).empty()) {
            sectionEnd = i + 1;
        }
    }
    if (!done && sectionLine) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
    } else if (!done) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }

    std::string out;
    for (const std::string& line : lines) out += line + newline;
    try {
        formats::writeFileAtomically(file, out, formats::Flush::Yes);
    } catch (const formats::Error& e) {
        throw formats::Error("No se puede escribir el resultado en \"" + formats::shown(file) +
                             "\": " + e.what());
    }
}

}  // namespace shell
