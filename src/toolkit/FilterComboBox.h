#pragma once

#include <QComboBox>
#include <QPointer>
#include <QString>

namespace dividra::toolkit {

class FileListBox;

// A choice of file masks from a filter text in which names and masks alternate, separated by
// "|": "All Files (*.*)|*.*|Zip Files (*.ZIP)|*.ZIP". The items are the names.
class FilterComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit FilterComboBox(QWidget* parent = nullptr);

    // Rebuilds the items and selects the first. An empty text gives no items; a name followed
    // by an empty mask keeps the mask ""; a name at the end without a mask gets "*.*"; an empty
    // last part (a trailing "|") is ignored. The file list follows the new selection, but
    // filterChanged isn't emitted: the program made the change and knows it.
    void setFilter(const QString& filter);
    QString filter() const { return m_filter; }
    // The mask of the selected entry; "*.*" when none is selected.
    QString mask() const;

    // Not owned; nullptr unlinks. The list takes the selected mask now and at every choice.
    void setFileList(FileListBox* fileList);
    FileListBox* fileList() const { return m_fileList; }

signals:
    // Another entry was chosen, by the user or through setCurrentIndex.
    void filterChanged();

private:
    void applyMask();

    QString m_filter;
    QPointer<FileListBox> m_fileList;
};

} // namespace dividra::toolkit
