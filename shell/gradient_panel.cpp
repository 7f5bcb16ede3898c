#include "shell/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace shell {

GradientPanel::GradientPanel(const QColor& top, const QColor& bottom, QWidget* parent)
    : QFrame(parent), top_(top), bottom_(bottom) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
}

void GradientPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, top_);
    gradient.setColorAt(1, bottom_);
    painter.fillRect(rect(), gradient);
    painter.end();
    QFrame::paintEvent(event);
}

}  // namespace shell
