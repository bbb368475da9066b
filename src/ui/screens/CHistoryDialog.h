#pragma once

#include "ui/toolkit/CBlackDialog.h"

class CycleList;
class QLabel;
class QTreeWidget;

/// "History": every derived cycle, oldest first, with its first day, bleeding days and
/// length, and "Export" of these rows as a CSV file. Rows whose period she did not record are
/// the model's predictions and look quieter (italics, muted colour, "(predicted)" in the
/// tooltip); the last row, the current cycle, is bold. A legend line under the list says so.
/// The newest row is in view at opening.
class CHistoryDialog : public CBlackDialog
{
    Q_OBJECT

public:
    explicit CHistoryDialog(QWidget* parent = nullptr);
    ~CHistoryDialog() override;

    bool OnInitDialog() override;
    void OnCommand(int id) override;

    QTreeWidget* List() const
    {
        return m_list;
    }
    CycleList* Rows() const
    {
        return m_rows;
    }
    QLabel* Legend() const
    {
        return m_legend;
    }

    /// Asks for a file and writes the cycle export to it.
    void ExportCycles();
    /// The same rows with their status, in the spreadsheet form.
    void ExportCyclesForSpreadsheets();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FillRows();
    void PlaceList();
    void ScrollToNewest();

    QTreeWidget* m_list = nullptr;
    CycleList* m_rows = nullptr;
    QLabel* m_legend = nullptr;
    bool m_shownOnce = false;
};
