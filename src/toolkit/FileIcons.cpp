#include "toolkit/FileIcons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <span>

// The resources sit in a static library: their initializer is a global function, so it is
// called from outside any namespace.
static void initFileIconResources() {
    Q_INIT_RESOURCE(fileicons);
}

namespace dividra::toolkit {
namespace {

using Names = std::span<const QLatin1String>;

// Document formats are zip files underneath; they are looked at before the archives.
constexpr std::array kDocuments = {
    QLatin1String("application/pdf"),          QLatin1String("application/msword"),
    QLatin1String("application/rtf"),          QLatin1String("application/postscript"),
    QLatin1String("application/vnd.ms-excel"), QLatin1String("application/vnd.ms-powerpoint"),
};
constexpr std::array kDocumentFamilies = {
    QLatin1String("application/vnd.oasis.opendocument."),
    QLatin1String("application/vnd.openxmlformats-officedocument."),
};
constexpr std::array kArchives = {
    QLatin1String("application/zip"),
    QLatin1String("application/x-tar"),
    QLatin1String("application/gzip"),
    QLatin1String("application/x-7z-compressed"),
    QLatin1String("application/vnd.rar"),
    QLatin1String("application/x-rar"),
    QLatin1String("application/x-xz"),
    QLatin1String("application/x-bzip"),
    QLatin1String("application/x-bzip2"),
    QLatin1String("application/zstd"),
    QLatin1String("application/x-arj"),
    QLatin1String("application/x-lha"),
    QLatin1String("application/vnd.ms-cab-compressed"),
};
// By name only: every script type derives from application/x-executable, JSON too.
constexpr std::array kPrograms = {
    QLatin1String("application/x-executable"),        QLatin1String("application/x-pie-executable"),
    QLatin1String("application/x-sharedlib"),         QLatin1String("application/x-msdownload"),
    QLatin1String("application/x-ms-dos-executable"), QLatin1String("application/x-shellscript"),
};

bool namedAny(const QMimeType& mime, Names names) {
    QStringList spellings = mime.aliases();
    spellings.append(mime.name());
    return std::any_of(spellings.cbegin(), spellings.cend(), [names](const QString& spelling) {
        return std::find(names.begin(), names.end(), spelling) != names.end();
    });
}

bool startsWithAny(const QString& name, Names prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&name](QLatin1String prefix) { return name.startsWith(prefix); });
}

bool inheritsAny(const QMimeType& mime, Names names) {
    return std::any_of(names.begin(), names.end(),
                       [&mime](QLatin1String name) { return mime.inherits(name); });
}

// "tar.gz" for "a.tar.gz", "txt" for "notes.TXT", empty without a suffix.
QString lastSuffixes(const QString& name) {
    const qsizetype last = name.lastIndexOf(QLatin1Char('.'));
    if (last < 0) {
        return {};
    }
    const qsizetype before = last > 0 ? name.lastIndexOf(QLatin1Char('.'), last - 1) : -1;
    return name.mid(before < 0 ? last + 1 : before + 1).toLower();
}

const char* pictureFile(FileKind kind) {
    static constexpr std::array<const char*, kFileKindCount> files = {
        "folder", "archive", "program", "text", "image", "sound", "video", "document", "other"};
    return files.at(static_cast<std::size_t>(kind));
}

QIcon drawPicture(FileKind kind) {
    static const bool resourcesReady = (initFileIconResources(), true);
    Q_UNUSED(resourcesReady);

    constexpr int grid = 16;
    QImage image(grid, grid, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(
        QStringLiteral(":/fileicons/%1.svg").arg(QLatin1String(pictureFile(kind))));
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, grid, grid));
    painter.end();

    // Pixel art stays crisp only when enlarged by whole pixels.
    QIcon icon(QPixmap::fromImage(image));
    for (int scale : {2, 3}) {
        icon.addPixmap(QPixmap::fromImage(image.scaled(
            grid * scale, grid * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
    return icon;
}

} // namespace

FileKind fileKindOf(const QMimeType& mime) {
    const QString name = mime.name();
    if (name == QLatin1String("inode/directory")) {
        return FileKind::Folder;
    }
    if (namedAny(mime, kDocuments) || startsWithAny(name, kDocumentFamilies)) {
        return FileKind::Document;
    }
    if (inheritsAny(mime, kArchives)) {
        return FileKind::Archive;
    }
    if (namedAny(mime, kPrograms)) {
        return FileKind::Program;
    }
    const QString top = name.section(QLatin1Char('/'), 0, 0);
    if (top == QLatin1String("image")) {
        return FileKind::Image;
    }
    if (top == QLatin1String("audio")) {
        return FileKind::Sound;
    }
    if (top == QLatin1String("video")) {
        return FileKind::Video;
    }
    if (top == QLatin1String("text") || mime.inherits(QStringLiteral("text/plain"))) {
        return FileKind::Text;
    }
    return FileKind::Other;
}

QIcon FileIcons::forFileName(const QString& name) {
    const QString suffixes = lastSuffixes(name);
    auto found = m_bySuffix.constFind(suffixes);
    if (found != m_bySuffix.constEnd()) {
        return found.value();
    }
    // A stand-in name: whole-name patterns ("Makefile", "README*") would make the suffix's icon
    // depend on which file came first, and without a suffix the search tries every pattern.
    const QMimeType mime = suffixes.isEmpty()
                               ? m_mimes.mimeTypeForName(QStringLiteral("application/octet-stream"))
                               : m_mimes.mimeTypeForFile(QStringLiteral("x.") + suffixes,
                                                         QMimeDatabase::MatchExtension);
    const QIcon icon = forMimeType(mime);
    m_bySuffix.insert(suffixes, icon);
    return icon;
}

QIcon FileIcons::forMimeType(const QMimeType& mime) {
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(mime.genericIconName());
    }
    return icon.isNull() ? picture(fileKindOf(mime)) : icon;
}

QIcon FileIcons::picture(FileKind kind) {
    QIcon& icon = m_pictures.at(static_cast<std::size_t>(kind));
    if (icon.isNull()) {
        icon = drawPicture(kind);
    }
    return icon;
}

} // namespace dividra::toolkit
