#include "WindowFixture.h"

#include <QDir>
#include <QHeaderView>
#include <QTabWidget>
#include <QToolButton>

namespace dividra::ui {
namespace {

class MainLayoutTest : public test::WindowFixture {
protected:
    // Every control's geometry, to see what a pass moved.
    std::map<QString, QRect> geometries() const {
        std::map<QString, QRect> all;
        for (QWidget* widget : m_window->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && widget->objectName().at(0).isUpper()) {
                all[widget->objectName()] = widget->geometry();
            }
        }
        return all;
    }
    QHeaderView* header() const { return child<QHeaderView>("HeaderSource"); }
};

TEST_F(MainLayoutTest, ControlsStandAtTheirDesignPlaces) {
    shown();
    EXPECT_EQ(m_window->size(), QSize(598, 19 + 383));
    EXPECT_EQ(at("PnlSourceBack"), QRect(0, 19 + 28, 386, 336));
    EXPECT_EQ(at("PnlDestBack"), QRect(386, 19 + 28, 212, 336));
    EXPECT_EQ(at("StatusBar"), QRect(0, 19 + 364, 598, 19));
    EXPECT_EQ(at("StatProgress"), QRect(598 - 184, 0, 184, 19));
    EXPECT_EQ(at("PnlSourceFrame"), QRect(6, 28, 374, 303));
    EXPECT_EQ(at("HeaderSource"), QRect(6, 6, 362, 20));
    EXPECT_EQ(at("ComboSource"), QRect(6, 30, 130, 22));
    EXPECT_EQ(at("BtnSrcRefresh"), QRect(138, 30, 47, 22));
    EXPECT_EQ(at("DirListSource"), QRect(6, 56, 180, 167));
    EXPECT_EQ(at("FileListSource"), QRect(188, 30, 181, 193)); // its column's width
    EXPECT_EQ(at("TxtFileName"), QRect(60, 227, 308, 21));
    EXPECT_EQ(at("FilterSource"), QRect(60, 252, 308, 21));
    EXPECT_EQ(at("PageDest"), QRect(6, 28, 200, 303));
    EXPECT_EQ(at("ComboDestFD"), QRect(6, 6, 180, 22));
    EXPECT_EQ(at("GrpFloppyStats"), QRect(6, 55, 180, 216));
    EXPECT_EQ(at("DirListDest"), QRect(6, 32, 180, 124));
    EXPECT_EQ(at("GrpHDOptions"), QRect(6, 182, 180, 72));
    EXPECT_EQ(at("ComboSegment"), QRect(100, 18, 74, 21));
    EXPECT_EQ(at("TxtCustom"), QRect(100, 43, 74, 21));
    EXPECT_EQ(at("PnlFreeHDSpace"), QRect(6, 160, 180, 21));
    EXPECT_EQ(at("Img525DD"), QRect(6, 159, 32, 32));
    EXPECT_EQ(at("LblSegCnt").topLeft(), QPoint(108, 260));
    EXPECT_EQ(header()->sectionSize(0), 181);
    EXPECT_EQ(header()->sectionSize(1), 181);
}

TEST_F(MainLayoutTest, ALayoutPassAtTheDesignSizeMovesNothing) {
    shown();
    const auto before = geometries();
    m_window->FormResize();
    EXPECT_EQ(geometries(), before);
}

TEST_F(MainLayoutTest, EnlargingGrowsTheListsAndMovesTheDetails) {
    shown();
    const auto before = geometries();
    m_window->resize(m_window->width() + 100, m_window->height() + 50);
    QApplication::processEvents();
    const auto after = geometries();
    auto grew = [&](const char* name) {
        const QString key = QString::fromLatin1(name);
        return QSize(after.at(key).width() - before.at(key).width(),
                     after.at(key).height() - before.at(key).height());
    };
    auto moved = [&](const char* name) {
        const QString key = QString::fromLatin1(name);
        return after.at(key).topLeft() - before.at(key).topLeft();
    };
    EXPECT_EQ(grew("DirListSource"), QSize(0, 50));
    EXPECT_EQ(grew("FileListSource"), QSize(100, 50));
    EXPECT_EQ(grew("DirListDest"), QSize(0, 50));
    EXPECT_EQ(grew("PageDest"), QSize(0, 50));
    EXPECT_EQ(grew("PnlSourceFrame"), QSize(100, 50));
    EXPECT_EQ(grew("TxtFileName"), QSize(100, 0));
    EXPECT_EQ(grew("StatText"), QSize(100, 0));
    for (const char* name : {"TxtFileName", "FilterSource", "LblFileName", "LblFileSizeData",
                             "PnlFreeHDSpace", "GrpHDOptions", "LblSegments", "LblSegCnt"}) {
        EXPECT_EQ(moved(name), QPoint(0, 50)) << name;
    }
    EXPECT_EQ(moved("PnlDestBack"), QPoint(100, 0));
    EXPECT_EQ(moved("ComboDestFD"), QPoint(0, 0));
    EXPECT_EQ(header()->sectionSize(0), 181);
    EXPECT_EQ(header()->sectionSize(1), 281);
}

TEST_F(MainLayoutTest, DraggingTheDividerMovesTheSourceControls) {
    shown();
    header()->resizeSection(0, 221);
    EXPECT_EQ(at("ComboSource"), QRect(6, 30, 170, 22));
    EXPECT_EQ(at("BtnSrcRefresh"), QRect(178, 30, 47, 22));
    EXPECT_EQ(at("DirListSource").width(), 220);
    EXPECT_EQ(at("FileListSource").left(), 221 + 6 + 1);
    EXPECT_EQ(at("FileListSource").width(), 362 - 221);
    header()->resizeSection(0, 300);
    EXPECT_EQ(header()->sectionSize(1), 100);
    EXPECT_EQ(header()->sectionSize(0), 262);
    header()->resizeSection(0, 50);
    EXPECT_EQ(header()->sectionSize(0), 120);
}

TEST_F(MainLayoutTest, TheWindowCantShrinkBelowItsDesignSize) {
    shown();
    m_window->resize(300, 200);
    EXPECT_EQ(m_window->size(), QSize(598, 402));
}

TEST_F(MainLayoutTest, AGrabOfTheWindowAtItsDesignSize) {
    shown();
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/main-window.png");
    EXPECT_TRUE(m_window->grab().save(path));
}

TEST_F(MainLayoutTest, GrabsWithAFilePickedOnEachDestinationPage) {
    m_fs.putFile("c:\\data\\archive.zip", std::string(3000000, 'x'));
    TFrmMain& window = shown();
    window.OpenSourceFile(QStringLiteral("c:\\data\\archive.zip"));
    ASSERT_TRUE(window.ToolBtnSplit->isEnabled());
    const QString folder = QCoreApplication::applicationDirPath();
    EXPECT_TRUE(window.grab().save(folder + QStringLiteral("/main-window-floppy.png")));
    window.PageDest->setCurrentWidget(window.TabDestHD);
    EXPECT_TRUE(window.grab().save(folder + QStringLiteral("/main-window-hard-drive.png")));
}

} // namespace
} // namespace dividra::ui
