#include "toolkit/HelpPopup.h"

#include "toolkit/HelpViewer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace dividra::toolkit {
namespace {

constexpr int kMaxTextWidth = 320;
constexpr int kMargin = 6;

// Keeps [start, start + length) inside [low, high] where it fits, its start before all.
int clampedStart(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length + 1));
}

// A frame on the tooltip colours, like the pop-ups of the help viewer it stands for.
class PopupFrame : public QFrame {
public:
    explicit PopupFrame(const QString& html) : QFrame(nullptr, Qt::Popup) {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QStringLiteral("HelpPopup"));
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setPalette(QPalette(QPalette().color(QPalette::ToolTipText),
                            QPalette().color(QPalette::ToolTipBase)));
        setAutoFillBackground(true);
        auto* text = new QLabel(html, this);
        text->setObjectName(QStringLiteral("HelpPopupText"));
        text->setTextFormat(Qt::RichText);
        text->setWordWrap(true);
        QTextDocument measure;
        measure.setDefaultFont(text->font());
        measure.setHtml(html);
        text->setFixedWidth(std::min(kMaxTextWidth, static_cast<int>(measure.idealWidth()) + 1));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
        layout->addWidget(text);
        adjustSize();
    }

protected:
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }
};

// Shows "What's This?" on right clicks inside one window.
class WhatsThisMenus : public QObject {
public:
    WhatsThisMenus(QWidget* window, const QString& helpFile)
        : QObject(window), m_window(window), m_helpFile(helpFile) {
        // The application sees the click first, for disabled controls too, which take none.
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* control = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::ContextMenu || control == nullptr ||
            control->window() != m_window || HelpTopicOf(control).isEmpty()) {
            return false;
        }
        offerMenu(control, static_cast<QContextMenuEvent*>(event)->globalPos());
        event->accept();
        return true;
    }

private:
    void offerMenu(QWidget* control, const QPoint& at) {
        auto* edit = qobject_cast<QLineEdit*>(control);
        QMenu* menu = edit != nullptr && edit->isEnabled() ? edit->createStandardContextMenu()
                                                           : new QMenu(control);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->setObjectName(QStringLiteral("WhatsThisMenu"));
        if (!menu->isEmpty()) {
            menu->addSeparator();
        }
        QPointer<QWidget> asked(control);
        QAction* whatsThis = menu->addAction(QStringLiteral("What's This?"));
        connect(whatsThis, &QAction::triggered, this, [this, asked] {
            if (asked) {
                ShowHelpPopup(asked, m_helpFile);
            }
        });
        menu->popup(at);
    }

    QWidget* m_window;
    QString m_helpFile;
};

} // namespace

QRect HelpPopupFrame(const QPoint& anchor, const QSize& size, const QRect& dialog,
                     const QRect& screen) {
    QRect place(anchor, size);
    place.moveLeft(clampedStart(place.left(), size.width(), dialog.left(), dialog.right()));
    place.moveTop(clampedStart(place.top(), size.height(), dialog.top(), dialog.bottom()));
    place.moveLeft(clampedStart(place.left(), size.width(), screen.left(), screen.right()));
    place.moveTop(clampedStart(place.top(), size.height(), screen.top(), screen.bottom()));
    return place;
}

void ShowHelpPopupWindow(const QPoint& anchor, const QString& html, QWidget* control) {
    auto* popup = new PopupFrame(html);
    const QScreen* screen =
        control != nullptr ? control->screen() : QGuiApplication::screenAt(anchor);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area =
        screen != nullptr ? screen->availableGeometry() : QRect(anchor, popup->size());
    const QRect dialog = control != nullptr ? control->window()->geometry() : area;
    popup->move(HelpPopupFrame(anchor, popup->size(), dialog, area).topLeft());
    popup->show();
}

void InstallWhatsThisMenus(QWidget* window, const QString& helpFile) {
    new WhatsThisMenus(window, helpFile);
}

} // namespace dividra::toolkit
