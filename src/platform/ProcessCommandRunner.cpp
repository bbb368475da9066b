#include "platform/ProcessCommandRunner.h"

#include <QDeadlineTimer>

namespace {
// systemctl answers within milliseconds; a hung one must not keep a background run alive.
constexpr int kCommandTimeoutMs = 30000;
constexpr int kExitGraceMs = 5000;
} // namespace

ProcessCommandRunner::ProcessCommandRunner(Mode mode) : m_mode(mode)
{
}

ProcessCommandRunner::~ProcessCommandRunner()
{
    WaitForFinished(kExitGraceMs);
    m_queue.clear();
    if (m_process)
        m_process->disconnect();
}

void ProcessCommandRunner::Run(const std::vector<QStringList>& commands)
{
    m_ended.clear();
    for (const QStringList& command : commands) {
        if (!command.isEmpty())
            m_queue.push_back(command);
    }
    if (m_mode == Mode::Wait) {
        WaitForFinished(kCommandTimeoutMs * static_cast<int>(m_queue.size() + 1));
        return;
    }
    if (!m_process)
        StartNext();
}

void ProcessCommandRunner::WaitForFinished(int msecs)
{
    const QDeadlineTimer deadline(msecs);
    if (!m_process)
        StartNext();
    while (m_process && !deadline.hasExpired()) {
        QProcess* process = m_process.get();
        // The end is delivered inside waitForFinished, which starts the next command.
        const int slice = static_cast<int>(qMin<qint64>(deadline.remainingTime(), kCommandTimeoutMs));
        if (!process->waitForFinished(slice) && process == m_process.get()) {
            if (process->state() != QProcess::NotRunning)
                break; // still running at the deadline
            OnEnded();
        }
    }
    m_ended.clear();
}

void ProcessCommandRunner::StartNext()
{
    if (m_queue.empty())
        return;
    const QStringList command = m_queue.front();
    m_queue.pop_front();
    m_process = std::make_unique<QProcess>();
    QProcess* process = m_process.get();
    // The output is of no use to the user; keep it out of the program's own streams.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [this, process] {
        if (process == m_process.get())
            OnEnded();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && process == m_process.get())
            OnEnded();
    });
    process->start(command.front(), command.mid(1));
}

void ProcessCommandRunner::OnEnded()
{
    if (m_process)
        m_ended.push_back(std::move(m_process));
    StartNext();
}
