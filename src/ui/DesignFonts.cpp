#include "ui/DesignFonts.h"

#include <QApplication>
#include <QDebug>
#include <QFontInfo>
#include <QFontMetrics>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <vector>

namespace dividra::ui {
namespace {

QFont designFont(const QStringList& families, int pixels) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

// Text with its mnemonic marks taken out, as a control draws it.
QString withoutMnemonics(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain.append(text[i]);
    }
    return plain;
}

int shortfall(const DesignCaption& caption, const QFont& font) {
    return CaptionWidth(QString::fromLatin1(caption.text), font) +
           CaptionMargins(caption.kind, font) + kCaptionSpare - caption.boxWidth;
}

int worstShortfall(const QFont& font, std::span<const DesignCaption> captions) {
    int worst = INT_MIN;
    for (const DesignCaption& caption : captions) {
        worst = std::max(worst, shortfall(caption, font));
    }
    return worst;
}

// A family asked for by name counts only when it is installed, not when another stands in.
bool installed(const QFont& font) {
    return font.families().contains(QFontInfo(font).family(), Qt::CaseInsensitive);
}

QFont stretched(QFont font, int stretch) {
    font.setStretch(stretch);
    return font;
}

// In order of likeness to the design: slight narrowing is hardly seen, a real narrow face
// reads better than a strongly squeezed one, and a smaller size changes the look the most.
std::vector<QFont> candidates(const QFont& design) {
    const QStringList narrowFamilies = {QStringLiteral("Liberation Sans Narrow"),
                                        QStringLiteral("Arial Narrow")};
    std::vector<QFont> fonts;
    for (const int pixels : {design.pixelSize(), design.pixelSize() - 1}) {
        QFont base = design;
        base.setPixelSize(pixels);
        for (const int stretch : {100, 96, 92}) {
            fonts.push_back(stretched(base, stretch));
        }
        QFont narrow = base;
        narrow.setFamilies(narrowFamilies);
        if (installed(narrow)) {
            fonts.push_back(narrow);
        }
        fonts.push_back(stretched(base, QFont::SemiCondensed));
    }
    return fonts;
}

// Every caption of the windows once, in its narrowest box. A label's box reaches to the control
// beside it, or to its parent's edge.
const DesignCaption kWindowCaptions[] = {
    {CaptionKind::PushButton, "Refresh", 47},
    {CaptionKind::Label, "File Name:", 54},
    {CaptionKind::Label, "File Type:", 54},
    {CaptionKind::Label, "File Size:", 54},
    {CaptionKind::CheckBox, "Erase Diskettes", 97},
    {CaptionKind::GroupBox, "Floppy Diskettes Needed For Split:", 180},
    {CaptionKind::Label, "High Density:", 80},
    {CaptionKind::Label, "Double Density:", 80},
    {CaptionKind::Label, "Free Space:", 62},
    {CaptionKind::GroupBox, "Options:", 180},
    {CaptionKind::Label, "Segment Size (kb):", 94},
    {CaptionKind::Label, "Custom Size (kb):", 96},
    {CaptionKind::Label, "Segment Count:", 102},
    {CaptionKind::GroupBox, "Destination:", 200},
    {CaptionKind::Label, "Default Destination Media:", 188},
    {CaptionKind::RadioButton, "Floppy Diskette", 160},
    {CaptionKind::RadioButton, "Hard Drive", 160},
    {CaptionKind::GroupBox, "When split is finished:", 357},
    {CaptionKind::RadioButton, "Do Nothing", 200},
    {CaptionKind::RadioButton, "Display Message", 200},
    {CaptionKind::CheckBox, "Play Sound:", 92},
    {CaptionKind::CheckBox, "Split files in DOS format (8.3)", 300},
    {CaptionKind::CheckBox, "Show source file icons", 300},
    {CaptionKind::Label, "Default Source Folder:", 136},
    {CaptionKind::GroupBox, "File Selection Filters:", 565},
    {CaptionKind::PushButton, "New", 75},
    {CaptionKind::PushButton, "Replace", 75},
    {CaptionKind::PushButton, "Delete", 75},
    {CaptionKind::PushButton, "Clear", 75},
    {CaptionKind::PushButton, "Move Up", 75},
    {CaptionKind::PushButton, "Move Down", 75},
    {CaptionKind::Label, "Default Floppy Drive:", 122},
    {CaptionKind::GroupBox, "When splitting to diskette and next diskette is needed:", 565},
    {CaptionKind::RadioButton, "Flash Window", 200},
    {CaptionKind::CheckBox, "Minimize program window while splitting file", 300},
    {CaptionKind::Label, "Default Destination Folder:", 168},
    {CaptionKind::Label, "Default Segment Size (kb):", 168},
    {CaptionKind::PushButton, "OK", 75},
    {CaptionKind::PushButton, "Cancel", 75},
    {CaptionKind::PushButton, "&Help", 75},
    {CaptionKind::Label, "Please send comments and suggestions to:", 261},
    {CaptionKind::Label, "Internet E-Mail:", 112},
    {CaptionKind::Label, "Compuserve Mail:", 112},
    {CaptionKind::Label, "World Wide Web:", 112},
};

const DesignCaption kTitleCaptions[] = {
    {CaptionKind::Label, "Select Source File:", 143},
    {CaptionKind::Label, "Select Destination:", 144},
};

} // namespace

