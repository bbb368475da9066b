#include "ui/screens/CDueDateCalcDlg.h"

#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "resources/ResourceIds.h"
#include "ui/screens/BirthSigns.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLabel>
#include <QLocale>

namespace {
// Pregnancies that go on two weeks past the due date are induced; weeks beyond that are not shown.
constexpr int kDaysPastDueDate = 14;
constexpr int kDaysPerWeek = 7;

} // namespace

CDueDateCalcDlg::CDueDateCalcDlg(QWidget* parent) : CSizeableDialog(kIddDueDate, parent)
{
}

CDueDateCalcDlg::~CDueDateCalcDlg() = default;

QDate CDueDateCalcDlg::FirstDate()
{
    return QDate(kFirstValidYear, 1, 1);
}

QDate CDueDateCalcDlg::LastDate()
{
    return QDate(kLastValidYear, 12, 31);
}

int CDueDateCalcDlg::GetLayoutTemplateId() const
{
    return kIddDueDate;
}

bool CDueDateCalcDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    m_lastCycle = ControlAs<QDateEdit>(kIdcDueLastCycle);
    m_conception = ControlAs<QDateEdit>(kIdcDueConception);
    m_dueDate = ControlAs<QDateEdit>(kIdcDueDate);
    m_birthSign = ControlAs<QComboBox>(kIdcDueBirthSign);
    m_pregnancyWeek = ControlAs<QLabel>(kIdcDuePregnancyWeek);
    if (!m_lastCycle || !m_conception || !m_dueDate || !m_birthSign || !m_pregnancyWeek)
        return false;
    for (const int id : {kIdcDueInstruction, kIdcDueLastCycle, kIdcDueConception, kIdcDueDate, kIdcDueBirthSign,
                         kIdcDuePregnancyWeek, kIdcDueEstimateNote})
        SetAnchor(id, kAnchorWiden);
    // On a wide window the fields stay beside their labels instead of spreading across it.
    SetMaximumLayoutWidth(Units().MapX(kReadableLayoutWidth));
    CreateMenuBar(kMenuBack);

    for (QDateEdit* picker : {m_lastCycle, m_conception, m_dueDate}) {
        picker->setDateRange(FirstDate(), LastDate());
        // A half-typed date is not a change: the others follow once it is complete (Enter,
        // leaving the field, the arrows or the calendar).
        picker->setKeyboardTracking(false);
    }
    for (const BirthSign& sign : BirthSigns())
        m_birthSign->addItem(QString::fromUtf16(sign.name));

    CycleDatabase& database = TheCycleDatabase();
    m_gapToConception = database.AverageCycleLength() - database.LutealPhaseLen();
    const CalDate today = Today();
    CalDate start = today;
    QDate first = database.FindPeriodStart(start) ? ToQDate(start) : ToQDate(today);
    if (!first.isValid())
        first = QDateTime::fromSecsSinceEpoch(CurrentTime()).date();
    SetPickerDate(m_lastCycle, first);
    ConceptionFromLastCycle();
    DueDateFromLastCycle();
    ShowPregnancyWeek();

    connect(m_lastCycle, &QDateEdit::dateChanged, this, &CDueDateCalcDlg::OnLastCycleChanged);
    connect(m_conception, &QDateEdit::dateChanged, this, &CDueDateCalcDlg::OnConceptionChanged);
    connect(m_dueDate, &QDateEdit::dateChanged, this, &CDueDateCalcDlg::OnDueDateChanged);
    // Only her choice in the list moves the dates; the list showing a sign does not.
    connect(m_birthSign, &QComboBox::activated, this, &CDueDateCalcDlg::OnBirthSignChosen);
    return true;
}

bool CDueDateCalcDlg::SetPickerDate(QDateEdit* picker, const QDate& date)
{
    if (!date.isValid() || date < FirstDate() || date > LastDate())
        return false;
    const QSignalBlocker blocker(picker);
    picker->setDate(date);
    return true;
}

QDate CDueDateCalcDlg::LastCycleStart() const
{
    return m_lastCycle ? m_lastCycle->date() : QDate();
}

