#include "shell/embedding.h"

#include <QGuiApplication>
#include <QWindow>

#if defined(Q_OS_LINUX)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace shell {
namespace {

// QWindow::fromWinId gives a window for any number, so the X server is asked whether it names one.
bool hostExists(WId host) {
#if defined(Q_OS_LINUX)
    if (QGuiApplication::platformName() != "xcb") return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* connection = x11->connection();
    const auto cookie = xcb_get_window_attributes(connection, static_cast<xcb_window_t>(host));
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(connection, cookie, &error);
    const bool exists = reply != nullptr;
    std::free(reply);
    std::free(error);
    return exists;
#else
    return host != 0;
#endif
}

}  // namespace

std::optional<WId> parseHostHandle(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text) {
        if (!c.isDigit() && !QString("abcdefABCDEF").contains(c)) return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 16);
    if (!ok) return std::nullopt;
    return static_cast<WId>(value);
}

bool embedInto(QWidget& window, WId host) {
    if (!hostExists(host)) return false;
    QWindow* hostWindow = QWindow::fromWinId(host);
    if (!hostWindow) return false;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.winId();
    window.windowHandle()->setParent(hostWindow);
    window.move(0, 0);
    return true;
}

}  // namespace shell
