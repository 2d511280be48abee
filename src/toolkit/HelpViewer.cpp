#include "toolkit/HelpViewer.h"

#include "platform/Hook.h"
#include "toolkit/HelpPopup.h"
#include "util/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace dividra::toolkit {
namespace {

Hook<void(const QPoint&, const QString&, QWidget*)> g_popupDisplay(ShowHelpPopupWindow);

QPointer<HelpWindow>& OpenWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

// The help text, or nothing after telling the user which file is missing.
std::optional<QString> ReadHelpFile(const QString& helpFile) {
    QFile file(helpFile);
    if (!QFileInfo(helpFile).isFile() || !file.open(QIODevice::ReadOnly)) {
        ShowErrorMessage("Cannot open the help file\n" + helpFile.toStdString());
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

// Shows the pop-up topic of the control clicked in What's This mode.
class HelpPopupFilter : public QObject {
public:
    HelpPopupFilter(QWidget* window, const QString& helpFile)
        : QObject(window), m_window(window), m_helpFile(helpFile) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched != m_window) {
            return false;
        }
        if (type == QEvent::KeyPress) {
            return focusHelp(static_cast<QKeyEvent*>(event));
        }
        if (type != QEvent::WhatsThis && type != QEvent::QueryWhatsThis) {
            return false;
        }
        // Controls without text of their own pass the event up to the window; the control is
        // the one under the pointer.
        QWidget* control = m_window->childAt(static_cast<QHelpEvent*>(event)->pos());
        if (control == nullptr) {
            control = m_window;
        }
        if (HelpTopicOf(control).isEmpty()) {
            return false;
        }
        if (type == QEvent::WhatsThis) {
            ShowHelpPopup(control, m_helpFile);
        }
        event->accept();
        return true;
    }

private:
    // Shift+F1: the pop-up of the control with the focus, for window managers without a
    // title-bar help button.
    bool focusHelp(const QKeyEvent* key) {
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::ShiftModifier) {
            return false;
        }
        QWidget* focus = QApplication::focusWidget();
        ShowHelpPopup(focus != nullptr && m_window->isAncestorOf(focus) ? focus : m_window,
                      m_helpFile);
        return true;
    }

    QWidget* m_window;
    QString m_helpFile;
};

// A widget's own topic; a label stands for the control it names.
QString ownTopic(const QWidget* widget) {
    const QVariant value = widget->property(kHelpContextProperty);
    bool isNumber = false;
    const int id = value.toInt(&isNumber);
    if (isNumber) {
        return id != 0 ? QString::number(id) : QString();
    }
    if (!value.toString().isEmpty()) {
        return value.toString();
    }
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label != nullptr && label->buddy() != nullptr ? HelpTopicOf(label->buddy()) : QString();
}

// A new help window opens by the window that asked, not over it at the screen's corner.
void placeBeside(HelpWindow& help, const QWidget* asker) {
    const QScreen* screen = asker != nullptr ? asker->screen() : nullptr;
    if (screen == nullptr || !asker->isVisible()) {
        return;
    }
    // The help window's frame will be as thick as the asker's.
    const QSize frame = asker->frameGeometry().size() - asker->geometry().size();
    const QRect place =
        HelpWindowFrame(asker->frameGeometry(), help.size() + frame, screen->availableGeometry());
    help.move(place.topLeft());
}

} // namespace

QRect HelpWindowFrame(const QRect& asker, const QSize& size, const QRect& screen) {
    QRect place(QPoint(), size);
    if (asker.right() + size.width() <= screen.right()) {
        place.moveTopLeft(QPoint(asker.right() + 1, asker.top()));
    } else if (asker.left() - size.width() >= screen.left()) {
        place.moveTopLeft(QPoint(asker.left() - size.width(), asker.top()));
    } else {
        place.moveCenter(asker.center());
    }
    // On the screen as far as it fits; its top-left corner before all.
    place.moveLeft(
        std::max(screen.left(), std::min(place.left(), screen.right() - size.width() + 1)));
    place.moveTop(
        std::max(screen.top(), std::min(place.top(), screen.bottom() - size.height() + 1)));
    return place;
}

QString helpFileFor(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString name = program.completeBaseName() + QStringLiteral(".hlp");
    const QString beside = program.absolutePath() + QLatin1Char('/') + name;
    const QString installed =
        QDir::cleanPath(program.absolutePath() + QStringLiteral("/../share/dividra/") + name);
    return !QFileInfo(beside).isFile() && QFileInfo(installed).isFile() ? installed : beside;
}

QString ProgramHelpFile() {
    return helpFileFor(QCoreApplication::applicationFilePath());
}

