#include "toolkit/FileListBox.h"

#include "platform/Wildcard.h"
#include "toolkit/ListSupport.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <string>
#include <vector>

namespace dividra::toolkit {
namespace {

std::vector<std::string> patternsOf(const QString& mask) {
    std::vector<std::string> patterns;
    for (const QString& part : mask.split(QLatin1Char(';'))) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) {
            patterns.push_back(pattern.toStdString());
        }
    }
    return patterns;
}

bool matchesAny(const std::string& name, const std::vector<std::string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(), [&name](const std::string& pattern) {
        return platform::matchesDosPattern(name, pattern);
    });
}

} // namespace

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent), m_delegate(new ListItemDelegate(this)) {
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Small icons, as the item height of 18 was made for; styles may ask for larger ones.
    setIconSize(QSize(16, 16));
}

void FileListBox::setFileSystem(platform::FileSystem* fileSystem) {
    m_fileSystem = fileSystem;
    m_directory.clear();
    clear();
}

Status FileListBox::setDirectory(const QString& dosPath) {
    if (m_fileSystem == nullptr) {
        return Error{ErrorCode::InvalidArgument, dosPath.toStdString() + ": no file system"};
    }
    return read(dosPath);
}

void FileListBox::setMask(const QString& mask) {
    m_mask = mask;
    refresh();
}

void FileListBox::setShowIcons(bool on) {
    if (on != m_showIcons) {
        m_showIcons = on;
        refresh();
    }
}

void FileListBox::refresh() {
    if (!m_directory.isEmpty()) {
        static_cast<void>(read(m_directory));
    }
}

QString FileListBox::longPath(int row) const {
    const QListWidgetItem* entry = item(row);
    if (entry == nullptr) {
        return {};
    }
    const bool root = m_directory.endsWith(QLatin1Char('\\'));
    return root ? m_directory + entry->text() : m_directory + QLatin1Char('\\') + entry->text();
}

QString FileListBox::shortPath(int row) const {
    const QString path = longPath(row);
    if (path.isEmpty() || m_fileSystem == nullptr) {
        return path;
    }
    auto alias = m_fileSystem->shortPath(path.toStdString());
    return alias ? QString::fromStdString(alias.value()) : path;
}

QString FileListBox::fileName() const {
    return longPath(selectedRow());
}

void FileListBox::setHorizontalExtent(int pixels) {
    m_horizontalExtent = std::max(0, pixels);
    m_delegate->setMinimumWidth(m_horizontalExtent);
    scheduleDelayedItemsLayout();
    applyExtent();
}

void FileListBox::setItemHeight(int pixels) {
    m_delegate->setItemHeight(pixels);
    doItemsLayout();
}

int FileListBox::itemHeight() const {
    return m_delegate->itemHeight();
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    // A click on the entry already selected is a choice too, as a classic list box reports it:
    // after the details were cleared the user picks the same file again this way.
    const bool onItem = itemAt(event->position().toPoint()) != nullptr;
    const int before = selectedRow();
    QListWidget::mousePressEvent(event);
    if (selectedRow() != before || (onItem && selectedRow() >= 0)) {
        emit fileClicked();
        emit changed();
    }
}

void FileListBox::mouseMoveEvent(QMouseEvent* event) {
    asUser([&] { QListWidget::mouseMoveEvent(event); });
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    asUser([&] { QListWidget::keyPressEvent(event); });
}

void FileListBox::updateGeometries() {
    QListWidget::updateGeometries();
    applyExtent();
}

Status FileListBox::read(const QString& dosPath) {
    // Mask 0: plain files only; folders, hidden and system entries stay out. The search comes
    // first: it tells a missing folder (PathNotFound) from a missing medium.
    auto entries = m_fileSystem->find(allEntriesOf(dosPath), 0);
    if (!entries) {
        return entries.error();
    }
    auto folder = spelledFolder(*m_fileSystem, dosPath);
    if (!folder) {
        return folder.error();
    }
    const std::vector<std::string> patterns = patternsOf(m_mask);
    QStringList names;
    names.reserve(static_cast<qsizetype>(entries.value().size()));
    for (const platform::FindEntry& entry : entries.value()) {
        if ((entry.attributes & platform::attr::Directory) == 0 &&
            matchesAny(entry.name, patterns)) {
            names.append(QString::fromStdString(entry.name));
        }
    }
    fill(folder.value(), names);
    emit changed();
    return {};
}

void FileListBox::fill(const QString& folder, const QStringList& names) {
    const QString keep =
        folder == m_directory && selectedRow() >= 0 ? item(selectedRow())->text() : QString();
    QList<QListWidgetItem*> items;
    items.reserve(names.size());
    int selected = -1;
    for (int index : caseBlindOrder(names)) {
        const QString& name = names.at(index);
        if (!keep.isEmpty() && name == keep) {
            selected = static_cast<int>(items.size());
        }
        items.append(m_showIcons ? new QListWidgetItem(m_icons.forFileName(name), name)
                                 : new QListWidgetItem(name));
    }
    replaceItems(this, items);
    m_directory = folder;
    if (selected >= 0) {
        setCurrentRow(selected);
    }
}

int FileListBox::selectedRow() const {
    const QListWidgetItem* current = currentItem();
    return current != nullptr && current->isSelected() ? currentRow() : -1;
}

template <class Action> void FileListBox::asUser(Action action) {
    const int before = selectedRow();
    action();
    if (selectedRow() != before) {
        emit fileClicked();
        emit changed();
    }
}

void FileListBox::applyExtent() {
    const int width = viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, m_horizontalExtent - width));
    horizontalScrollBar()->setPageStep(width);
}

} // namespace dividra::toolkit
