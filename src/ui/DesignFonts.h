#pragma once

#include <QFont>
#include <QString>
#include <span>

class QWidget;

// The fonts the windows were designed with, and what stands in for them where they are missing.
namespace dividra::ui {

// "MS Sans Serif" at a pixel height, else the metric-compatible Liberation Sans, else Arial.
QFont SansSerifFont(int pixels);
// "Arial" at a pixel height, else Liberation Sans.
QFont ArialFont(int pixels, bool bold = false);

// The controls a caption is drawn in; each needs its own room beside the text.
enum class CaptionKind { Label, CheckBox, RadioButton, PushButton, GroupBox };

// A caption of the design and the width of the box it is drawn in.
struct DesignCaption {
    CaptionKind kind;
    const char* text;
    int boxWidth;
};

// Pixels a caption keeps free inside its box, so that no text touches an edge or its neighbour.
constexpr int kCaptionSpare = 2;

// The width of a caption's text as drawn: advance or ink, whichever is wider; '&' marks left out.
int CaptionWidth(const QString& text, const QFont& font);
// The pixels the application's style takes beside the text in a control of the kind: the
// indicator of a check box, the frame and margin of a button, the inset of a group's title.
int CaptionMargins(CaptionKind kind, const QFont& font);
// Whether the caption's text, its margins and kCaptionSpare fit in its box.
bool CaptionFits(const DesignCaption& caption, const QFont& font);

// The design font at its pixel height if every caption fits in it, else the first that fits of:
// the same family slightly narrowed, an installed narrow family, the family at SemiCondensed,
// then the same one pixel smaller. When none fits, the one that comes closest.
QFont FittingFont(const QFont& design, std::span<const DesignCaption> captions);

// The font of every window: SansSerifFont(11) fitted to the captions of all the windows.
// Chosen once, on first use, when the application's style is set.
QFont WindowFont();
// The bold 16-pixel Arial of the main window's panel titles, fitted to them likewise.
QFont TitleFont();

// Moves a window so that it stands in the middle of the primary screen.
void CentreOnScreen(QWidget& window);

} // namespace dividra::ui
