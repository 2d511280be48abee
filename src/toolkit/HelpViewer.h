#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QPushButton;
class QTextBrowser;

// The program's help viewer. The help file is HTML; a topic starts at an anchor
// <a name="ID"></a> placed between block elements and runs to the next anchor, so each help
// context id has one anchor and the contents start at the anchor "contents".
namespace dividra::toolkit {

// The dynamic property of a control that holds its help context id (an int; 0 or absent: none),
// or the anchor of its topic as text.
inline constexpr char kHelpContextProperty[] = "helpContext";

// The help file of the program at `programPath`: the program's name with ".hlp" in place of its
// extension, beside the program (a build folder) or else in "../share/dividra/" from the
// program's folder (an installed program). The first that exists; the one beside the program
// when neither does, so a complaint names that.
QString helpFileFor(const QString& programPath);

// The running program's help file: helpFileFor its own path.
QString ProgramHelpFile();

// Opens the help window at the contents of `helpFile`, or brings it back to the contents when
// it is open. The window belongs to `owner`'s window, so it stays usable while that window is
// modal and goes with it. A file that can't be read gives one error message naming its path.
// Returns whether the help shows.
bool ShowHelpContents(const QString& helpFile, QWidget* owner = nullptr);

// Where a help window of frame size `size` opens for a window whose frame is `asker`, on the
// screen area `screen`: to its right when that fits, else to its left, else centred on it; kept
// on the screen as far as it fits.
QRect HelpWindowFrame(const QRect& asker, const QSize& size, const QRect& screen);

// Shows the topic of `contextId` as a What's This pop-up at `globalPos`, placed for `control`
// when one is given. Unknown ids show a pop-up saying there is no help; an unreadable file the
// error message. Returns whether the topic was found.
bool ShowHelpTopicPopup(const QString& helpFile, int contextId, const QPoint& globalPos,
                        QWidget* control = nullptr);
bool ShowHelpTopicPopup(const QString& helpFile, const QString& anchor, const QPoint& globalPos,
                        QWidget* control = nullptr);

// The topic anchor of `control`: its own, a label's buddy's, or else its nearest container's
// within its window; empty for none.
QString HelpTopicOf(const QWidget* control);

// The help context id of `control`'s topic; 0 when it has none or its topic is not an id.
int HelpContextOf(const QWidget* control);

// The pop-up of a control's topic at its top-left corner; nothing when it has none.
void ShowHelpPopup(QWidget* control, const QString& helpFile);

// Makes What's This on `window` (its title-bar help button) show the pop-up of the control
// clicked, Shift+F1 the pop-up of the control with the focus, and a right click offer "What's
// This?" (see InstallWhatsThisMenus). Install once per window; the filters live as long as the
// window.
void InstallHelpPopups(QWidget* window, const QString& helpFile);

// The HTML of one topic of a help text; empty when there is no such anchor.
QString HelpTopicHtml(const QString& html, const QString& anchor);
QString HelpTopicHtml(const QString& html, int contextId);

// Shows a pop-up topic: ShowHelpPopupWindow unless a display is installed. Tests install one;
// SetHelpPopupDisplay returns the previous one (see platform/Hook.h).
using HelpPopupDisplay =
    std::function<void(const QPoint& globalPos, const QString& html, QWidget* control)>;
HelpPopupDisplay SetHelpPopupDisplay(HelpPopupDisplay display);

// The help window: the help file in a browser with Contents, Back and Forward.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Loads the file (again) and shows its contents.
    void showContents(const QString& helpFile);
    QString helpFile() const { return m_helpFile; }
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
    QPushButton* m_contents;
    QPushButton* m_back;
    QPushButton* m_forward;
    QString m_helpFile;
};

// The help window now open, if any.
HelpWindow* CurrentHelpWindow();

} // namespace dividra::toolkit
