#include "toolkit/HelpViewer.h"
#include "support/ScopedHook.h"
#include "support/ScriptedMessageBoxes.h"
#include "toolkit/HelpPopup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace dividra::toolkit {
namespace {

const QString kHelpFile = QStringLiteral(DIVIDRA_HELP_SOURCE);

// Every help context id the options dialog's controls carry.
std::vector<int> OptionsContextIds() {
    std::vector<int> ids;
    for (const auto& [first, last] :
         {std::pair{2001, 2006}, {2101, 2111}, {2201, 2207}, {2301, 2304}, {2900, 2902}}) {
        for (int id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    }
    return ids;
}

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct Popup {
    QPoint at;
    QString html;
    QWidget* control = nullptr;
};

// Records pop-ups instead of showing them, with scripted message boxes.
class HelpViewerTest : public ::testing::Test {
protected:
    ~HelpViewerTest() override { delete CurrentHelpWindow(); }

    test::ScopedScriptedMessageBoxes m_boxes;
    std::vector<Popup> m_popups;
    test::ScopedHook<HelpPopupDisplay> m_display{
        SetHelpPopupDisplay, [this](const QPoint& at, const QString& html, QWidget* control) {
            m_popups.push_back({at, html, control});
        }};
};

// The destination group of the options dialog's first page: the group carries the id.
struct DestinationGroup {
    DestinationGroup() {
        group->setProperty(kHelpContextProperty, 2001);
        floppy->move(10, 20);
        hard->move(10, 40);
        button->setProperty(kHelpContextProperty, 2900);
        button->move(10, 200);
        unlabelled->move(100, 200);
        dialog.resize(300, 240);
        group->setGeometry(5, 5, 200, 80);
    }
    QDialog dialog;
    QGroupBox* group = new QGroupBox(QStringLiteral("Destination:"), &dialog);
    QRadioButton* floppy = new QRadioButton(QStringLiteral("Floppy Diskette"), group);
    QRadioButton* hard = new QRadioButton(QStringLiteral("Hard Drive"), group);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), &dialog);
    QPushButton* unlabelled = new QPushButton(QStringLiteral("None"), &dialog);
};

TEST(HelpFileTest, EveryContextIdHasATopicOfItsOwn) {
    const QString html = ReadAll(kHelpFile);
    ASSERT_FALSE(html.isEmpty()) << kHelpFile.toStdString();
    QSet<QString> topics;
    for (const int id : OptionsContextIds()) {
        const QString topic = HelpTopicHtml(html, id);
        EXPECT_TRUE(topic.startsWith(QStringLiteral("<h3>"))) << id;
        EXPECT_GT(topic.size(), 80) << id;
        EXPECT_FALSE(topic.contains(QStringLiteral("href")))
            << id << ": pop-ups can't follow links";
        topics.insert(topic);
    }
    EXPECT_EQ(topics.size(), static_cast<qsizetype>(OptionsContextIds().size()));
}

TEST(HelpFileTest, EveryLinkFindsItsAnchor) {
    const QString html = ReadAll(kHelpFile);
    EXPECT_FALSE(HelpTopicHtml(html, QStringLiteral("contents")).isEmpty());
    EXPECT_FALSE(HelpTopicHtml(html, QStringLiteral("pages")).isEmpty()); // the option tabs
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (const QRegularExpressionMatch& found : link.globalMatch(html)) {
        EXPECT_FALSE(HelpTopicHtml(html, found.captured(1)).isEmpty())
            << found.captured(1).toStdString();
        ++links;
    }
    EXPECT_GE(links, 10);
}

TEST(HelpTopicTest, ATopicRunsFromItsAnchorToTheNext) {
    const QString html =
        QStringLiteral("<html><body><a name=\"contents\"></a><h1>Help</h1>"
                       "<a name=\"2001\"></a><h3>One</h3><p>first</p>\n"
                       "<a name=\"20010\"></a><h3>Ten</h3>"
                       "<A NAME=\"2002\"> </A><h3>Two</h3><p>last</p></body></html>");
    EXPECT_EQ(HelpTopicHtml(html, 2001), QStringLiteral("<h3>One</h3><p>first</p>"));
    EXPECT_EQ(HelpTopicHtml(html, 2002), QStringLiteral("<h3>Two</h3><p>last</p>"));
    EXPECT_EQ(HelpTopicHtml(html, 20010), QStringLiteral("<h3>Ten</h3>"));
    EXPECT_EQ(HelpTopicHtml(html, 2003), QString());
}

