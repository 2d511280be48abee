#pragma once

#include "platform/FileSystem.h"
#include "toolkit/FileListBox.h"

#include <QListWidget>
#include <QPointer>
#include <QString>

namespace dividra::toolkit {

class ListItemDelegate;

// The folders of the current path as an indented list: the root ("c:\") and every open folder
// down to the current one, each one step further in, with an open-folder icon; then the
// current folder's subfolders one step further still, closed-folder icon, sorted blind to
// letter case. The current folder's item is selected. Double-click or Enter opens an item.
// Hidden folders (names beginning with ".") are left out of the subfolders, as the file
// system's own search leaves them out; a hidden folder on the open path is shown all the same.
class DirectoryListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // Not owned. Empties the list; call setDirectory next.
    void setFileSystem(platform::FileSystem* fileSystem);
    platform::FileSystem* fileSystem() const { return m_fileSystem; }

    // Makes the folder current, names spelled as the file system stores them. On failure
    // (NotReady for a drive without a medium, PathNotFound for a missing folder) the list stays
    // as it was and the error is returned. Every success emits directoryChanged, even for the
    // same folder, and hands the folder to the file list, if one is set.
    Status setDirectory(const QString& dosPath);
    // "c:\" for a root, "c:\home\ann" below it; empty before the first success.
    QString directory() const { return m_directory; }
    // The lower-case letter of the current folder's drive; 0 when there is none yet.
    char drive() const;
    // The root of that drive.
    Status setDrive(char letter);
    // Re-reads the current folder from the disk; keeps the list as it was when that fails.
    // Emits nothing and leaves the file list alone.
    void refresh();

    // Not owned; nullptr unlinks. The file list follows from the next change on.
    void setFileList(FileListBox* fileList);
    FileListBox* fileList() const { return m_fileList; }

    // The full path of an item's folder, and its indentation step (0 for the root).
    QString itemPath(int row) const;
    int itemLevel(int row) const;
    // Makes that item's folder current, as double-click and Enter do. When it fails (the
    // folder vanished meanwhile) the list is re-read.
    Status openItem(int row);

    // 0 keeps the style's height.
    void setItemHeight(int pixels);
    int itemHeight() const;

signals:
    void directoryChanged(const QString& dosPath);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Status read(const QString& dosPath);
    void fill(const QString& folder, const std::vector<platform::FindEntry>& entries);

    platform::FileSystem* m_fileSystem = nullptr;
    QPointer<FileListBox> m_fileList;
    ListItemDelegate* m_delegate;
    QString m_directory;
};

} // namespace dividra::toolkit
