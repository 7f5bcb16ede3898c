#include "shell/qt_text.h"

#include <QFile>

namespace shell {

std::filesystem::path pathFromQt(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace shell
