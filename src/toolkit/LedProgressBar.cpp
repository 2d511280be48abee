#include "toolkit/LedProgressBar.h"

#include <QPainter>
#include <algorithm>

namespace dividra::toolkit {

LedProgressBar::LedProgressBar(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void LedProgressBar::setPartCount(int parts) {
    m_partCount = std::max(1, parts);
    setPartsComplete(m_partsComplete);
    update();
}

void LedProgressBar::setPartsComplete(int parts) {
    const int capped = std::clamp(parts, 0, m_partCount);
    if (capped != m_partsComplete) {
        m_partsComplete = capped;
        update();
    }
}

void LedProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(2, 3, -2, -3);
    const int gap = 1;
    const int step = std::max(2, (area.width() + gap) / m_partCount);
    const QColor lit = palette().color(QPalette::Highlight);
    const QColor dark = palette().color(QPalette::Button).darker(115);
    for (int part = 0; part < m_partCount; ++part) {
        const QRect led(area.left() + part * step, area.top(), step - gap, area.height());
        painter.fillRect(led, part < m_partsComplete ? lit : dark);
    }
}

} // namespace dividra::toolkit
