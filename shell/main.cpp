// TransTavelinoItaca: the window, standalone or embedded in the timetable program's window.
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <exception>

#include "formats/workspace.h"
#include "shell/ini_file.h"
#include "shell/qt_dialogs.h"
#include "shell/qt_text.h"
#include "shell/tmform.h"

namespace {

bool embedded(int argc) {
    return argc == 3;
}

// Whether Qt can reach a display at all; without one it would abort before the window exists.
bool canShowAWindow() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The host waits for the outcome file: with no window to show, the run is reported as not done.
int reportNoWindow() {
    std::fprintf(stderr,
                 "TransTavelinoItaca: no hay pantalla en la que mostrar la ventana (DISPLAY vacío)\n");
    std::error_code ec;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return 1;
    try {
        shell::writeIniValue(program.parent_path() / "Tavelino.ini", "Transformadores", "Transformado", "-1");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(Q_OS_LINUX)
    if (embedded(argc) && !canShowAWindow()) return reportNoWindow();
    // Embedded mode names an X11 window: a Wayland session would otherwise be tried first.
    if (embedded(argc) && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(shell::kApplicationTitle);
    QTranslator qtSpanish;
    shell::installSpanish(app, qtSpanish);

    const QByteArray prefix = qgetenv("WINEPREFIX");
    const auto workFolder = formats::defaultWorkFolder(
        prefix.isEmpty() ? std::nullopt : std::optional<std::string>(prefix.toStdString()),
        std::filesystem::path(QFile::encodeName(qEnvironmentVariable("HOME")).toStdString()));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    shell::TMForm window(arguments, workFolder, shell::pathFromQt(QApplication::applicationDirPath()));
    QObject::connect(&window, &shell::TMForm::closed, &app, [] { QApplication::exit(0); });
    window.show();
    return app.exec();
}
