#include "ui/Options.h"

#include "settings/Settings.h"
#include "settings/SettingsBatch.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredOptions.h"
#include "util/MessageBoxes.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

// The file-type filter list on the "Source File" page. Grid row r holds filter r + 1; the
// header row is the grid's own header.
namespace dividra::ui {
namespace {

constexpr int kTypeColumn = 0;
constexpr int kExtensionColumn = 1;

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item == nullptr ? QString() : item->text();
}

QString allFilesType() {
    return QStringLiteral("All Files (*.*)");
}
QString allFilesExtension() {
    return QStringLiteral("*");
}

} // namespace

void TDlgOptions::LoadFilters() {
    const std::int32_t count = ReadFilterCount();
    // A count the editor can't hold (below 1 or above its 8-bit limit) shows what fits.
    const int rows = std::clamp(count, 1, kMaxFilters);
    GridFilters->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const std::int32_t n = row + 1;
        const StoredFilter stored = n <= count ? ReadFilter(n) : StoredFilter{};
        setFilterRow(row, QString::fromStdString(stored.name),
                     QString::fromStdString(stored.extension));
    }
    setBrowsing(true);
    selectFilterRow(0);
    LayoutFilterGrid(); // a long list brings the scroll bar, which narrows the columns
}

void TDlgOptions::SaveFilters(SettingsBatch& batch) const {
    const int rows = GridFilters->rowCount();
    batch.setInt(keys::kSourceFileOptions, keys::kFilterCount, rows);
    for (int row = 0; row < rows; ++row) {
        const std::int32_t n = row + 1;
        batch.setText(keys::kSourceFileOptions, keys::FilterTypeName(n),
                      cell(GridFilters, row, kTypeColumn).toStdString());
        batch.setText(keys::kSourceFileOptions, keys::FilterExtensionName(n),
                      cell(GridFilters, row, kExtensionColumn).toStdString());
    }
}

void TDlgOptions::LayoutFilterGrid() {
    const int line = 1;
    const int client = gridClientWidth();
    const int extension = fontMetrics().horizontalAdvance(QStringLiteral(" Extension "));
    // A Qt column holds its own grid line, so the two columns fill the client width exactly.
    const int type = client - extension;
    GridFilters->setColumnWidth(kTypeColumn, type);
    GridFilters->setColumnWidth(kExtensionColumn, extension);
    GridFilters->setHorizontalHeaderLabels(
        {QStringLiteral(" File Type "), QStringLiteral("Extension")});
    // Each field covers its column; the gap between them lies under the grid line.
    const int left = GridFilters->x();
    const int frame = GridFilters->frameWidth();
    TxtFileType->setGeometry(left, TxtFileType->y(), frame + type - line, TxtFileType->height());
    TxtFileExt->setGeometry(left + frame + type, TxtFileExt->y(),
                            GridFilters->width() - frame - type, TxtFileExt->height());
}

// The width left for the columns: the frame and, once the rows overflow, the scroll bar go.
int TDlgOptions::gridClientWidth() const {
    const int frames = 2 * GridFilters->frameWidth();
    const int rowsHeight = GridFilters->rowCount() * kFilterRowHeight;
    const bool scrolls = rowsHeight > GridFilters->height() - frames - kFilterRowHeight;
    const int bar = scrolls ? GridFilters->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                                GridFilters->verticalScrollBar())
                            : 0;
    return GridFilters->width() - frames - bar;
}

void TDlgOptions::GridFiltersSelectCell() {
    const int row = GridFilters->currentRow();
    TxtFileType->setText(cell(GridFilters, row, kTypeColumn));
    TxtFileExt->setText(cell(GridFilters, row, kExtensionColumn));
    enableMoves();
    if (TxtFileType->isVisible()) {
        TxtFileType->setFocus();
    }
}

void TDlgOptions::TxtFilterChange() {
    BtnFilterReplace->setEnabled(!TxtFileType->text().isEmpty() && !TxtFileExt->text().isEmpty());
}

// Extensions are typed in capitals, without the characters that can't stand in a mask.
bool TDlgOptions::TxtFileExtKeyPress(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1) {
        return false;
    }
    const QChar key = typed.front();
    if (key == QLatin1Char('.') || key == QLatin1Char('/') || key == QLatin1Char(':')) {
        return true;
    }
    if (key >= QLatin1Char('a') && key <= QLatin1Char('z')) {
        TxtFileExt->insert(QString(key.toUpper()));
        return true;
    }
    return false;
}

