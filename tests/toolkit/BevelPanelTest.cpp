#include "toolkit/BevelPanel.h"

#include <QApplication>
#include <QImage>
#include <QTabWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

struct Backdrop {
    const char* what;
    QColor colour;
    bool keepsLight;
};

TEST(BevelLightTest, LightEdgeStandsOutFromTheBackdrop) {
    QPalette colours;
    colours.setColor(QPalette::Light, Qt::white);
    colours.setColor(QPalette::Mid, QColor(160, 160, 160));
    const Backdrop cases[] = {
        {"grey face", QColor(192, 192, 192), true},
        {"near-white page", QColor(250, 250, 250), false},
        {"white", Qt::white, false},
    };
    for (const Backdrop& row : cases) {
        const QColor light = BevelLight(colours, row.colour);
        EXPECT_EQ(light == Qt::white, row.keepsLight) << row.what;
        EXPECT_GE(std::abs(light.lightness() - row.colour.lightness()), 12) << row.what;
        EXPECT_GT(light.lightness(), colours.color(QPalette::Mid).lightness()) << row.what;
    }
}

// Each edge differs from the backdrop two pixels outside it.
void expectFourEdges(const QImage& image, const QRect& panel, const char* what) {
    const QPoint middle = panel.center();
    const struct {
        const char* edge;
        QPoint on;
        QPoint outside;
    } edges[] = {
        {"left", {panel.left(), middle.y()}, {panel.left() - 2, middle.y()}},
        {"top", {middle.x(), panel.top()}, {middle.x(), panel.top() - 2}},
        {"right", {panel.right(), middle.y()}, {panel.right() + 2, middle.y()}},
        {"bottom", {middle.x(), panel.bottom()}, {middle.x(), panel.bottom() + 2}},
    };
    for (const auto& edge : edges) {
        EXPECT_NE(image.pixelColor(edge.on), image.pixelColor(edge.outside))
            << what << ' ' << edge.edge;
    }
}

TEST(BevelPanelTest, AllFourEdgesShowOnATabPageAndOnTheWindow) {
    QWidget window;
    window.resize(320, 200);
    auto* tabs = new QTabWidget(&window);
    tabs->setGeometry(0, 0, 200, 120);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Page"));
    auto* onPage = new BevelPanel(QFrame::Sunken, page);
    onPage->setGeometry(6, 10, 120, 21);
    auto* onWindow = new BevelPanel(QFrame::Raised, &window);
    onWindow->setGeometry(210, 10, 100, 100);
    window.show();
    QApplication::processEvents();
    const QImage image = window.grab().toImage();
    const qreal scale = image.devicePixelRatio();
    ASSERT_EQ(scale, 1.0);
    expectFourEdges(image, QRect(onPage->mapTo(&window, QPoint()), onPage->size()), "on page");
    expectFourEdges(image, onWindow->geometry(), "on window");
}

} // namespace
} // namespace dividra::toolkit
