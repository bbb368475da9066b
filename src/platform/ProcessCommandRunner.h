#pragma once

#include "platform/CommandRunner.h"

#include <QProcess>

#include <deque>
#include <memory>

/// Runs commands with QProcess. Waiting: Run returns when they have ended (a process without
/// a user interface). Not waiting: they run one after another from the event loop, so the user
/// interface never stops for them; WaitForFinished or the destructor lets them end.
class ProcessCommandRunner final : public CommandRunner
{
public:
    enum class Mode {
        Wait,
        InBackground,
    };

    explicit ProcessCommandRunner(Mode mode);
    ~ProcessCommandRunner() override;

    void Run(const std::vector<QStringList>& commands) override;
    void WaitForFinished(int msecs) override;

private:
    void StartNext();
    void OnEnded();

    Mode m_mode;
    std::deque<QStringList> m_queue;
    std::unique_ptr<QProcess> m_process;
    // Ended processes, deleted outside their own signals.
    std::vector<std::unique_ptr<QProcess>> m_ended;
};
