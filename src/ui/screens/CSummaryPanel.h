#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/CFingerScroller.h"

#include <QTimer>

/// The main window's content: nine rows telling where the user is in her cycle today, each
/// opening the screen behind it. The rows rebuild themselves when the day or the data changed.
class CSummaryPanel : public CFingerScroller
{
    Q_OBJECT

public:
    /// How often the panel looks whether the day has changed (midnight, a resume, a new zone).
    static constexpr int kDateCheckMilliseconds = 60000;

    explicit CSummaryPanel(QWidget* parent = nullptr);
    ~CSummaryPanel() override;

    void Populate() override;
    void ActivateItem(int index) override;
    bool NeedsRebuild() override;

    /// The date the rows were built for.
    CalDate LastBuiltDate() const;
    /// Asks for a repaint when today is not the day the rows were built for.
    void CheckDate();
    /// Rebuilds and repaints the rows now when the day or the data changed: after a command
    /// that changed the data without covering the panel, nothing else would repaint it.
    void RefreshIfStale();
    QTimer& DateCheckTimer();

signals:
    /// A row posted its command; delivered through the event loop, after the tap.
    void commandPosted(int command);

protected:
    bool event(QEvent* event) override;

private:
    CalDate m_lastBuiltDate;
    QTimer m_dateCheckTimer;
    bool m_rescheduleQueued;
};
