// Embedding the main window in the host window whose handle the timetable program passes.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace shell {

// The host's window handle written in hexadecimal digits, and nothing else; nullopt otherwise.
std::optional<WId> parseHostHandle(const QString& text);

// Makes `window` a borderless child of the host at (0,0). False when the handle names no window the
// windowing system can embed into (on Linux: no X11 window); the window then stays a top-level window.
bool embedInto(QWidget& window, WId host);

}  // namespace shell