void TDlgOptions::BtnFilterNewClick() {
    const int row = GridFilters->rowCount();
    GridFilters->setRowCount(row + 1);
    setFilterRow(row, QString(), QString());
    selectFilterRow(row);
    setBrowsing(false);
    LayoutFilterGrid();
}

void TDlgOptions::BtnFilterReplaceClick() {
    const int current = GridFilters->currentRow();
    const QString extension = TxtFileExt->text();
    for (int row = 0; row < GridFilters->rowCount(); ++row) {
        if (cell(GridFilters, row, kExtensionColumn) == extension) {
            if (row != current) {
                ShowErrorMessage("You have already defined a filter for this file extension!");
                return;
            }
            break;
        }
    }
    setFilterRow(current, TxtFileType->text(), extension);
    setBrowsing(true);
    enableMoves();
    if (TxtFileType->isVisible()) {
        TxtFileType->setFocus();
    }
}

void TDlgOptions::BtnFilterDeleteClick() {
    int current = std::max(GridFilters->currentRow(), 0);
    if (GridFilters->rowCount() == 1) {
        setFilterRow(0, allFilesType(), allFilesExtension());
    } else {
        const QSignalBlocker quiet(GridFilters);
        GridFilters->removeRow(current);
        current = std::min(current, GridFilters->rowCount() - 1);
    }
    setBrowsing(true);
    LayoutFilterGrid();
    selectFilterRow(current);
}

void TDlgOptions::BtnFilterClearClick() {
    {
        const QSignalBlocker quiet(GridFilters);
        GridFilters->setRowCount(1);
    }
    setFilterRow(0, allFilesType(), allFilesExtension());
    setBrowsing(true);
    LayoutFilterGrid();
    selectFilterRow(0);
}

void TDlgOptions::BtnFilterUpClick() {
    const int current = GridFilters->currentRow();
    if (current <= 0) {
        return;
    }
    const QString type = cell(GridFilters, current, kTypeColumn);
    const QString extension = cell(GridFilters, current, kExtensionColumn);
    setFilterRow(current, cell(GridFilters, current - 1, kTypeColumn),
                 cell(GridFilters, current - 1, kExtensionColumn));
    setFilterRow(current - 1, type, extension);
    selectFilterRow(current - 1);
}

void TDlgOptions::BtnFilterDownClick() {
    const int current = GridFilters->currentRow();
    if (current < 0 || current + 1 >= GridFilters->rowCount()) {
        return;
    }
    const QString type = cell(GridFilters, current, kTypeColumn);
    const QString extension = cell(GridFilters, current, kExtensionColumn);
    setFilterRow(current, cell(GridFilters, current + 1, kTypeColumn),
                 cell(GridFilters, current + 1, kExtensionColumn));
    setFilterRow(current + 1, type, extension);
    selectFilterRow(current + 1);
}

// Every programmatic change of the selected row runs the selection steps once.
void TDlgOptions::selectFilterRow(int row) {
    {
        const QSignalBlocker quiet(GridFilters);
        GridFilters->setCurrentCell(row, kTypeColumn);
    }
    GridFiltersSelectCell();
}

void TDlgOptions::setFilterRow(int row, const QString& type, const QString& extension) {
    GridFilters->setItem(row, kTypeColumn, new QTableWidgetItem(type));
    GridFilters->setItem(row, kExtensionColumn, new QTableWidgetItem(extension));
}

void TDlgOptions::enableMoves() {
    const int row = GridFilters->currentRow();
    BtnFilterUp->setEnabled(row > 0);
    BtnFilterDown->setEnabled(row + 1 < GridFilters->rowCount());
}

// Browsing: the list can be walked and changed. Adding: a new row waits for Replace or Delete.
void TDlgOptions::setBrowsing(bool browsing) {
    GridFilters->setEnabled(browsing);
    BtnFilterNew->setEnabled(browsing && GridFilters->rowCount() < kMaxFilters);
    BtnFilterClear->setEnabled(browsing);
    if (!browsing) {
        BtnFilterUp->setEnabled(false);
        BtnFilterDown->setEnabled(false);
    }
}

} // namespace dividra::ui
