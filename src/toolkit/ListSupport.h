#pragma once

#include <QList>
#include <QStringList>
#include <QStyledItemDelegate>

#include "platform/FileSystem.h"

#include <string>

class QListWidget;
class QListWidgetItem;

// Shared by the folder and file lists: item painting and filling large lists fast.
namespace dividra::toolkit {

// Paints every item at one height and shifts it right by its level (LevelRole) times a step,
// as the folder list indents its tree. Size hints are uniform, so a list laid out with uniform
// item sizes asks only once.
class ListItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int LevelRole = Qt::UserRole + 1;

    explicit ListItemDelegate(QObject* parent = nullptr);

    // 0 keeps the style's height.
    void setItemHeight(int pixels);
    int itemHeight() const { return m_itemHeight; }
    void setIndentStep(int pixels) { m_indentStep = pixels; }
    // When above 0, every item claims at least this width (the list's scrollable width).
    void setMinimumWidth(int pixels) { m_minimumWidth = pixels; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_itemHeight = 0;
    int m_indentStep = 0;
    int m_minimumWidth = 0;
};

// The order of the names sorted blind to letter case; names equal but for case keep their
// order.
QList<int> caseBlindOrder(const QStringList& names);

// Replaces the list's items by these, painting once at the end; the list takes them over.
void replaceItems(QListWidget* list, const QList<QListWidgetItem*>& items);

// "c:\" + "*.*" or "c:\home" + "\*.*": a pattern for every entry of the folder.
std::string allEntriesOf(const QString& folder);

// The folder's full path as the file system spells it, drive letter in lower case.
Result<QString> spelledFolder(const platform::FileSystem& fileSystem, const QString& dosPath);

} // namespace dividra::toolkit