TEST(HelpContextTest, AControlWithoutAnIdTakesItsNearestContainers) {
    DestinationGroup page;
    EXPECT_EQ(HelpContextOf(page.floppy), 2001);
    EXPECT_EQ(HelpContextOf(page.hard), 2001);
    EXPECT_EQ(HelpContextOf(page.button), 2900);
    EXPECT_EQ(HelpContextOf(page.unlabelled), 0);
    EXPECT_EQ(HelpContextOf(nullptr), 0);

    // A window's id is not lent to another window.
    QWidget owner;
    owner.setProperty(kHelpContextProperty, 2902);
    QDialog child(&owner);
    EXPECT_EQ(HelpContextOf(&child), 0);
}

TEST_F(HelpViewerTest, PopupOnEitherDestinationButtonShowsTopic2001) {
    const QString topic = HelpTopicHtml(ReadAll(kHelpFile), 2001);
    DestinationGroup page;
    for (QRadioButton* radio : {page.floppy, page.hard}) {
        m_popups.clear();
        ShowHelpPopup(radio, kHelpFile);
        ASSERT_EQ(m_popups.size(), 1U);
        EXPECT_TRUE(m_popups[0].html.contains(topic));
        EXPECT_EQ(m_popups[0].at, radio->mapToGlobal(QPoint(0, 0)));
        EXPECT_EQ(m_popups[0].control, radio);
    }
    m_popups.clear();
    ShowHelpPopup(page.unlabelled, kHelpFile);
    EXPECT_TRUE(m_popups.empty());
    EXPECT_TRUE(m_boxes.boxes().empty());
}

TEST_F(HelpViewerTest, WhatsThisClickOnAControlShowsItsTopic) {
    DestinationGroup page;
    InstallHelpPopups(&page.dialog, kHelpFile);
    page.dialog.show();
    const QString topic = HelpTopicHtml(ReadAll(kHelpFile), 2001);

    const QPoint inside(5, 5);
    QHelpEvent query(QEvent::QueryWhatsThis, inside, page.hard->mapToGlobal(inside));
    QApplication::sendEvent(page.hard, &query);
    EXPECT_TRUE(query.isAccepted());
    QHelpEvent click(QEvent::WhatsThis, inside, page.hard->mapToGlobal(inside));
    QApplication::sendEvent(page.hard, &click);
    ASSERT_EQ(m_popups.size(), 1U);
    EXPECT_TRUE(m_popups[0].html.contains(topic));
    EXPECT_EQ(m_popups[0].control, page.hard);

    QHelpEvent none(QEvent::QueryWhatsThis, inside, page.unlabelled->mapToGlobal(inside));
    QApplication::sendEvent(page.unlabelled, &none);
    EXPECT_FALSE(none.isAccepted());
}

TEST_F(HelpViewerTest, ShiftF1ShowsTheTopicOfTheFocusedControl) {
    DestinationGroup page;
    InstallHelpPopups(&page.dialog, kHelpFile);
    page.dialog.show();
    QApplication::setActiveWindow(&page.dialog);
    page.floppy->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), page.floppy);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
    QApplication::sendEvent(page.floppy, &key);
    ASSERT_EQ(m_popups.size(), 1U);
    EXPECT_EQ(m_popups[0].control, page.floppy);
}