bool ShowHelpContents(const QString& helpFile, QWidget* owner) {
    if (!ReadHelpFile(helpFile)) {
        return false;
    }
    QWidget* ownerWindow = owner != nullptr ? owner->window() : nullptr;
    QPointer<HelpWindow>& window = OpenWindow();
    if (window && ownerWindow != window && window->parentWidget() != ownerWindow) {
        // A modal owner blocks every window but its own.
        window->setParent(ownerWindow, window->windowFlags());
    }
    if (!window) {
        window = new HelpWindow(ownerWindow);
        placeBeside(*window, ownerWindow);
    }
    window->showContents(helpFile);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

bool ShowHelpTopicPopup(const QString& helpFile, int contextId, const QPoint& globalPos,
                        QWidget* control) {
    return ShowHelpTopicPopup(helpFile, QString::number(contextId), globalPos, control);
}

bool ShowHelpTopicPopup(const QString& helpFile, const QString& anchor, const QPoint& globalPos,
                        QWidget* control) {
    const std::optional<QString> html = ReadHelpFile(helpFile);
    if (!html) {
        return false;
    }
    QString topic = HelpTopicHtml(*html, anchor);
    const bool found = !topic.isEmpty();
    if (!found) {
        topic = QStringLiteral("<p>There is no help on this item.</p>");
    }
    g_popupDisplay(globalPos,
                   QStringLiteral("<html><body>") + topic + QStringLiteral("</body></html>"),
                   control);
    return found;
}

QString HelpTopicOf(const QWidget* control) {
    for (const QWidget* widget = control; widget != nullptr; widget = widget->parentWidget()) {
        const QString topic = ownTopic(widget);
        if (!topic.isEmpty()) {
            return topic;
        }
        if (widget->isWindow()) {
            break;
        }
    }
    return {};
}

int HelpContextOf(const QWidget* control) {
    return HelpTopicOf(control).toInt();
}

void ShowHelpPopup(QWidget* control, const QString& helpFile) {
    const QString topic = HelpTopicOf(control);
    if (!topic.isEmpty()) {
        ShowHelpTopicPopup(helpFile, topic, control->mapToGlobal(QPoint(0, 0)), control);
    }
}

void InstallHelpPopups(QWidget* window, const QString& helpFile) {
    window->installEventFilter(new HelpPopupFilter(window, helpFile));
    InstallWhatsThisMenus(window, helpFile);
}

QString HelpTopicHtml(const QString& html, const QString& anchor) {
    static const QRegularExpression anyAnchor(
        QStringLiteral("<a\\s+name\\s*=\\s*\"([^\"]*)\"\\s*>\\s*</a>"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatchIterator anchors = anyAnchor.globalMatch(html);
    while (anchors.hasNext()) {
        const QRegularExpressionMatch found = anchors.next();
        if (found.captured(1) != anchor) {
            continue;
        }
        const qsizetype start = found.capturedEnd();
        const QRegularExpressionMatch next = anyAnchor.match(html, start);
        qsizetype end = next.hasMatch()
                            ? next.capturedStart()
                            : html.indexOf(QStringLiteral("</body>"), start, Qt::CaseInsensitive);
        if (end < 0) {
            end = html.size();
        }
        return html.mid(start, end - start).trimmed();
    }
    return {};
}

QString HelpTopicHtml(const QString& html, int contextId) {
    return HelpTopicHtml(html, QString::number(contextId));
}

HelpPopupDisplay SetHelpPopupDisplay(HelpPopupDisplay display) {
    return g_popupDisplay.set(std::move(display));
}

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), m_browser(new QTextBrowser(this)),
      m_contents(new QPushButton(QStringLiteral("&Contents"), this)),
      m_back(new QPushButton(QStringLiteral("&Back"), this)),
      m_forward(new QPushButton(QStringLiteral("&Forward"), this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window, not with the help.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Help"));
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setOpenExternalLinks(true);
    m_contents->setObjectName(QStringLiteral("BtnContents"));
    m_back->setObjectName(QStringLiteral("BtnBack"));
    m_forward->setObjectName(QStringLiteral("BtnForward"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(640, 520);

    connect(m_contents, &QPushButton::clicked, this, [this] { showContents(m_helpFile); });
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showContents(const QString& helpFile) {
    if (helpFile != m_helpFile) {
        m_helpFile = helpFile;
        m_browser->clearHistory();
    }
    // The contents open the file: the file without an anchor shows from its top.
    m_browser->setSource(QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath()),
                         QTextDocument::HtmlResource);
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Help") : title);
}

HelpWindow* CurrentHelpWindow() {
    return OpenWindow();
}

} // namespace dividra::toolkit
