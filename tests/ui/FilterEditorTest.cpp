#include "DialogFixture.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "ui/Options.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace dividra::ui {
namespace {

using namespace dividra::keys;
using Filter = std::pair<std::string, std::string>;

class FilterEditorTest : public test::DialogFixture {
protected:
    void storeFilters(const std::vector<Filter>& filters) {
        WriteSettingInt(kSourceFileOptions, kFilterCount, static_cast<int>(filters.size()));
        for (std::size_t i = 0; i < filters.size(); ++i) {
            const auto n = static_cast<std::int32_t>(i + 1);
            WriteSettingText(kSourceFileOptions, FilterTypeName(n), filters[i].first);
            WriteSettingText(kSourceFileOptions, FilterExtensionName(n), filters[i].second);
        }
    }
    TDlgOptions& create(const std::vector<Filter>& filters = kThree) {
        if (!filters.empty()) {
            storeFilters(filters);
        }
        m_dialog = std::make_unique<TDlgOptions>(m_fs, QString());
        return *m_dialog;
    }
    std::vector<Filter> rows() const {
        std::vector<Filter> out;
        QTableWidget* grid = m_dialog->GridFilters;
        for (int row = 0; row < grid->rowCount(); ++row) {
            auto text = [&](int column) {
                return grid->item(row, column) ? grid->item(row, column)->text().toStdString()
                                               : std::string("<none>");
            };
            out.emplace_back(text(0), text(1));
        }
        return out;
    }
    int selected() const { return m_dialog->GridFilters->currentRow(); }
    Filter fields() const {
        return {m_dialog->TxtFileType->text().toStdString(),
                m_dialog->TxtFileExt->text().toStdString()};
    }
    // Browsing: the grid, New and Clear enabled; Adding: all three disabled.
    bool browsing() const {
        const TDlgOptions& d = *m_dialog;
        const bool on = d.GridFilters->isEnabled();
        EXPECT_EQ(d.BtnFilterNew->isEnabled(), on);
        EXPECT_EQ(d.BtnFilterClear->isEnabled(), on);
        return on;
    }

    static inline const std::vector<Filter> kThree{
        {"All Files (*.*)", "*"}, {"Zip Files (*.ZIP)", "ZIP"}, {"EXE Files (*.EXE)", "EXE"}};
    const Filter kAllFiles{"All Files (*.*)", "*"};
    std::unique_ptr<TDlgOptions> m_dialog;
};

TEST_F(FilterEditorTest, ExtensionsAreTypedInCapitalsAndReplaceRefusesAnotherRowsExtension) {
    TDlgOptions& d = create();
    d.GridFilters->setCurrentCell(2, 0);
    d.TxtFileType->setText(QStringLiteral("Archives"));
    d.TxtFileExt->clear();
    test::typeText(d.TxtFileExt, QStringLiteral("z.i/p:x"));
    EXPECT_EQ(d.TxtFileExt->text(), QStringLiteral("ZIP"));
    d.BtnFilterReplace->click();
    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{
                                   "You have already defined a filter for this file extension!"});
    EXPECT_EQ(rows(), kThree);
    EXPECT_EQ(fields(), (Filter{"Archives", "ZIP"}));
    d.TxtFileExt->setText(QStringLiteral("zip")); // pasted: case matters
    d.BtnFilterReplace->click();
    EXPECT_EQ(rows()[2], (Filter{"Archives", "zip"}));
    d.GridFilters->setCurrentCell(1, 0);
    d.TxtFileType->setText(QStringLiteral("Zip Archives")); // its own extension
    d.BtnFilterReplace->click();
    EXPECT_EQ(rows()[1], (Filter{"Zip Archives", "ZIP"}));
    EXPECT_EQ(m_boxes.texts().size(), 1u);
}

