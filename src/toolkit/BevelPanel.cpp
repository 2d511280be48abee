#include "toolkit/BevelPanel.h"

#include <QImage>
#include <QPainter>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabWidget>
#include <qdrawutil.h>

#include <cstdlib>

namespace dividra::toolkit {
namespace {

// Lightness apart below which an edge is lost against its backdrop.
constexpr int kVisibleContrast = 12;

// The colour a style fills a tab widget's pane with, as drawn.
QColor paneColour(const QTabWidget& tabs) {
    QStyleOptionTabWidgetFrame option;
    option.initFrom(&tabs);
    option.rect = QRect(0, 0, 40, 40);
    option.shape =
        tabs.tabShape() == QTabWidget::Rounded ? QTabBar::RoundedNorth : QTabBar::TriangularNorth;
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(tabs.palette().color(QPalette::Window));
    QPainter painter(&image);
    tabs.style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, &tabs);
    painter.end();
    return image.pixelColor(option.rect.center());
}

} // namespace

QColor BevelLight(const QPalette& palette, const QColor& backdrop) {
    const QColor light = palette.color(QPalette::Light);
    if (std::abs(light.lightness() - backdrop.lightness()) >= kVisibleContrast) {
        return light;
    }
    const QColor mid = palette.color(QPalette::Mid);
    return QColor((backdrop.red() + mid.red()) / 2, (backdrop.green() + mid.green()) / 2,
                  (backdrop.blue() + mid.blue()) / 2);
}

BevelPanel::BevelPanel(QFrame::Shadow shadow, QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(shadow);
}

QColor BevelPanel::backdrop() const {
    // Walks up to what paints behind the panel: a filled widget, or the pane of a tab widget
    // whose page it is on.
    for (const QWidget* widget = parentWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (widget->autoFillBackground() || widget->isWindow()) {
            return widget->palette().color(widget->backgroundRole());
        }
        const auto* stack = qobject_cast<const QStackedWidget*>(widget->parentWidget());
        const auto* tabs =
            stack != nullptr ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs != nullptr) {
            return paneColour(*tabs);
        }
    }
    return palette().color(QPalette::Window);
}

void BevelPanel::paintEvent(QPaintEvent* event) {
    if (frameShape() != QFrame::Panel || frameShadow() == QFrame::Plain) {
        QFrame::paintEvent(event);
        return;
    }
    QPalette colours = palette();
    colours.setColor(QPalette::Light, BevelLight(colours, backdrop()));
    QPainter painter(this);
    qDrawShadePanel(&painter, frameRect(), colours, frameShadow() == QFrame::Sunken, lineWidth());
}

} // namespace dividra::toolkit
