// Windows-1252 <-> QString, through the program's own code page table (Qt's own conversion turns
// unencodable characters into 0x1A instead of "?").
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

#include "formats/text.h"

namespace shell {

inline QString toQt(const formats::AnsiString& text) {
    return QString::fromStdString(text.toUtf8());
}
inline formats::AnsiString fromQt(const QString& text) {
    return formats::AnsiString::fromUtf8(text.toStdString());
}
inline QString toQt(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}
std::filesystem::path pathFromQt(const QString& path);

}  // namespace shell
