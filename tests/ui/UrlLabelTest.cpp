#include "ui/UrlLabel.h"
#include "support/ScopedHook.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dividra::ui {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

// A shown link label whose opener records instead of starting a browser; `events` notes the
// label's own click and each opening in order.
class UrlLabelTest : public ::testing::Test {
protected:
    UrlLabelTest() {
        QObject::connect(&m_label, &TUrlLabel::clicked, &m_label,
                         [this] { m_events.push_back("clicked"); });
        m_label.setGeometry(10, 10, 120, 16);
        m_label.show();
    }
    ~UrlLabelTest() override { m_label.contextMenu()->hide(); }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), QPointF(m_label.mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&m_label, &event);
    }
    void click(Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, button, QPoint(5, 5));
        mouse(QEvent::MouseButtonRelease, button, QPoint(5, 5));
    }

    TUrlLabel m_label;
    std::vector<QString> m_opened;
    std::vector<std::string> m_events;
    dividra::test::ScopedHook<UrlOpener> m_opener{SetUrlOpener, [this](const QString& target) {
                                                      m_opened.push_back(target);
                                                      m_events.push_back("open");
                                                  }};
};

TEST_F(UrlLabelTest, LooksLikeALinkWithTheHandCursor) {
    EXPECT_EQ(m_label.URL(), QString());
    EXPECT_EQ(m_label.ActiveColor(), kPurple);
    EXPECT_EQ(m_label.fontColor(), kBlue);
    EXPECT_TRUE(m_label.font().underline());
    EXPECT_EQ(m_label.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(m_label.cursor().hotSpot(), QPoint(5, 0));
    ASSERT_EQ(m_label.contextMenu()->actions().size(), 1);
    EXPECT_EQ(m_label.contextMenu()->actions().at(0)->text(), QStringLiteral("Copy"));
}

TEST_F(UrlLabelTest, HandIsTwoColoursWithItsFingertipAtTheHotSpot) {
    const QCursor& hand = TUrlLabel::HandCursor();
    const QImage bitmap = hand.bitmap().toImage();
    const QImage mask = hand.mask().toImage();
    ASSERT_EQ(bitmap.size(), QSize(32, 32));
    ASSERT_EQ(mask.size(), QSize(32, 32));
    // In a cursor's bitmap pair, set bits (color1) are black in the bitmap and opaque in the
    // mask. The hot spot is an opaque black pixel, the tip of the finger, white inside it.
    const auto set = [](const QImage& image, int x, int y) {
        return image.pixelColor(x, y) == QColor(Qt::color1);
    };
    EXPECT_TRUE(set(mask, 5, 0));
    EXPECT_TRUE(set(bitmap, 5, 0));
    EXPECT_TRUE(set(mask, 5, 1));
    EXPECT_FALSE(set(bitmap, 5, 1));
    EXPECT_FALSE(set(mask, 5, 31)); // transparent around it
    EXPECT_FALSE(set(mask, 0, 0));
    EXPECT_EQ(&TUrlLabel::HandCursor(), &hand);
}

TEST_F(UrlLabelTest, ClickOpensTheUrlAfterTheLabelsOwnClick) {
    m_label.setText(QStringLiteral("Vorlan"));
    m_label.setURL(QStringLiteral("http://www.vorlan.example/"));
    click();
    EXPECT_EQ(m_opened, std::vector<QString>{QStringLiteral("http://www.vorlan.example/")});
    EXPECT_EQ(m_events, (std::vector<std::string>{"clicked", "open"}));
}

TEST_F(UrlLabelTest, BlankUrlOpensTheCaption) {
    m_label.setText(QStringLiteral("www.vorlan.example"));
    m_label.setURL(QStringLiteral("   "));
    click();
    EXPECT_EQ(m_opened, std::vector<QString>{QStringLiteral("www.vorlan.example")});
}

TEST_F(UrlLabelTest, BlankUrlAndBlankCaptionOpenNothing) {
    m_label.setText(QStringLiteral(" "));
    click();
    EXPECT_TRUE(m_opened.empty());
    EXPECT_EQ(m_events, std::vector<std::string>{"clicked"});
}

TEST_F(UrlLabelTest, UrlIsHandedOverWithItsBlanks) {
    m_label.setText(QStringLiteral("mail"));
    m_label.setURL(QStringLiteral("  mailto:dividra@vorlan.example "));
    click();
    EXPECT_EQ(m_opened, std::vector<QString>{QStringLiteral("  mailto:dividra@vorlan.example ")});
}

TEST_F(UrlLabelTest, LeftButtonShowsActiveColourWhileHeld) {
    m_label.setText(QStringLiteral("www.vorlan.example"));
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    EXPECT_EQ(m_label.fontColor(), kPurple);
    EXPECT_TRUE(m_opened.empty());
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5));
    EXPECT_EQ(m_label.fontColor(), kBlue);
    EXPECT_EQ(m_opened.size(), 1U);
}

TEST_F(UrlLabelTest, ReleaseOutsideRestoresTheColourAndOpensNothing) {
    m_label.setText(QStringLiteral("www.vorlan.example"));
    m_label.setActiveColor(Qt::red);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    EXPECT_EQ(m_label.fontColor(), QColor(Qt::red));
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(300, 5));
    EXPECT_EQ(m_label.fontColor(), kBlue);
    EXPECT_TRUE(m_opened.empty());
    EXPECT_TRUE(m_events.empty());
}

TEST_F(UrlLabelTest, RightButtonNeitherRecoloursNorOpensAndShowsCopy) {
    m_label.setText(QStringLiteral("www.vorlan.example"));
    mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(5, 5));
    EXPECT_EQ(m_label.fontColor(), kBlue);
    mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(5, 5));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           m_label.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&m_label, &menu);
    EXPECT_EQ(m_label.fontColor(), kBlue);
    EXPECT_TRUE(m_opened.empty());
    EXPECT_TRUE(m_label.contextMenu()->isVisible());
    EXPECT_EQ(m_label.contextMenu()->actions().at(0)->text(), QStringLiteral("Copy"));
}

TEST_F(UrlLabelTest, CopyPutsTheCaptionOnTheClipboard) {
    m_label.setText(QStringLiteral("www.vorlan.example"));
    m_label.setURL(QStringLiteral("http://www.vorlan.example/"));
    m_label.copyItem()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("www.vorlan.example"));
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(UrlLabelTest, ColourSetAfterCreationIsTheOneRestored) {
    m_label.setText(QStringLiteral("x"));
    m_label.setFontColor(Qt::darkGreen);
    click();
    EXPECT_EQ(m_label.fontColor(), QColor(Qt::darkGreen));
}

} // namespace
} // namespace dividra::ui
