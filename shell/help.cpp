#include "shell/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QShortcut>
#include <QStandardPaths>

#include "shell/qt_dialogs.h"

namespace shell {

void setHelpContext(QWidget* widget, int context) {
    widget->setProperty(kHelpContext, context);
}

int helpContextOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant context = widget->property(kHelpContext);
        if (context.isValid()) return context.toInt();
    }
    return 0;
}

QString openHelp(int context) {
    const QString file = QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFile);
    if (!QFileInfo::exists(file)) return QString("No se encuentra el archivo de ayuda \"%1\".").arg(file);
#ifdef _WIN32
    const QString viewer = QStandardPaths::findExecutable("hh");
    const QStringList args =
        context ? QStringList{QString("-mapid"), QString::number(context), file} : QStringList{file};
#else
    const QString viewer = QStandardPaths::findExecutable("xchm");
    const QStringList args =
        context ? QStringList{QString("-c"), QString::number(context), file} : QStringList{file};
#endif
    if (viewer.isEmpty()) return QString("No se encuentra el visor de ayuda para abrir \"%1\".").arg(file);
    if (!QProcess::startDetached(viewer, args))
        return QString("No se puede abrir el visor de ayuda \"%1\".").arg(viewer);
    return QString();
}

void showHelp(QWidget* parent, int context) {
    const QString problem = openHelp(context);
    if (!problem.isEmpty()) informBox(parent, problem);
}

void installHelpKey(QWidget* window) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window, [window] {
        QWidget* focused = window->focusWidget();
        showHelp(window, helpContextOf(focused ? focused : window));
    });
}

}  // namespace shell
