#include "toolkit/FilterComboBox.h"

#include "toolkit/FileListBox.h"

#include <QSignalBlocker>

namespace dividra::toolkit {

FilterComboBox::FilterComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        applyMask();
        emit filterChanged();
    });
}

void FilterComboBox::setFilter(const QString& filter) {
    m_filter = filter;
    {
        const QSignalBlocker blocker(this);
        clear();
        const QStringList parts = filter.split(QLatin1Char('|'));
        for (qsizetype at = 0; !filter.isEmpty() && at < parts.size(); at += 2) {
            const bool hasMask = at + 1 < parts.size();
            if (!hasMask && parts.at(at).isEmpty()) {
                break;
            }
            addItem(parts.at(at), hasMask ? parts.at(at + 1) : QStringLiteral("*.*"));
        }
        setCurrentIndex(count() > 0 ? 0 : -1);
    }
    applyMask();
}

QString FilterComboBox::mask() const {
    return currentIndex() < 0 ? QStringLiteral("*.*") : currentData().toString();
}

void FilterComboBox::setFileList(FileListBox* fileList) {
    m_fileList = fileList;
    applyMask();
}

void FilterComboBox::applyMask() {
    if (m_fileList) {
        m_fileList->setMask(mask());
    }
}

} // namespace dividra::toolkit