// Right clicks reach disabled controls and labels too; an edit keeps its own menu above.
TEST_F(HelpViewerTest, ARightClickOffersWhatsThisForAnyControlWithATopic) {
    DestinationGroup page;
    auto* label = new QLabel(QStringLiteral("Sound:"), &page.dialog);
    auto* edit = new QLineEdit(&page.dialog);
    edit->setProperty(kHelpContextProperty, 2005);
    label->setBuddy(edit);
    label->setGeometry(100, 100, 60, 20);
    edit->setGeometry(160, 100, 100, 20);
    page.hard->setEnabled(false);
    InstallHelpPopups(&page.dialog, kHelpFile);
    page.dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page.dialog));
    const struct {
        QWidget* control;
        QWidget* shownFor;
        int topic;
        bool editActions;
    } rows[] = {
        {page.hard, page.hard, 2001, false}, {label, label, 2005, false}, {edit, edit, 2005, true}};
    for (const auto& row : rows) {
        m_popups.clear();
        const QPoint at = row.control->mapTo(&page.dialog, QPoint(5, 5));
        QTest::mouseClick(page.dialog.windowHandle(), Qt::RightButton, {}, at);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << row.topic;
        const QList<QAction*> actions = menu->actions();
        EXPECT_EQ(actions.size() > 1, row.editActions) << row.topic;
        ASSERT_EQ(actions.back()->text(), QStringLiteral("What's This?"));
        actions.back()->trigger();
        menu->close();
        ASSERT_EQ(m_popups.size(), 1U) << row.topic;
        EXPECT_TRUE(m_popups[0].html.contains(HelpTopicHtml(ReadAll(kHelpFile), row.topic)));
        EXPECT_EQ(m_popups[0].control, row.shownFor);
    }
    QTest::mouseClick(page.dialog.windowHandle(), Qt::RightButton, {},
                      page.unlabelled->mapTo(&page.dialog, QPoint(5, 5)));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// At the control's corner; inside the dialog where it fits there, always inside the screen.
TEST(HelpPopupFrameTest, OpensAtTheControlKeptInsideDialogThenScreen) {
    const QRect screen(0, 0, 1024, 768);
    const QRect dialog(200, 100, 605, 299);
    const struct {
        QPoint anchor;
        QSize size;
        QPoint expected;
    } rows[] = {
        {{220, 130}, {300, 80}, {220, 130}},  // fits where it is
        {{700, 130}, {300, 80}, {505, 130}},  // would hang out on the right
        {{220, 380}, {300, 80}, {220, 319}},  // would hang out below
        {{220, 130}, {700, 80}, {200, 130}},  // wider than the dialog: its left edge
        {{220, 130}, {300, 400}, {220, 100}}, // taller: its top edge
        {{900, 700}, {300, 200}, {505, 199}}, // out of both: in the dialog
        {{10, 10}, {300, 80}, {200, 100}},    // left of and above the dialog
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HelpPopupFrame(row.anchor, row.size, dialog, screen),
                  QRect(row.expected, row.size))
            << row.anchor.x() << "," << row.anchor.y();
    }
    // A dialog off the screen's edge: the screen wins.
    EXPECT_EQ(HelpPopupFrame({900, 10}, {300, 80}, QRect(800, 0, 605, 299), screen),
              QRect(QPoint(724, 10), QSize(300, 80)));
}

TEST_F(HelpViewerTest, UnknownIdShowsThatThereIsNoHelp) {
    EXPECT_FALSE(ShowHelpTopicPopup(kHelpFile, 4711, QPoint(1, 2)));
    ASSERT_EQ(m_popups.size(), 1U);
    EXPECT_TRUE(m_popups[0].html.contains(QStringLiteral("no help")));
}

TEST_F(HelpViewerTest, MissingFileGivesOneMessageNamingIt) {
    const QString missing = QStringLiteral("/nonexistent/dividra-test/dividra.hlp");
    EXPECT_FALSE(ShowHelpContents(missing));
    EXPECT_FALSE(ShowHelpTopicPopup(missing, 2001, QPoint()));
    ASSERT_EQ(m_boxes.boxes().size(), 2U);
    EXPECT_EQ(m_boxes.boxes()[0].text,
              "Cannot open the help file\n/nonexistent/dividra-test/dividra.hlp");
    EXPECT_EQ(m_boxes.boxes()[0].flags & MB_ICONMASK, MB_ICONSTOP);
    EXPECT_TRUE(m_popups.empty());
    EXPECT_EQ(CurrentHelpWindow(), nullptr);
}

TEST_F(HelpViewerTest, ContentsOpenOnceAndReturnToTheTop) {
    QWidget owner;
    owner.resize(200, 100);
    owner.show();
    ASSERT_TRUE(ShowHelpContents(kHelpFile, &owner));
    HelpWindow* window = CurrentHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), &owner);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Dividra Help"));
    QTextBrowser* browser = window->browser();
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Splitting to diskettes")));

    QUrl topic = browser->source();
    topic.setFragment(QStringLiteral("2304"));
    browser->setSource(topic);
    QApplication::processEvents();
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);

    ASSERT_TRUE(ShowHelpContents(kHelpFile, &owner));
    EXPECT_EQ(CurrentHelpWindow(), window);
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(m_boxes.boxes().empty());
}

