#pragma once

#include "ui/toolkit/CSizeableDialog.h"

#include <QDate>

class QComboBox;
class QDateEdit;
class QLabel;

/// "Due Date Calculator": the first day of the last cycle, the conception date, the due date
/// and the birth sign of a child born on it. Changing one recomputes the others; it opens on
/// the user's current cycle, stores nothing and is closed with "Back".
///
/// Everything works on whole calendar days: conception is an average cycle less the luteal
/// phase after the cycle start (before it, for cycles shorter than the luteal phase), the due
/// date 266 days after conception: 280 days after the cycle start for 28 and 14.
/// A field changes only when its new date lies in the pickers' range; the dialog's own
/// updates of the fields never run the handlers that the user's changes run.
class CDueDateCalcDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    /// The dates the pickers offer.
    static QDate FirstDate();
    static QDate LastDate();

    explicit CDueDateCalcDlg(QWidget* parent = nullptr);
    ~CDueDateCalcDlg() override;

    bool OnInitDialog() override;
    /// The template gives the size the anchors are measured from.
    int GetLayoutTemplateId() const override;

    QDate LastCycleStart() const;
    QDate ConceptionDate() const;
    QDate DueDate() const;
    /// The name the birth sign list shows; empty when nothing is selected.
    QString BirthSignText() const;
    QString PregnancyWeekText() const;

private:
    // The user's changes.
    void OnLastCycleChanged();
    void OnConceptionChanged();
    void OnDueDateChanged();
    void OnBirthSignChosen(int index);

    // The steps they are made of.
    void ConceptionFromLastCycle();
    void LastCycleFromConception();
    void DueDateFromLastCycle();
    void LastCycleFromDueDate();
    void ShowSignOfDueDate();
    void ShowPregnancyWeek();

    /// Shows `date` in `picker` without running a handler; false (nothing changed) when the
    /// date lies outside the pickers' range.
    static bool SetPickerDate(QDateEdit* picker, const QDate& date);

    int m_gapToConception = 0; ///< days from a cycle start to conception
    QDateEdit* m_lastCycle = nullptr;
    QDateEdit* m_conception = nullptr;
    QDateEdit* m_dueDate = nullptr;
    QComboBox* m_birthSign = nullptr;
    QLabel* m_pregnancyWeek = nullptr;
};
