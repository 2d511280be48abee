#include "ui/Pictures.h"

#include <QImage>
#include <gtest/gtest.h>

namespace dividra::ui {
namespace {

constexpr Picture kAllPictures[] = {
    Picture::Split,      Picture::Options,     Picture::Help,
    Picture::Exit,       Picture::Dos83,       Picture::ShowIcons,
    Picture::Diskette35, Picture::Diskette525, Picture::ProgramIcon,
};

int OpaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

TEST(PicturesTest, EveryPictureRendersAt16And32) {
    for (const Picture picture : kAllPictures) {
        for (const int size : {16, 32}) {
            const QPixmap pixmap = PicturePixmap(picture, size);
            ASSERT_FALSE(pixmap.isNull()) << static_cast<int>(picture) << " at " << size;
            EXPECT_EQ(pixmap.size(), QSize(size, size)) << static_cast<int>(picture);
            EXPECT_GT(OpaquePixels(pixmap.toImage()), size * size / 8)
                << static_cast<int>(picture) << " at " << size;
        }
        EXPECT_FALSE(PictureIcon(picture).isNull()) << static_cast<int>(picture);
    }
}

// The 16 colours of the era's display adapters.
bool InPalette(QRgb pixel) {
    static const QRgb kPalette[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                    0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
    for (const QRgb colour : kPalette) {
        if ((pixel & 0xffffff) == colour) {
            return true;
        }
    }
    return false;
}

TEST(PicturesTest, PicturesAreCrispSixteenColourPixelArt) {
    for (const Picture picture : kAllPictures) {
        // At 32 every picture is drawn on its grid, or doubled from a 16 x 16 one: no pixel is
        // half transparent nor a blend of two colours.
        const QImage image = PicturePixmap(picture, 32).toImage();
        int stray = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = image.pixel(x, y);
                const bool crisp = qAlpha(pixel) == 0 || (qAlpha(pixel) == 255 && InPalette(pixel));
                stray += crisp ? 0 : 1;
            }
        }
        EXPECT_EQ(stray, 0) << static_cast<int>(picture);
    }
    for (const Picture picture : {Picture::Split, Picture::Options, Picture::Help, Picture::Exit,
                                  Picture::Dos83, Picture::ShowIcons}) {
        // Tool bar pictures are drawn on 16 x 16: at 32 each of their pixels is a 2 x 2 block.
        const QImage small = PicturePixmap(picture, 16).toImage();
        EXPECT_EQ(PicturePixmap(picture, 32).toImage(), small.scaled(32, 32))
            << static_cast<int>(picture);
    }
}

} // namespace
} // namespace dividra::ui
