#pragma once

#include <QColor>
#include <QFrame>

namespace shell {

// A panel filled with a vertical linear gradient.
class GradientPanel : public QFrame {
public:
    GradientPanel(const QColor& top, const QColor& bottom, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor top_, bottom_;
};

}  // namespace shell
