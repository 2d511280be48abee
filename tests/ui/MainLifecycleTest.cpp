#include "WindowFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "ui/WindowRules.h"

#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QToolButton>

namespace dividra::ui {
namespace {

int stored(std::string_view name) {
    return ReadSettingInt(keys::kWindowSettings, name, -99);
}

QSize screen() {
    return QGuiApplication::primaryScreen()->geometry().size();
}

class MainLifecycleTest : public test::WindowFixture {
protected:
    void storePlacement(QSize desktop, QRect bounds, int split, int maximized) {
        SettingsKeyExists(keys::kProduct, true);
        WriteSettingInt(keys::kWindowSettings, keys::kDesktopHeight, desktop.height());
        WriteSettingInt(keys::kWindowSettings, keys::kDesktopWidth, desktop.width());
        WriteSettingInt(keys::kWindowSettings, keys::kLeft, bounds.left());
        WriteSettingInt(keys::kWindowSettings, keys::kTop, bounds.top());
        WriteSettingInt(keys::kWindowSettings, keys::kWidth, bounds.width());
        WriteSettingInt(keys::kWindowSettings, keys::kHeight, bounds.height());
        WriteSettingInt(keys::kWindowSettings, keys::kSourceHeaderSplit, split);
        WriteSettingInt(keys::kWindowSettings, keys::kMaximized, maximized);
    }
    // Centred at the design size: the client area as designed, the frame as the platform has it.
    void expectCentredAtDesignSize() const {
        const QRect outer = m_window->outerBounds();
        EXPECT_EQ(m_window->size(), QSize(598, 19 + 383));
        EXPECT_EQ(outer.left(), (screen().width() - outer.width()) / 2);
        EXPECT_EQ(outer.top(), (screen().height() - outer.height()) / 2);
    }
};

TEST_F(MainLifecycleTest, AFirstStartWritesTheDefaultsAndOpensCentred) {
    TFrmMain& window = shown();
    EXPECT_TRUE(SettingsKeyExists(keys::kProduct, false));
    EXPECT_EQ(stored(keys::kLeft), 273);
    EXPECT_EQ(stored(keys::kTop), 106);
    EXPECT_EQ(stored(keys::kWidth), 606);
    EXPECT_EQ(stored(keys::kHeight), 429);
    EXPECT_EQ(stored(keys::kSourceHeaderSplit), 181);
    EXPECT_EQ(stored(keys::kDesktopWidth), 0);
    expectCentredAtDesignSize();
    EXPECT_FALSE(window.isMaximized());
    EXPECT_EQ(child<QLabel>("StatText")->text(), QStringLiteral("Ready"));
    EXPECT_FALSE(child<QToolButton>("ToolBtnSplit")->isEnabled());
    EXPECT_FALSE(window.MnuFileSplit->isEnabled());
    EXPECT_EQ(window.platformKind(), QStringLiteral("NT"));
}

TEST_F(MainLifecycleTest, AnotherScreenSizeCentresAndIgnoresTheStoredBounds) {
    storePlacement(screen() + QSize(1, 0), QRect(10, 20, 700, 500), 250, 0);
    shown();
    expectCentredAtDesignSize();
    EXPECT_EQ(child<QHeaderView>("HeaderSource")->sectionSize(0), 181);
}

TEST_F(MainLifecycleTest, TheSameScreenRestoresTheBoundsAndTheHeaderSplit) {
    storePlacement(screen(), QRect(10, 20, 700, 500), 220, 0);
    TFrmMain& window = shown();
    EXPECT_EQ(window.outerBounds(), QRect(10, 20, 700, 500));
    EXPECT_EQ(child<QHeaderView>("HeaderSource")->sectionSize(0), 220);
    EXPECT_EQ(at("ComboSource").width(), 130 + 39);
    EXPECT_EQ(at("DirListSource").height(), 167 + window.height() - (19 + 383));
    EXPECT_EQ(at("FileListSource").left(), 220 + 6 + 1);
}

TEST_F(MainLifecycleTest, ClosingStoresThePlacementAndAMaximisedWindowComesBackMaximised) {
    storePlacement(screen(), QRect(30, 40, 650, 450), 200, 0);
    shown().showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(m_window->isMaximized());
    m_window->close();
    m_window.reset();
    EXPECT_EQ(stored(keys::kMaximized), 1);
    EXPECT_EQ(stored(keys::kLeft), 30);
    EXPECT_EQ(stored(keys::kTop), 40);
    EXPECT_EQ(stored(keys::kWidth), 650);
    EXPECT_EQ(stored(keys::kHeight), 450);
    EXPECT_EQ(stored(keys::kSourceHeaderSplit), 200);
    EXPECT_EQ(stored(keys::kDesktopHeight), screen().height());
    EXPECT_EQ(stored(keys::kDesktopWidth), screen().width());

    TFrmMain& again = create();
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
    again.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(again.outerBounds(), QRect(30, 40, 650, 450));
}

TEST_F(MainLifecycleTest, TheFlatToolBarFollowsTheVersionRule) {
    EXPECT_TRUE(FlatToolBarFromVersion("4.70.1146.0"));
    EXPECT_FALSE(FlatToolBarFromVersion("4.00.950.0"));
    EXPECT_FALSE(FlatToolBarFromVersion("4.69"));
    EXPECT_TRUE(FlatToolBarFromVersion("5.81"));
    EXPECT_TRUE(FlatToolBarFromVersion("6.4.2"));
    EXPECT_FALSE(FlatToolBarFromVersion(""));
    EXPECT_FALSE(FlatToolBarFromVersion("470"));
    TFrmMain& window = shown();
    EXPECT_TRUE(window.flatToolBar());
    EXPECT_TRUE(child<QToolButton>("ToolBtnSplit")->autoRaise());
}

TEST_F(MainLifecycleTest, SizeTextsOfFilesAndFreeSpace) {
    EXPECT_EQ(FileSizeText(1536), QStringLiteral("1.50 KB"));
    EXPECT_EQ(FileSizeText(1048576), QStringLiteral("1024.00 KB"));
    EXPECT_EQ(FileSizeText(1048577), QStringLiteral("1.00 MB"));
    EXPECT_EQ(FileSizeText(0), QStringLiteral("0.00 KB"));
    EXPECT_EQ(FileSizeText(2000000), QStringLiteral("1.91 MB"));
    EXPECT_EQ(FreeSpaceText(1500000), QStringLiteral("1.43 MB"));
    EXPECT_EQ(FreeSpaceText(524288), QStringLiteral("512.00 kb"));
    EXPECT_EQ(FreeSpaceText(-1), QStringLiteral("-0.00 kb"));
    EXPECT_EQ(FreeSpaceText(5LL * 1024 * 1024 * 1024), QStringLiteral("5120.00 MB"));
}

} // namespace
} // namespace dividra::ui
