#include "ui/DesignFonts.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace dividra::ui {
namespace {

QFont designFont(const QStringList& families, int pixels) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

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

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->geometry().center() - window.rect().center());
    }
}

} // namespace dividra::ui
