#pragma once

#include "ui/toolkit/CBlackDialog.h"

class CycleList;
class QLabel;
class QTreeWidget;

/// "Statistics": the average cycle period, the shortest and longest cycle and the longest
/// period, and below the list the number of measured cycles they rest on, so that the
/// settings' values an empty calendar shows are not taken for measurements.
class CStatisticsDlg : public CBlackDialog
{
    Q_OBJECT

public:
    explicit CStatisticsDlg(QWidget* parent = nullptr);
    ~CStatisticsDlg() override;

    bool OnInitDialog() override;

    QTreeWidget* List() const
    {
        return m_list;
    }
    CycleList* Rows() const
    {
        return m_rows;
    }
    QLabel* BasisLine() const
    {
        return m_basis;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillRows();
    void PlaceControls();

    QTreeWidget* m_list = nullptr;
    CycleList* m_rows = nullptr;
    QLabel* m_basis = nullptr;
};
