#include "toolkit/DirectoryListBox.h"

#include "platform/DriveTable.h"
#include "toolkit/FileListBox.h"
#include "toolkit/ListSupport.h"

#include <QKeyEvent>
#include <QStyle>

namespace dividra::toolkit {
namespace {

constexpr int PathRole = Qt::UserRole + 2;
constexpr int IndentStep = 8;

QListWidgetItem* folderItem(const QString& text, const QString& path, int level,
                            const QIcon& icon) {
    auto* item = new QListWidgetItem(icon, text);
    item->setData(PathRole, path);
    item->setData(ListItemDelegate::LevelRole, level);
    return item;
}

QString childPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('\\')) ? folder + name : folder + QLatin1Char('\\') + name;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent)
    : QListWidget(parent), m_delegate(new ListItemDelegate(this)) {
    m_delegate->setIndentStep(IndentStep);
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { static_cast<void>(openItem(row(item))); });
}

void DirectoryListBox::setFileSystem(platform::FileSystem* fileSystem) {
    m_fileSystem = fileSystem;
    m_directory.clear();
    clear();
}

Status DirectoryListBox::setDirectory(const QString& dosPath) {
    Status status = read(dosPath);
    if (!status) {
        return status;
    }
    if (m_fileList) {
        static_cast<void>(m_fileList->setDirectory(m_directory));
    }
    emit directoryChanged(m_directory);
    return {};
}

char DirectoryListBox::drive() const {
    return m_directory.isEmpty() ? 0 : platform::driveLetter(m_directory.at(0).toLatin1());
}

Status DirectoryListBox::setDrive(char letter) {
    return setDirectory(QLatin1Char(letter) + QStringLiteral(":\\"));
}

void DirectoryListBox::refresh() {
    if (!m_directory.isEmpty()) {
        static_cast<void>(read(m_directory));
    }
}

void DirectoryListBox::setFileList(FileListBox* fileList) {
    m_fileList = fileList;
}

QString DirectoryListBox::itemPath(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry == nullptr ? QString() : entry->data(PathRole).toString();
}

int DirectoryListBox::itemLevel(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry == nullptr ? -1 : entry->data(ListItemDelegate::LevelRole).toInt();
}

Status DirectoryListBox::openItem(int row) {
    if (item(row) == nullptr) {
        return Error{ErrorCode::InvalidArgument, "No folder item " + std::to_string(row)};
    }
    Status status = setDirectory(itemPath(row));
    if (!status) {
        refresh();
    }
    return status;
}

void DirectoryListBox::setItemHeight(int pixels) {
    m_delegate->setItemHeight(pixels);
    doItemsLayout();
}

int DirectoryListBox::itemHeight() const {
    return m_delegate->itemHeight();
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        static_cast<void>(openItem(currentRow()));
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

Status DirectoryListBox::read(const QString& dosPath) {
    if (m_fileSystem == nullptr) {
        return Error{ErrorCode::InvalidArgument, dosPath.toStdString() + ": no file system"};
    }
    // The search first: it tells a missing folder (PathNotFound) from a missing medium.
    auto entries = m_fileSystem->find(allEntriesOf(dosPath), platform::attr::Directory);
    if (!entries) {
        return entries.error();
    }
    auto folder = spelledFolder(*m_fileSystem, dosPath);
    if (!folder) {
        return folder.error();
    }
    fill(folder.value(), entries.value());
    return {};
}

void DirectoryListBox::fill(const QString& folder,
                            const std::vector<platform::FindEntry>& entries) {
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString root = folder.left(3);
    const QStringList names = folder.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);

    QList<QListWidgetItem*> items;
    items.append(folderItem(root, root, 0, open));
    QString path = root;
    for (const QString& name : names) {
        path = childPath(path, name);
        items.append(folderItem(name, path, static_cast<int>(items.size()), open));
    }
    const int currentRow = static_cast<int>(items.size()) - 1;

    QStringList subfolders;
    for (const platform::FindEntry& entry : entries) {
        if ((entry.attributes & platform::attr::Directory) != 0 && entry.name != "." &&
            entry.name != "..") {
            subfolders.append(QString::fromStdString(entry.name));
        }
    }
    items.reserve(items.size() + subfolders.size());
    for (int index : caseBlindOrder(subfolders)) {
        const QString& name = subfolders.at(index);
        items.append(folderItem(name, childPath(folder, name), currentRow + 1, closed));
    }

    replaceItems(this, items);
    m_directory = folder;
    setCurrentRow(currentRow);
    scrollToItem(item(currentRow));
}

} // namespace dividra::toolkit