QFont SansSerifFont(int pixels) {
    return designFont({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                       QStringLiteral("Arial")},
                      pixels);
}

QFont ArialFont(int pixels, bool bold) {
    QFont font = designFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixels);
    font.setBold(bold);
    return font;
}

int CaptionWidth(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    const QString plain = withoutMnemonics(text);
    const QRect ink = metrics.boundingRect(plain);
    return std::max(metrics.horizontalAdvance(plain), ink.x() + ink.width()) - std::min(0, ink.x());
}

int CaptionMargins(CaptionKind kind, const QFont& font) {
    const QStyle* style = QApplication::style();
    const QFontMetrics metrics(font);
    const QString sample = QStringLiteral("M");
    switch (kind) {
    case CaptionKind::Label:
        return 0;
    case CaptionKind::CheckBox:
    case CaptionKind::RadioButton: {
        QStyleOptionButton option;
        option.text = sample;
        option.fontMetrics = metrics;
        const auto type =
            kind == CaptionKind::CheckBox ? QStyle::CT_CheckBox : QStyle::CT_RadioButton;
        return style->sizeFromContents(type, &option, QSize(0, metrics.height()), nullptr).width();
    }
    case CaptionKind::PushButton:
        // Not the style's size from contents: that adds a minimum width, not room.
        return style->pixelMetric(QStyle::PM_ButtonMargin) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    case CaptionKind::GroupBox: {
        QStyleOptionGroupBox option;
        option.text = sample;
        option.fontMetrics = metrics;
        option.rect = QRect(0, 0, 1000, 100);
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, nullptr);
        // The title is inset as far from the right edge as from the left.
        return 2 * title.x() + title.width() - CaptionWidth(sample, font);
    }
    }
    return 0;
}

bool CaptionFits(const DesignCaption& caption, const QFont& font) {
    return shortfall(caption, font) <= 0;
}

QFont FittingFont(const QFont& design, std::span<const DesignCaption> captions) {
    const std::vector<QFont> fonts = candidates(design);
    const QFont* closest = &fonts.front();
    int closestShortfall = INT_MAX;
    for (const QFont& font : fonts) {
        const int worst = worstShortfall(font, captions);
        if (worst <= 0) {
            return font;
        }
        if (worst < closestShortfall) {
            closest = &font;
            closestShortfall = worst;
        }
    }
    qWarning("No font fits every caption; using %s at %d pixels, %d short",
             qPrintable(QFontInfo(*closest).family()), closest->pixelSize(), closestShortfall);
    return *closest;
}

QFont WindowFont() {
    static const QFont font = FittingFont(SansSerifFont(11), kWindowCaptions);
    return font;
}

QFont TitleFont() {
    static const QFont font = FittingFont(ArialFont(16, true), kTitleCaptions);
    return font;
}

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->geometry().center() - window.rect().center());
    }
}

} // namespace dividra::ui
