#include "ui/UrlLabel.h"

#include "platform/Hook.h"

#include <QAction>
#include <QBitmap>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>

#include <array>
#include <utility>

namespace dividra::ui {
namespace {

// The pointing hand, drawn on its 32 x 32 grid: 'X' black, '.' white, blank transparent.
// Rows not listed are transparent.
constexpr std::array<const char*, 21> kHand{{
    "     XX",           "    X..X",          "    X..X",          "    X..X",
    "    X..X",          "    X..XXX",        "    X..X..XXX",     "    X..X..X..XXX",
    "    X..X..X..X..X", " XX X..X..X..X..X", "X..XX..X..X..X..X", "X...X...........X",
    " X..X...........X", " X..............X", "  X.............X", "  X.............X",
    "   X...........X",  "   X...........X",  "    X.........X",   "    X.........X",
    "    XXXXXXXXXXX",
}};

constexpr int kCursorSize = 32;

QCursor MakeHandCursor() {
    // QCursor's bitmap pair: black where bitmap and mask are set, white where only the mask is.
    QImage bitmap(kCursorSize, kCursorSize, QImage::Format_MonoLSB);
    QImage mask(kCursorSize, kCursorSize, QImage::Format_MonoLSB);
    for (QImage* image : {&bitmap, &mask}) {
        image->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // 1 = set bit (color1)
        image->fill(0);
    }
    for (int y = 0; y < static_cast<int>(kHand.size()); ++y) {
        const QLatin1StringView row(kHand[static_cast<std::size_t>(y)]);
        for (int x = 0; x < row.size(); ++x) {
            const char pixel = row.at(x).toLatin1();
            bitmap.setPixel(x, y, pixel == 'X' ? 1 : 0);
            mask.setPixel(x, y, pixel == ' ' ? 0 : 1);
        }
    }
    return QCursor(QBitmap::fromImage(bitmap), QBitmap::fromImage(mask), 5, 0);
}

void OpenThroughDesktop(const QString& target) {
    // Like the shell, take "www.example" and plain paths as well as full URLs.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

Hook<void(const QString&)> g_opener(OpenThroughDesktop);

} // namespace

TUrlLabel::TUrlLabel(QWidget* parent)
    : QLabel(parent), m_menu(new QMenu(this)),
      m_copyItem(new QAction(QStringLiteral("Copy"), m_menu)) {
    setTextFormat(Qt::PlainText);
    setCursor(HandCursor());
    setFontColor(QColor(0, 0, 255));
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    m_menu->setObjectName(QStringLiteral("PopupMenu"));
    m_copyItem->setObjectName(QStringLiteral("MnuCopy"));
    m_menu->addAction(m_copyItem);
    connect(m_copyItem, &QAction::triggered, this, [this] { CopyClick(); });
}

QColor TUrlLabel::fontColor() const {
    return palette().color(QPalette::WindowText);
}

void TUrlLabel::setFontColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

QString TUrlLabel::target() const {
    const QString chosen = m_url.trimmed().isEmpty() ? text() : m_url;
    return chosen.trimmed().isEmpty() ? QString() : chosen;
}

UrlOpener SetUrlOpener(UrlOpener opener) {
    return g_opener.set(std::move(opener));
}

const QCursor& TUrlLabel::HandCursor() {
    static const QCursor hand = MakeHandCursor();
    return hand;
}

void TUrlLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_leftDown) {
        m_leftDown = true;
        m_savedColor = fontColor();
        setFontColor(m_activeColor);
    }
    QLabel::mousePressEvent(event);
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_leftDown) {
        m_leftDown = false;
        setFontColor(m_savedColor);
        QLabel::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint())) {
            Click();
        }
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TUrlLabel::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
    event->accept();
}

void TUrlLabel::Click() {
    const QPointer<TUrlLabel> alive(this);
    emit clicked();
    if (!alive) {
        return; // the handler closed what held the link
    }
    const QString link = target();
    if (!link.isEmpty()) {
        g_opener(link);
    }
}

void TUrlLabel::CopyClick() {
    QGuiApplication::clipboard()->setText(text());
}

} // namespace dividra::ui
