// The help file ITACA.chm in the program's folder, opened with the system's help viewer (xchm on Linux).
#pragma once

#include <QString>
#include <QWidget>

namespace shell {

inline const char* const kHelpFile = "ITACA.chm";
inline const char* const kHelpContext = "helpContext";

// Gives a widget its help context number, found by F1 on it or on any of its children.
void setHelpContext(QWidget* widget, int context);
int helpContextOf(const QWidget* widget);

// Opens the help file at its contents (context 0) or at a help context. Returns what went wrong, or an
// empty text when the viewer was started.
QString openHelp(int context);
// Opens the help, telling the user in a message box when the file or the viewer is missing.
void showHelp(QWidget* parent, int context);
// F1 in `window` opens the help at the help context of the focused control.
void installHelpKey(QWidget* window);

}  // namespace shell