TEST_F(FilterEditorTest, ANewRowIsLeftOnlyByAnAcceptedReplaceOrByDelete) {
    TDlgOptions& d = create();
    d.BtnFilterNew->click();
    EXPECT_EQ(selected(), 3);
    EXPECT_EQ(fields(), (Filter{"", ""}));
    EXPECT_FALSE(browsing());
    EXPECT_FALSE(d.BtnFilterUp->isEnabled() || d.BtnFilterDown->isEnabled());
    EXPECT_FALSE(d.BtnFilterReplace->isEnabled());
    d.TxtFileType->setText(QStringLiteral("Exe again"));
    d.TxtFileExt->setText(QStringLiteral("EXE"));
    d.BtnFilterReplace->click(); // refused
    EXPECT_FALSE(browsing());
    d.BtnFilterDelete->click();
    EXPECT_EQ(rows(), kThree);
    EXPECT_EQ(selected(), 2);
    EXPECT_TRUE(browsing());
    d.BtnFilterNew->click();
    d.TxtFileType->setText(QStringLiteral("Arj"));
    d.TxtFileExt->setText(QStringLiteral("ARJ"));
    d.BtnFilterReplace->click();
    EXPECT_TRUE(browsing());
    EXPECT_EQ(rows().back(), (Filter{"Arj", "ARJ"}));
    EXPECT_TRUE(d.BtnFilterUp->isEnabled());
    EXPECT_FALSE(d.BtnFilterDown->isEnabled());
}

TEST_F(FilterEditorTest, DeleteAndClearAlwaysLeaveAFilter) {
    TDlgOptions& d = create();
    d.GridFilters->setCurrentCell(1, 0);
    d.BtnFilterDelete->click();
    EXPECT_EQ(rows(), (std::vector<Filter>{kThree[0], kThree[2]}));
    EXPECT_EQ(fields(), kThree[2]); // the row that moved up
    d.BtnFilterDelete->click();
    EXPECT_EQ(selected(), 0); // the new last row
    d.TxtFileType->setText(QStringLiteral("Anything"));
    d.BtnFilterReplace->click();
    d.BtnFilterDelete->click();
    EXPECT_EQ(rows(), std::vector<Filter>{kAllFiles});
    EXPECT_EQ(fields(), kAllFiles);

    create({{"Zip Files (*.ZIP)", "ZIP"}, {"Text", "TXT"}});
    m_dialog->GridFilters->setCurrentCell(1, 0);
    m_dialog->BtnFilterClear->click();
    EXPECT_EQ(rows(), std::vector<Filter>{kAllFiles});
    EXPECT_EQ(selected(), 0);
    EXPECT_FALSE(m_dialog->BtnFilterDown->isEnabled());
}

TEST_F(FilterEditorTest, ArrowKeysAndMovesCarryTheSelection) {
    TDlgOptions& d = create();
    d.show();
    d.PageOptions->setCurrentWidget(d.TabSourceFile);
    d.activateWindow();
    QApplication::processEvents();
    d.GridFilters->setFocus();
    test::typeKey(d.GridFilters, Qt::Key_Down);
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(fields(), kThree[1]);
    EXPECT_EQ(d.focusWidget(), d.TxtFileType);
    d.BtnFilterDown->click();
    EXPECT_EQ(rows(), (std::vector<Filter>{kThree[0], kThree[2], kThree[1]}));
    EXPECT_EQ(selected(), 2);
    EXPECT_FALSE(d.BtnFilterDown->isEnabled());
    d.BtnFilterUp->click();
    d.BtnFilterUp->click();
    EXPECT_EQ(rows().front(), kThree[1]);
    EXPECT_FALSE(d.BtnFilterUp->isEnabled());
}

