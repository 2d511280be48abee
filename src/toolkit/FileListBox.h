#pragma once

#include "platform/FileSystem.h"
#include "toolkit/FileIcons.h"

#include <QIcon>
#include <QListWidget>
#include <QString>

namespace dividra::toolkit {

class ListItemDelegate;

// The files of one folder whose names match the mask, blind to letter case, sorted blind to
// letter case (names equal but for case keep the file system's order), shown as the file
// system reports them. Folders, hidden files (names beginning with ".") and system files are
// left out, as the file system's own search leaves them out.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);

    // Not owned. Empties the list; call setDirectory next.
    void setFileSystem(platform::FileSystem* fileSystem);
    platform::FileSystem* fileSystem() const { return m_fileSystem; }

    // Lists that folder, names spelled as the file system stores them. On failure the list
    // stays as it was and the error is returned.
    Status setDirectory(const QString& dosPath);
    // "c:\" for a root, "c:\docs" below it; empty before the first success.
    QString directory() const { return m_directory; }
    // Patterns ("*.zip") separated by ";", blanks around them ignored; a file is listed when it
    // matches one of them, so a mask without any pattern lists nothing. Default "*.*".
    // Re-reads the folder.
    void setMask(const QString& mask);
    QString mask() const { return m_mask; }
    // Each file's icon by its name's MIME type: the icon theme's, else our own picture of its
    // kind (FileIcons).
    void setShowIcons(bool on);
    bool showIcons() const { return m_showIcons; }
    // Re-reads the folder; a file selected before stays selected while it exists.
    void refresh();

    // The folder and the entry's text, one backslash between ("c:\docs\Annual Report.text");
    // empty for a row that doesn't exist.
    QString longPath(int row) const;
    // Its 8.3 form from the file system ("c:\docs\ANNUAL~1.TEX"); the long path when that
    // fails.
    QString shortPath(int row) const;
    // The long path of the selected entry; empty when none is selected.
    QString fileName() const;

    // The width the list can scroll sideways to: the horizontal scroll range is this less the
    // viewport's width, so 0 (the default) means no sideways scrolling.
    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return m_horizontalExtent; }
    // 0 keeps the style's height.
    void setItemHeight(int pixels);
    int itemHeight() const;

signals:
    // The user clicked an entry (even the one already selected) or moved the selection with the
    // keys; not emitted when the program selects one or the list is refilled.
    void fileClicked();
    // After every refill and after each fileClicked.
    void changed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

private:
    Status read(const QString& dosPath);
    void fill(const QString& folder, const QStringList& names);
    int selectedRow() const;
    template <class Action> void asUser(Action action);
    void applyExtent();

    platform::FileSystem* m_fileSystem = nullptr;
    ListItemDelegate* m_delegate;
    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
    bool m_showIcons = false;
    int m_horizontalExtent = 0;
    FileIcons m_icons;
};

} // namespace dividra::toolkit
