#include "toolkit/RaisedLabel.h"

#include <QPainter>

namespace dividra::toolkit {

RaisedLabel::RaisedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void RaisedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(area.translated(-1, -1), static_cast<int>(alignment()), text());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()), text());
}

} // namespace dividra::toolkit