QDate CDueDateCalcDlg::ConceptionDate() const
{
    return m_conception ? m_conception->date() : QDate();
}

QDate CDueDateCalcDlg::DueDate() const
{
    return m_dueDate ? m_dueDate->date() : QDate();
}

QString CDueDateCalcDlg::BirthSignText() const
{
    return m_birthSign ? m_birthSign->currentText() : QString();
}

QString CDueDateCalcDlg::PregnancyWeekText() const
{
    return m_pregnancyWeek ? m_pregnancyWeek->text() : QString();
}

void CDueDateCalcDlg::OnLastCycleChanged()
{
    ConceptionFromLastCycle();
    DueDateFromLastCycle();
    ShowPregnancyWeek();
}

void CDueDateCalcDlg::OnConceptionChanged()
{
    LastCycleFromConception();
    DueDateFromLastCycle();
    ShowPregnancyWeek();
}

void CDueDateCalcDlg::OnDueDateChanged()
{
    ShowSignOfDueDate();
    LastCycleFromDueDate();
    ShowPregnancyWeek();
}

void CDueDateCalcDlg::OnBirthSignChosen(int index)
{
    if (index < 0)
        return;
    const CalDate today = Today();
    if (!SetPickerDate(m_dueDate, DueDateForBirthSign(index, ToQDate(today)))) {
        // No such due date fits the pickers: the list goes back to the date shown.
        ShowSignOfDueDate();
        return;
    }
    LastCycleFromDueDate();
    ShowPregnancyWeek();
}

void CDueDateCalcDlg::ConceptionFromLastCycle()
{
    const QDate start = m_lastCycle->date();
    if (start.isValid())
        SetPickerDate(m_conception, start.addDays(m_gapToConception));
}

void CDueDateCalcDlg::LastCycleFromConception()
{
    const QDate conception = m_conception->date();
    if (conception.isValid())
        SetPickerDate(m_lastCycle, conception.addDays(-m_gapToConception));
}

void CDueDateCalcDlg::DueDateFromLastCycle()
{
    const QDate start = m_lastCycle->date();
    if (!start.isValid())
        return;
    const QDate due = start.addDays(m_gapToConception + kConceptionToDueDays);
    if (due == m_dueDate->date())
        return;
    if (SetPickerDate(m_dueDate, due))
        ShowSignOfDueDate();
}

void CDueDateCalcDlg::LastCycleFromDueDate()
{
    const QDate due = m_dueDate->date();
    if (!due.isValid())
        return;
    const QDate start = due.addDays(-kConceptionToDueDays - m_gapToConception);
    if (start == m_lastCycle->date())
        return;
    if (SetPickerDate(m_lastCycle, start))
        ConceptionFromLastCycle();
}

void CDueDateCalcDlg::ShowSignOfDueDate()
{
    const QDate due = m_dueDate->date();
    if (!due.isValid())
        return;
    const BirthSign& sign = BirthSigns()[static_cast<size_t>(BirthSignOf(due.month(), due.day()))];
    const int index = m_birthSign->findText(QString::fromUtf16(sign.name), Qt::MatchStartsWith);
    const QSignalBlocker blocker(m_birthSign);
    m_birthSign->setCurrentIndex(index);
}

void CDueDateCalcDlg::ShowPregnancyWeek()
{
    const QDate today = ToQDate(Today());
    const QDate start = m_lastCycle->date();
    QString text;
    if (today.isValid() && start.isValid()) {
        const qint64 days = start.daysTo(today);
        if (today < m_conception->date() || days < 0)
            text = QStringLiteral("Today is before the conception date.");
        else if (m_dueDate->date().daysTo(today) > kDaysPastDueDate)
            text = QStringLiteral("The due date has passed.");
        else
            text = QStringLiteral("By these dates, today is week %1 + %2 of pregnancy.")
                       .arg(days / kDaysPerWeek)
                       .arg(days % kDaysPerWeek);
    }
    m_pregnancyWeek->setText(text);
}
