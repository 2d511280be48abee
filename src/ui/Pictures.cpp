#include "ui/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <array>
#include <span>

// The resources may sit in a static library: their initializer is a global function, so it is
// called from outside any namespace.
static void InitPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace dividra::ui {
namespace {

// One drawing of a picture: its file in the resources and the pixel grid it was drawn on.
struct Drawing {
    const char* file;
    int grid;
};

constexpr std::array<Drawing, 1> kSplit{{{"split.svg", 16}}};
constexpr std::array<Drawing, 1> kOptions{{{"options.svg", 16}}};
constexpr std::array<Drawing, 1> kHelp{{{"help.svg", 16}}};
constexpr std::array<Drawing, 1> kExit{{{"exit.svg", 16}}};
constexpr std::array<Drawing, 1> kDos83{{{"dos83.svg", 16}}};
constexpr std::array<Drawing, 1> kShowIcons{{{"showicons.svg", 16}}};
constexpr std::array<Drawing, 1> kDiskette35{{{"diskette35.svg", 32}}};
constexpr std::array<Drawing, 1> kDiskette525{{{"diskette525.svg", 32}}};
// The program's icon has a drawing of its own for the small size of title bars and task lists.
constexpr std::array<Drawing, 2> kProgramIcon{{{"dividra16.svg", 16}, {"dividra.svg", 32}}};

// The drawings of a picture, smallest grid first.
std::span<const Drawing> Drawings(Picture picture) {
    switch (picture) {
    case Picture::Split:
        return kSplit;
    case Picture::Options:
        return kOptions;
    case Picture::Help:
        return kHelp;
    case Picture::Exit:
        return kExit;
    case Picture::Dos83:
        return kDos83;
    case Picture::ShowIcons:
        return kShowIcons;
    case Picture::Diskette35:
        return kDiskette35;
    case Picture::Diskette525:
        return kDiskette525;
    case Picture::ProgramIcon:
        return kProgramIcon;
    }
    return kSplit;
}

QImage Render(const Drawing& drawing, int size) {
    static const bool resourcesReady = (InitPictureResources(), true);
    Q_UNUSED(resourcesReady);

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/pictures/") + QString::fromLatin1(drawing.file));
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    return image;
}

} // namespace

QPixmap PicturePixmap(Picture picture, int size) {
    if (size <= 0) {
        return {};
    }
    const std::span<const Drawing> drawings = Drawings(picture);

    // Pixel art stays crisp when drawn on its own grid and enlarged by whole pixels: the largest
    // grid that divides the size wins.
    for (auto drawing = drawings.rbegin(); drawing != drawings.rend(); ++drawing) {
        if (size % drawing->grid == 0) {
            const QImage image = Render(*drawing, drawing->grid);
            if (size == drawing->grid) {
                return QPixmap::fromImage(image);
            }
            return QPixmap::fromImage(
                image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
    }

    // Any other size: the drawing of the nearest grid not above it, rendered at that size.
    const Drawing* chosen = &drawings.front();
    for (const Drawing& drawing : drawings) {
        if (drawing.grid <= size) {
            chosen = &drawing;
        }
    }
    return QPixmap::fromImage(Render(*chosen, size));
}

QIcon PictureIcon(Picture picture) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(PicturePixmap(picture, size));
    }
    return icon;
}

} // namespace dividra::ui