// A click reloads the fields and hands the focus to File Type, on the selected row as on any.
TEST_F(FilterEditorTest, AClickOnAnyRowReloadsTheFieldsAndFocusesTheType) {
    TDlgOptions& d = create();
    d.show();
    d.PageOptions->setCurrentWidget(d.TabSourceFile);
    d.activateWindow();
    QApplication::processEvents();
    for (const int row : {1, 1, 2, 2}) {
        SCOPED_TRACE(row);
        d.TxtFileType->setText(QStringLiteral("Edited"));
        const QRect cell = d.GridFilters->visualItemRect(d.GridFilters->item(row, 0));
        QTest::mouseClick(d.GridFilters->viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(selected(), row);
        EXPECT_EQ(fields(), kThree[static_cast<std::size_t>(row)]);
        EXPECT_EQ(d.focusWidget(), d.TxtFileType);
    }
    d.BtnFilterReplace->click();
    EXPECT_EQ(rows(), kThree);
}

TEST_F(FilterEditorTest, SavingAShorterListLeavesTheValuesAboveItsCount) {
    storeFilters({{"1", "A"}, {"2", "B"}, {"3", "C"}, {"4", "D"}, {"5", "E"}});
    TDlgOptions& d = create({});
    d.GridFilters->setCurrentCell(4, 0);
    d.BtnFilterDelete->click();
    d.BtnFilterDelete->click();
    d.BtnOkClick();
    EXPECT_EQ(ReadSettingInt(kSourceFileOptions, kFilterCount, -1), 3);
    EXPECT_EQ(ReadSettingText(kSourceFileOptions, FilterTypeName(4), ""), "4");
    EXPECT_EQ(ReadSettingText(kSourceFileOptions, FilterExtensionName(5), ""), "E");
}

TEST_F(FilterEditorTest, CountsBelowOneShowOneEmptyRowThatOkStores) {
    for (const std::int32_t count : {0, -3}) {
        WriteSettingInt(kSourceFileOptions, kFilterCount, count);
        WriteSettingText(kSourceFileOptions, FilterTypeName(1), "Stale");
        create({}).BtnOkClick();
        EXPECT_EQ(rows(), (std::vector<Filter>{{"", ""}})) << count;
        EXPECT_EQ(ReadSettingInt(kSourceFileOptions, kFilterCount, -1), 1);
        EXPECT_EQ(ReadSettingText(kSourceFileOptions, FilterTypeName(1), "?"), "");
    }
}

TEST_F(FilterEditorTest, NewStopsAtTheLargestListTheEditorCanCount) {
    std::string file = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vorlan Software\\Dividra\\"
                       "Source File Options]\n\"Filter Count\"=dword:000000fd\n";
    m_dir.write("registry.reg", file);
    TDlgOptions& d = create({});
    EXPECT_EQ(rows().size(), 253u);
    d.BtnFilterNew->click();
    d.TxtFileType->setText(QStringLiteral("Last"));
    d.TxtFileExt->setText(QStringLiteral("LST"));
    d.BtnFilterReplace->click();
    EXPECT_EQ(rows().size(), 254u);
    EXPECT_TRUE(d.GridFilters->isEnabled());
    EXPECT_FALSE(d.BtnFilterNew->isEnabled());
    d.BtnFilterDelete->click();
    EXPECT_TRUE(d.BtnFilterNew->isEnabled());
}

TEST_F(FilterEditorTest, TheColumnsFillTheGridWithOrWithoutAScrollBar) {
    TDlgOptions& d = create({{"1", "A"}, {"2", "B"}, {"3", "C"}, {"4", "D"}, {"5", "E"}});
    d.show();
    d.PageOptions->setCurrentWidget(d.TabSourceFile);
    QTableWidget* grid = d.GridFilters;
    for (const bool scrolls : {true, false}) {
        QApplication::processEvents();
        EXPECT_EQ(grid->verticalScrollBar()->isVisible(), scrolls);
        EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
        EXPECT_EQ(grid->columnWidth(1),
                  d.fontMetrics().horizontalAdvance(QStringLiteral(" Extension ")));
        EXPECT_EQ(d.TxtFileExt->x(), grid->x() + grid->frameWidth() + grid->columnWidth(0));
        EXPECT_EQ(d.TxtFileExt->geometry().right(), grid->geometry().right());
        d.BtnFilterClear->click();
    }
}

} // namespace
} // namespace dividra::ui
