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
    connect(m_check, &QCheckBox::toggled, this, &CheckedDateEdit::SetHasDate);
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
    // The focus goes where typing means something: the date once there is one, the box
    // before.
    setFocusProxy(hasDate ? static_cast<QWidget*>(m_edit) : m_check);
}

QDate CheckedDateEdit::Date() const
{
    return HasDate() ? m_edit->date() : QDate();
}

void CheckedDateEdit::SetDate(const QDate& date)
{
    m_edit->setDate(date);
}
