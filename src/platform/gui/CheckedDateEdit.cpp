#include "platform/gui/CheckedDateEdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

CheckedDateEdit::CheckedDateEdit(QWidget* parent)
    : QWidget(parent), m_check(new QCheckBox(this)), m_edit(new QDateEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    m_edit->setCalendarPopup(true);
    setFocusProxy(m_edit);
    connect(m_check, &QCheckBox::toggled, m_edit, &QDateEdit::setEnabled);
    SetHasDate(false);
}

bool CheckedDateEdit::HasDate() const
{
    return m_check->isChecked();
}

void CheckedDateEdit::SetHasDate(bool hasDate)
{
    m_check->setChecked(hasDate);
    m_edit->setEnabled(hasDate);
}

QDate CheckedDateEdit::Date() const
{
    return HasDate() ? m_edit->date() : QDate();
}

void CheckedDateEdit::SetDate(const QDate& date)
{
    m_edit->setDate(date);
}
