#pragma once

#include "platform/FileSystem.h"

#include <QComboBox>
#include <QString>

namespace dividra::toolkit {

// The drives of the file system, a to z, one item each, with a drive-kind icon:
//   "a:"                 removable drive (its medium may be absent, so no label is read)
//   "c: [label]"         fixed, CD-ROM, RAM disk and unknown drives; "c: []" when unlabelled,
//                        so every such drive shows the same shape
//   "f: \\server\share"  network drive with its remote name; "f:" alone when it has none
// Items are read and removed through QComboBox (count, itemText, removeItem); an item's drive
// is the letter its text starts with.
class DriveComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveComboBox(QWidget* parent = nullptr);

    // Not owned. Fills the list (see refill).
    void setFileSystem(platform::FileSystem* fileSystem);
    platform::FileSystem* fileSystem() const { return m_fileSystem; }
    // Re-reads the drives. The selected drive stays selected while it exists; otherwise c:, or
    // failing that the first drive, is selected.
    void refill();

    // The lower-case letter of the selected item; 0 when none is selected.
    char drive() const;
    // Selects the item whose text starts with the letter (either case); nothing happens when
    // there is none.
    void setDrive(char letter);
    void clearSelection() { setCurrentIndex(-1); }

    // The item text of a drive.
    static QString driveText(const platform::DriveInfo& drive);

signals:
    // The selected drive became another one, by the user or the program. Not emitted when the
    // selection is cleared; the next drive selected afterwards is announced even if it is the
    // one selected before.
    void driveChanged(char letter);

private:
    int rowOf(char letter) const;
    void noteCurrentDrive();

    platform::FileSystem* m_fileSystem = nullptr;
    char m_drive = 0;
};

} // namespace dividra::toolkit
