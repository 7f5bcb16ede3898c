// TransTavelinoItaca: the window, standalone or embedded in the timetable program's window.
#include <QApplication>
#include <QFile>

#include "formats/workspace.h"
#include "shell/qt_dialogs.h"
#include "shell/qt_text.h"
#include "shell/tmform.h"

int main(int argc, char** argv) {
    // Embedded mode names an X11 window: a Wayland session would otherwise be tried first.
#if defined(Q_OS_LINUX)
    if (argc == 3) qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(shell::kApplicationTitle);

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
