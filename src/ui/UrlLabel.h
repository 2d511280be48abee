#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace dividra::ui {

// Opens a link target: the desktop's URL handler unless an opener is installed. Tests install
// one; SetUrlOpener returns the previous one (see platform/Hook.h).
using UrlOpener = std::function<void(const QString& target)>;
UrlOpener SetUrlOpener(UrlOpener opener);

// A label that looks and acts like a hyperlink: blue and underlined, a pointing-hand cursor,
// ActiveColor while the left button is held on it, a click that opens URL (or the caption
// when URL is blank) through the URL opener, and a context menu whose "Copy" copies the caption.
class TUrlLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(QColor ActiveColor READ ActiveColor WRITE setActiveColor)

public:
    explicit TUrlLabel(QWidget* parent = nullptr);

    QString URL() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    QColor ActiveColor() const { return m_activeColor; }
    void setActiveColor(const QColor& color) { m_activeColor = color; }

    // The colour the text is drawn in.
    QColor fontColor() const;
    void setFontColor(const QColor& color);

    QMenu* contextMenu() const { return m_menu; }
    QAction* copyItem() const { return m_copyItem; }

    // What a click opens: URL exactly as stored unless it is blank, else the caption; empty
    // when that is blank too.
    QString target() const;

    // The 32 x 32 black-and-white pointing hand, hot spot at the fingertip (5, 0); built once.
    static const QCursor& HandCursor();

signals:
    // The ordinary click, emitted before the link opens.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Click();
    void CopyClick();

    QString m_url;
    QColor m_savedColor;
    QColor m_activeColor{128, 0, 128};
    QMenu* m_menu;
    QAction* m_copyItem;
    bool m_leftDown = false;
};

} // namespace dividra::ui
