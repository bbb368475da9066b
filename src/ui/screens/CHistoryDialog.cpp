#include "ui/screens/CHistoryDialog.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "model/CycleStatus.h"
#include "resources/ResourceIds.h"
#include "storage/SpreadsheetExport.h"
#include "ui/screens/CycleList.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/CsvExportFlow.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>

namespace {
// What the rows' looks mean; screen readers get it as the list's description.
const QString kLegend = QStringLiteral(
    "Italic: predicted, no bleeding recorded. Bold: the current cycle, counted to the next expected start.");

} // namespace

CHistoryDialog::CHistoryDialog(QWidget* parent) : CBlackDialog(kIddHistory, parent)
{
}

CHistoryDialog::~CHistoryDialog() = default;

bool CHistoryDialog::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    CreateMenuBar(kMenuHistory);
    m_list = ControlAs<QTreeWidget>(kIdcCycleList);
    if (!m_list)
        return false;
    m_list->setAccessibleName(QStringLiteral("Cycles"));
    m_list->setHeaderLabels(
        {QStringLiteral("First Day"), QStringLiteral("Bleeding Days"), QStringLiteral("Cycle Length")});
    m_rows = new CycleList(m_list, {1, 1, 1});
    m_list->setAccessibleDescription(kLegend);
    m_legend = new QLabel(kLegend, this);
    m_legend->setObjectName(QStringLiteral("HistoryLegend"));
    m_legend->setWordWrap(true);
    m_legend->setContentsMargins(6, 4, 6, 4);
    FillRows();
    m_rows->SetEmptyText(QStringLiteral("No cycles yet"));
    PlaceList();
    return true;
}

void CHistoryDialog::FillRows()
{
    CycleDatabase& database = TheCycleDatabase();
    std::vector<CycleRecord> cycles;
    database.BuildCycleList(cycles);

    const QColor muted = MutedTextColor(SelectedTheme());
    QFont predictedFont = m_list->font();
    predictedFont.setItalic(true);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(cycles.size()));
    for (size_t i = 0; i < cycles.size(); ++i) {
        const CycleRecord& cycle = cycles[i];
        const QString firstDay = FormatShortDate(cycle.firstDay);
        auto* item = new QTreeWidgetItem(
            QStringList{firstDay, QString::number(cycle.bleedingDays), QString::number(cycle.cycleLength)});
        const bool predicted = !HasRecordedBleeding(database, cycle.firstDay);
        const bool current = i + 1 == cycles.size();
        QStringList notes;
        if (predicted) {
            notes << QStringLiteral("%1 (predicted): no bleeding was recorded in this period, so its start is a "
                                    "prediction.")
                         .arg(firstDay);
        }
        if (current) {
            notes << QStringLiteral("Current cycle: its length runs to the next predicted start, %1.")
                         .arg(FormatShortDate(CivilOffsetDate(cycle.firstDay, cycle.cycleLength)));
        }
        QFont font = predicted ? predictedFont : m_list->font();
        font.setBold(current);
        for (int column = 0; column < 3; ++column) {
            if (!notes.isEmpty()) {
                item->setToolTip(column, notes.join(QLatin1Char('\n')));
                item->setData(column, Qt::AccessibleDescriptionRole, notes.join(QLatin1Char(' ')));
            }
            if (predicted)
                item->setForeground(column, muted);
            if (predicted || current)
                item->setFont(column, font);
        }
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (!items.isEmpty()) {
        // Keyboard moves start at the newest row, without selecting it.
        m_list->selectionModel()->setCurrentIndex(m_list->indexFromItem(items.last()), QItemSelectionModel::NoUpdate);
    }
}

void CHistoryDialog::PlaceList()
{
    if (!m_list || !m_legend)
        return;
    const QSize client = ClientSize();
    const int legendHeight = std::min(client.height(), m_legend->heightForWidth(client.width()));
    m_list->setGeometry(0, 0, client.width(), client.height() - legendHeight);
    m_legend->setGeometry(0, client.height() - legendHeight, client.width(), legendHeight);
}

void CHistoryDialog::ScrollToNewest()
{
    if (m_list && m_list->topLevelItemCount() > 0)
        m_list->scrollToItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
}

void CHistoryDialog::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    PlaceList();
}

void CHistoryDialog::showEvent(QShowEvent* event)
{
    CBlackDialog::showEvent(event);
    // Only now has the list its final height. Later shows (the window restored) keep the
    // place she scrolled to.
    if (!m_shownOnce) {
        m_shownOnce = true;
        ScrollToNewest();
    }
}

void CHistoryDialog::OnCommand(int id)
{
    if (id == kCmdHistoryExport)
        ExportCycles();
    else if (id == kCmdHistoryExportSpreadsheet)
        ExportCyclesForSpreadsheets();
    else
        CBlackDialog::OnCommand(id);
}

void CHistoryDialog::ExportCycles()
{
    RunCsvExport(
        this, QStringLiteral("Export Cycles"), QStringLiteral("Velumina-cycles"),
        [](const QString& path) {
            std::vector<CycleRecord> cycles;
            CycleDatabase& database = TheCycleDatabase();
            return database.ExportCycles(path) ? database.BuildCycleList(cycles) : -1;
        },
        u"cycle", u"cycles");
}

void CHistoryDialog::ExportCyclesForSpreadsheets()
{
    RunCsvExport(
        this, QStringLiteral("Export Cycles for Spreadsheets"), QStringLiteral("Velumina-cycles"),
        [](const QString& path) { return SpreadsheetExport::WriteCycles(TheCycleDatabase(), path); }, u"cycle",
        u"cycles");
}
