#pragma once

#include "ui/toolkit/CSizeableDialog.h"

/// "Ovulation": the dates of the last and the next ovulation and the fertile days around
/// them, estimated from the start of the current cycle; read-only, closed with "Back".
class COvulationDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    explicit COvulationDlg(QWidget* parent = nullptr);
    ~COvulationDlg() override;

    bool OnInitDialog() override;
    /// The template gives the size the anchors are measured from.
    int GetLayoutTemplateId() const override;

    /// The texts of the boxes: last ovulation, next ovulation, fertile days.
    QString LastText() const;
    QString NextText() const;
    QString FertileText() const;

private:
    void ShowDates();
};
