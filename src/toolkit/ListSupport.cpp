#include "toolkit/ListSupport.h"

#include <QListWidget>
#include <algorithm>
#include <numeric>

namespace dividra::toolkit {

ListItemDelegate::ListItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void ListItemDelegate::setItemHeight(int pixels) {
    m_itemHeight = std::max(0, pixels);
}

void ListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem shifted = option;
    shifted.rect.setLeft(option.rect.left() + index.data(LevelRole).toInt() * m_indentStep);
    QStyledItemDelegate::paint(painter, shifted, index);
}

QSize ListItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(LevelRole).toInt() * m_indentStep;
    size.setWidth(std::max(size.width(), m_minimumWidth));
    if (m_itemHeight > 0) {
        size.setHeight(m_itemHeight);
    }
    return size;
}

QList<int> caseBlindOrder(const QStringList& names) {
    QStringList keys;
    keys.reserve(names.size());
    for (const QString& name : names) {
        keys.append(name.toCaseFolded());
    }
    QList<int> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[a] < keys[b]; });
    return order;
}

void replaceItems(QListWidget* list, const QList<QListWidgetItem*>& items) {
    const bool updates = list->updatesEnabled();
    list->setUpdatesEnabled(false);
    list->clear();
    for (QListWidgetItem* item : items) {
        list->addItem(item);
    }
    list->setUpdatesEnabled(updates);
}

std::string allEntriesOf(const QString& folder) {
    const QString pattern = folder.endsWith(QLatin1Char('\\')) ? folder + QStringLiteral("*.*")
                                                               : folder + QStringLiteral("\\*.*");
    return pattern.toStdString();
}

Result<QString> spelledFolder(const platform::FileSystem& fileSystem, const QString& dosPath) {
    auto spelled = fileSystem.longPath(dosPath.toStdString());
    if (!spelled) {
        return spelled.error();
    }
    QString folder = QString::fromStdString(spelled.value());
    if (!folder.isEmpty()) {
        folder[0] = folder.at(0).toLower();
    }
    return folder;
}

} // namespace dividra::toolkit
