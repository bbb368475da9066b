#pragma once

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

/// A date picker that can also hold no date: a check box in front of a date edit enables
/// it. Unchecked means "no date".
class CheckedDateEdit : public QWidget
{
    Q_OBJECT

public:
    explicit CheckedDateEdit(QWidget* parent = nullptr);

    bool HasDate() const;
    void SetHasDate(bool hasDate);

    QDate Date() const;
    void SetDate(const QDate& date);

    QCheckBox* CheckBox() const
    {
        return m_check;
    }
    QDateEdit* DateEdit() const
    {
        return m_edit;
    }

private:
    QCheckBox* m_check;
    QDateEdit* m_edit;
};
