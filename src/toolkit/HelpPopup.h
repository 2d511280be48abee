#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The pop-up help topic and the right-click way to it.
namespace dividra::toolkit {

// Where a pop-up of `size` opens for a control whose top-left corner is `anchor`: at that
// corner, moved inside `dialog` (the control's window) as far as it fits there, then inside
// `screen`, its top-left corner before all.
QRect HelpPopupFrame(const QPoint& anchor, const QSize& size, const QRect& dialog,
                     const QRect& screen);

// Shows `html` in a pop-up window at `anchor` (placed by HelpPopupFrame for `control`'s window
// when one is given). A click anywhere or any key closes it; it deletes itself.
void ShowHelpPopupWindow(const QPoint& anchor, const QString& html, QWidget* control);

// Offers "What's This?" on a right click at any control of `window`, disabled ones and labels
// included: a line edit's own menu gains it below a separator. The action shows the pop-up of
// the control's topic from `helpFile`. Controls without a topic offer nothing. Install once per
// window; the filter lives as long as the window.
void InstallWhatsThisMenus(QWidget* window, const QString& helpFile);

} // namespace dividra::toolkit
