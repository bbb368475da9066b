#include "ui/screens/CSummaryPanel.h"

#include "model/CycleDatabase.h"
#include "settings/AppSettings.h"
#include "ui/screens/SummaryRows.h"
#include "ui/toolkit/CScrollPanel.h"

#include <QEvent>

CSummaryPanel::CSummaryPanel(QWidget* parent)
    : CFingerScroller(parent), m_lastBuiltDate{0, 0, 0}, m_rescheduleQueued(false)
{
    setAccessibleName(QStringLiteral("Summary"));
    // A window left open across midnight, or a machine that slept, must not keep showing
    // yesterday; one timer at midnight would fire hours late after a suspend.
    m_dateCheckTimer.setInterval(kDateCheckMilliseconds);
    connect(&m_dateCheckTimer, &QTimer::timeout, this, &CSummaryPanel::CheckDate);
    m_dateCheckTimer.start();
}

CSummaryPanel::~CSummaryPanel() = default;

void CSummaryPanel::Populate()
{
    ClearItems();
    for (const SummaryRow& row : BuildSummaryRows(TheCycleDatabase()))
        MutableItems().push_back(std::make_unique<PanelItem>(row.caption, row.description, row.iconIndex));
}

void CSummaryPanel::ActivateItem(int index)
{
    CFingerScroller::ActivateItem(index);
    const int command = SummaryRowCommand(index);
    if (command == 0)
        return;
    QMetaObject::invokeMethod(
        this, [this, command] { emit commandPosted(command); }, Qt::QueuedConnection);
}

bool CSummaryPanel::NeedsRebuild()
{
    const CalDate today = Today();
    // A late period is expected from tomorrow, so on a new day the predictions move.
    const bool derivedAgain = TheCycleDatabase().FollowToday();
    bool rebuild = false;
    if (!IsSameDate(today, m_lastBuiltDate)) {
        m_lastBuiltDate = today;
        rebuild = true;
    } else {
        rebuild = TheCycleDatabase().Changed();
    }
    if (!rebuild)
        return false;
    // This runs inside a paint: the reminders are brought up to date after it, never in it.
    if (!m_rescheduleQueued && (derivedAgain || TheAppSettings().IsAlertDue())) {
        m_rescheduleQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_rescheduleQueued = false;
                TheAppSettings().Reschedule();
            },
            Qt::QueuedConnection);
    }
    return true;
}

CalDate CSummaryPanel::LastBuiltDate() const
{
    return m_lastBuiltDate;
}

void CSummaryPanel::CheckDate()
{
    if (!IsSameDate(Today(), m_lastBuiltDate) && Panel())
        Panel()->update();
}

void CSummaryPanel::RefreshIfStale()
{
    if (NeedsRebuild())
        Rebuild();
}

QTimer& CSummaryPanel::DateCheckTimer()
{
    return m_dateCheckTimer;
}

bool CSummaryPanel::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        CheckDate();
    return CFingerScroller::event(event);
}
