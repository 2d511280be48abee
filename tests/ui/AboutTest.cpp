#include "ui/About.h"
#include "WindowFixture.h"
#include "toolkit/RaisedLabel.h"
#include "ui/UrlLabel.h"

#include <QAction>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace dividra::ui {
namespace {

template <class W = QWidget> W* part(const TFrmAbout& about, const char* name) {
    auto* found = about.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QString textOf(const TFrmAbout& about, const char* name) {
    return part<QLabel>(about, name)->text();
}

void pressEscape(QWidget* widget) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &escape);
}

TEST(AboutTest, BorderlessCentredBoxOfItsDesignSize) {
    TFrmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Dividra"));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(about.size(), QSize(332, 221));
    const QPoint offCentre =
        about.geometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << "halving odd sizes may round";
    EXPECT_EQ(part(about, "PnlBack")->geometry(), QRect(0, 0, 332, 221));
}

TEST(AboutTest, ComponentsStandAtTheirPlaces) {
    TFrmAbout about;
    EXPECT_EQ(part(about, "ImageIcon1")->geometry(), QRect(16, 14, 32, 32));
    EXPECT_EQ(part(about, "LblProductVersion")->pos(), QPoint(56, 16));
    EXPECT_EQ(part(about, "LblNotice")->pos(), QPoint(56, 44));
    EXPECT_EQ(part(about, "BevelUpper")->geometry(), QRect(56, 68, 261, 2));
    EXPECT_EQ(part(about, "LblMail1")->pos(), QPoint(56, 74));
    EXPECT_EQ(part(about, "LblMail2")->pos(), QPoint(56, 94));
    EXPECT_EQ(part(about, "UrlMail")->pos(), QPoint(168, 94));
    EXPECT_EQ(part(about, "LblMail3")->pos(), QPoint(56, 114));
    EXPECT_EQ(part(about, "LblCSMail")->pos(), QPoint(168, 114));
    EXPECT_EQ(part(about, "LblMail4")->pos(), QPoint(56, 134));
    EXPECT_EQ(part(about, "URLWeb")->pos(), QPoint(168, 134));
    EXPECT_EQ(part(about, "BevelLower")->geometry(), QRect(56, 152, 261, 2));
    EXPECT_EQ(part(about, "BtnOk")->geometry(), QRect(242, 184, 75, 25));
}

TEST(AboutTest, EveryTextShowsWhole) {
    // Substitute fonts may be wider than the design's: no text may be cut off or leave the box.
    TFrmAbout about;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) {
            EXPECT_GE(label->width(), label->sizeHint().width())
                << label->objectName().toStdString();
            EXPECT_LE(label->geometry().right(), 332 - 8) << label->objectName().toStdString();
        }
    }
}

TEST(AboutTest, TextsAndLinks) {
    TFrmAbout about;
    EXPECT_EQ(textOf(about, "LblProductVersion"), QStringLiteral("Dividra 2.05"));
    EXPECT_TRUE(textOf(about, "LblNotice").contains(QStringLiteral("Vorlan Software")));
    EXPECT_EQ(textOf(about, "LblMail1"),
              QStringLiteral("Please send comments and suggestions to:"));
    EXPECT_EQ(textOf(about, "LblMail2"), QStringLiteral("Internet E-Mail:"));
    EXPECT_EQ(textOf(about, "LblMail3"), QStringLiteral("Compuserve Mail:"));
    EXPECT_EQ(textOf(about, "LblMail4"), QStringLiteral("World Wide Web:"));
    EXPECT_EQ(part<QPushButton>(about, "BtnOk")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(textOf(about, "LblCSMail").endsWith(QStringLiteral("vorlan.example")));

    auto* mail = part<TUrlLabel>(about, "UrlMail");
    EXPECT_TRUE(mail->text().endsWith(QStringLiteral("@vorlan.example")));
    EXPECT_EQ(mail->URL(), QStringLiteral("mailto:") + mail->text());
    auto* web = part<TUrlLabel>(about, "URLWeb");
    EXPECT_TRUE(web->text().endsWith(QStringLiteral("vorlan.example")));
    EXPECT_TRUE(web->URL().startsWith(QStringLiteral("http://www.vorlan.example")));
}

TEST(AboutTest, FontsAndColours) {
    TFrmAbout about;
    auto* product = part<toolkit::RaisedLabel>(about, "LblProductVersion");
    EXPECT_TRUE(product->font().bold());
    EXPECT_EQ(product->font().pixelSize(), 21);
    EXPECT_EQ(product->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(part(about, "LblNotice")->font().pixelSize(), 13);
    for (const char* name : {"UrlMail", "URLWeb"}) {
        auto* link = part<TUrlLabel>(about, name);
        EXPECT_TRUE(link->font().underline()) << name;
        EXPECT_EQ(link->font().pixelSize(), 11) << name;
        EXPECT_EQ(link->fontColor(), QColor(0, 0, 255)) << name;
    }
    EXPECT_FALSE(part<QLabel>(about, "ImageIcon1")->pixmap().isNull());
}

TEST(AboutTest, CopyOnTheMailLinkCopiesTheAddressWithoutMailto) {
    TFrmAbout about;
    auto* mail = part<TUrlLabel>(about, "UrlMail");
    mail->copyItem()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), mail->text());
    EXPECT_FALSE(QGuiApplication::clipboard()->text().contains(QStringLiteral("mailto")));
}

TEST(AboutTest, EscapeClosesAsOkDoes) {
    TFrmAbout about;
    QTimer::singleShot(0, &about, [&about] { pressEscape(&about); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());

    TFrmAbout again;
    QTimer::singleShot(0, &again, [&again] { part<QPushButton>(again, "BtnOk")->click(); });
    EXPECT_EQ(again.exec(), QDialog::Accepted);
}

class AboutFromMenuTest : public test::WindowFixture {};

TEST_F(AboutFromMenuTest, HelpAboutShowsAFreshBoxEachTime) {
    TFrmMain& window = shown();
    for (int opening = 0; opening < 2; ++opening) {
        QPointer<TFrmAbout> seen;
        bool sawAbout = false;
        QTimer::singleShot(0, &window, [&seen, &sawAbout] {
            seen = qobject_cast<TFrmAbout*>(QApplication::activeModalWidget());
            sawAbout = seen && seen->isVisible();
            if (seen) {
                pressEscape(seen);
            }
        });
        window.MnuHelpAboutClick();
        EXPECT_TRUE(sawAbout) << opening;
        EXPECT_TRUE(seen.isNull()) << "destroyed after closing, opening " << opening;
        EXPECT_TRUE(window.findChildren<TFrmAbout*>().isEmpty());
    }
}

} // namespace
} // namespace dividra::ui
