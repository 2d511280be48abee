#include "toolkit/FileIcons.h"
#include "support/TempDir.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

// Points the icon loader at one folder and theme for a test, and back afterwards.
class ThemeScope {
public:
    ThemeScope(const std::string& folder, const QString& theme)
        : m_paths(QIcon::themeSearchPaths()), m_fallbackPaths(QIcon::fallbackSearchPaths()),
          m_theme(QIcon::themeName()) {
        QIcon::setThemeSearchPaths({QString::fromStdString(folder)});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(theme);
    }
    ~ThemeScope() {
        QIcon::setThemeSearchPaths(m_paths);
        QIcon::setFallbackSearchPaths(m_fallbackPaths);
        QIcon::setThemeName(m_theme);
    }
    ThemeScope(const ThemeScope&) = delete;
    ThemeScope& operator=(const ThemeScope&) = delete;

private:
    QStringList m_paths;
    QStringList m_fallbackPaths;
    QString m_theme;
};

void addThemeIcon(const test::TempDir& dir, const char* theme, const QString& name) {
    const QString folder =
        QString::fromStdString(dir.file(theme)) + QStringLiteral("/16x16/mimetypes");
    QDir().mkpath(folder);
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    ASSERT_TRUE(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

TEST(FileIconsTest, ThemeIconsComeFirstThenGenericOnesThenOurPictures) {
    test::TempDir dir;
    dir.write("dividra-test/index.theme", "[Icon Theme]\nName=Test\nDirectories=16x16/mimetypes\n"
                                          "\n[16x16/mimetypes]\nSize=16\nType=Fixed\n");
    for (const char* name :
         {"application-zip", "application-x-compressed-tar", "x-office-document"}) {
        addThemeIcon(dir, "dividra-test", QString::fromLatin1(name));
    }
    ThemeScope scope(dir.path(), QStringLiteral("dividra-test"));
    FileIcons icons;
    const struct {
        const char* file;
        const char* themeIcon; // empty: our picture
    } cases[] = {
        {"a.zip", "application-zip"},
        {"B.ZIP", "application-zip"},
        {"a.tar.gz", "application-x-compressed-tar"},
        {"a.gz", ""},
        {"a.pdf", "x-office-document"},
        {"a.txt", ""},
    };
    for (const auto& c : cases) {
        const QIcon icon = icons.forFileName(QString::fromLatin1(c.file));
        EXPECT_EQ(icon.name().toStdString(), c.themeIcon) << c.file;
        EXPECT_FALSE(icon.pixmap(16).isNull()) << c.file;
    }
}

TEST(FileIconsTest, WithoutAThemeEachKindGetsItsPicture) {
    test::TempDir dir;
    ThemeScope scope(dir.path(), QStringLiteral("dividra-no-such-theme"));
    FileIcons icons;
    const struct {
        const char* file;
        FileKind kind;
    } cases[] = {
        {"a.zip", FileKind::Archive},    {"a.tar.gz", FileKind::Archive},
        {"a.7z", FileKind::Archive},     {"a.rar", FileKind::Archive},
        {"a.tar.xz", FileKind::Archive}, {"a.bz2", FileKind::Archive},
        {"a.zst", FileKind::Archive},    {"a.exe", FileKind::Program},
        {"a.sh", FileKind::Program},     {"libc.so", FileKind::Program},
        {"a.txt", FileKind::Text},       {"a.py", FileKind::Text},
        {"a.json", FileKind::Text},      {"a.png", FileKind::Image},
        {"a.svg", FileKind::Image},      {"a.mp3", FileKind::Sound},
        {"a.wav", FileKind::Sound},      {"a.mkv", FileKind::Video},
        {"a.pdf", FileKind::Document},   {"a.odt", FileKind::Document},
        {"a.docx", FileKind::Document},  {"noext", FileKind::Other},
        {"Makefile", FileKind::Other},   {"a.qqqqq", FileKind::Other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(icons.forFileName(QString::fromLatin1(c.file)).cacheKey(),
                  icons.picture(c.kind).cacheKey())
            << c.file;
    }
    const QMimeType folder = QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory"));
    EXPECT_EQ(icons.forMimeType(folder).cacheKey(), icons.picture(FileKind::Folder).cacheKey());
}

// Drawn, distinct from each other, and with dark pixels to stand out on a white list.
TEST(FileIconsTest, PicturesRenderAt16And32Pixels) {
    FileIcons icons;
    QSet<QByteArray> seen;
    for (int kind = 0; kind < kFileKindCount; ++kind) {
        const QIcon icon = icons.picture(static_cast<FileKind>(kind));
        EXPECT_EQ(icon.pixmap(32).size(), QSize(32, 32)) << kind;
        const QImage image = icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(16, 16)) << kind;
        int dark = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb pixel = image.pixel(x, y);
                dark += qAlpha(pixel) == 255 && qGray(pixel) < 64 ? 1 : 0;
            }
        }
        EXPECT_GE(dark, 16) << kind;
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), kFileKindCount);
}

} // namespace
} // namespace dividra::toolkit