TEST_F(HelpViewerTest, AModalOwnerTakesTheWindowOver) {
    QWidget main;
    ASSERT_TRUE(ShowHelpContents(kHelpFile, &main));
    HelpWindow* window = CurrentHelpWindow();
    {
        QDialog options(&main);
        options.setModal(true);
        options.show();
        ASSERT_TRUE(ShowHelpContents(kHelpFile, &options));
        EXPECT_EQ(CurrentHelpWindow(), window);
        EXPECT_EQ(window->parentWidget(), &options);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(CurrentHelpWindow(), nullptr); // gone with the dialog
}

struct Placement {
    const char* what;
    QRect asker;
    QPoint expected;
};

TEST(HelpWindowFrameTest, BesideTheAskerWhereItFitsElseCentredOnIt) {
    const QRect screen(0, 0, 1024, 768);
    const QSize size(300, 200);
    const Placement cases[] = {
        {"right", QRect(100, 50, 400, 300), QPoint(500, 50)},
        {"left, no room right", QRect(600, 50, 400, 300), QPoint(300, 50)},
        {"centred, no room either side", QRect(100, 100, 824, 400), QPoint(362, 200)},
        {"right, pulled up onto the screen", QRect(100, 700, 400, 60), QPoint(500, 568)},
        {"centred, pulled down onto the screen", QRect(-50, -50, 1100, 100), QPoint(350, 0)},
    };
    for (const Placement& row : cases) {
        EXPECT_EQ(HelpWindowFrame(row.asker, size, screen), QRect(row.expected, size)) << row.what;
    }
    // A screen that doesn't start at the origin.
    EXPECT_EQ(HelpWindowFrame(QRect(1100, 0, 200, 100), size, QRect(1024, 0, 800, 600)),
              QRect(QPoint(1300, 0), size));
}

TEST_F(HelpViewerTest, ContentsOpenBesideTheWindowThatAsked) {
    QWidget owner;
    owner.setGeometry(50, 40, 100, 80);
    owner.show();
    QApplication::processEvents();
    ASSERT_TRUE(ShowHelpContents(kHelpFile, &owner));
    HelpWindow* window = CurrentHelpWindow();
    ASSERT_NE(window, nullptr);
    const QRect asker = owner.frameGeometry();
    const QRect screen = owner.screen()->availableGeometry();
    ASSERT_LE(asker.right() + window->frameGeometry().width(), screen.right());
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(asker.right() + 1, asker.top()));
    window->close();
}

TEST(ProgramHelpFileTest, IsTheProgramsPathWithHlp) {
    EXPECT_EQ(ProgramHelpFile(), QCoreApplication::applicationDirPath() +
                                     QStringLiteral("/dividra_toolkit_tests.hlp"));
}

TEST(ProgramHelpFileTest, BesideTheProgramElseInstalledElseBeside) {
    struct Case {
        bool beside;
        bool installed;
        const char* found;
    };
    for (const Case& c :
         {Case{true, true, "/prefix/bin/tool.hlp"},
          Case{false, true, "/prefix/share/dividra/tool.hlp"},
          Case{true, false, "/prefix/bin/tool.hlp"}, Case{false, false, "/prefix/bin/tool.hlp"}}) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("prefix/bin")));
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("prefix/share/dividra")));
        const auto make = [&](const char* file) {
            QFile hlp(root.path() + QString::fromLatin1(file));
            ASSERT_TRUE(hlp.open(QIODevice::WriteOnly));
        };
        if (c.beside) {
            make("/prefix/bin/tool.hlp");
        }
        if (c.installed) {
            make("/prefix/share/dividra/tool.hlp");
        }
        EXPECT_EQ(helpFileFor(root.path() + QStringLiteral("/prefix/bin/tool")),
                  root.path() + QString::fromLatin1(c.found))
            << "beside " << c.beside << ", installed " << c.installed;
    }
}

} // namespace
} // namespace dividra::toolkit
