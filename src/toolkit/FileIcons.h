#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <array>

namespace dividra::toolkit {

// The kinds of file the program has pictures of, for when the desktop's icon theme has none.
enum class FileKind { Folder, Archive, Program, Text, Image, Sound, Video, Document, Other };
inline constexpr int kFileKindCount = 9;

// Folders by inode/directory; archives, programs and documents by a few well-known types
// (archives also by what they derive from, so "a.tar.gz" is one); then text, image, audio and
// video by the top-level type, and anything derived from text/plain as text.
FileKind fileKindOf(const QMimeType& mime);

// Icons for the files of a list. Keeps what it found: make a new one after the icon theme
// changes. Needs a QGuiApplication.
class FileIcons {
public:
    // By the MIME type the name suggests; the file's contents are never read. Names alike in
    // their last two suffixes (blind to case) share one look-up, so a long list costs one hash
    // look-up per file.
    QIcon forFileName(const QString& name);
    // The theme's icon of the type, else the theme's generic icon for it, else picture().
    QIcon forMimeType(const QMimeType& mime);
    // Our own 16-colour picture of the kind: 16 pixels, enlarged by whole pixels for 32 and 48.
    // The same icon (same cacheKey) every time.
    QIcon picture(FileKind kind);

private:
    QMimeDatabase m_mimes;
    QHash<QString, QIcon> m_bySuffix;
    std::array<QIcon, kFileKindCount> m_pictures;
};

} // namespace dividra::toolkit
