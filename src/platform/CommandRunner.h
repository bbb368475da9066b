#pragma once

#include <QStringList>

#include <vector>

/// Runs outside programs for the platform layer (systemctl). Tests replace it by one that
/// records the commands.
class CommandRunner
{
public:
    CommandRunner() = default;
    virtual ~CommandRunner();
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;

    /// Runs the commands one after another, each a program followed by its arguments. A
    /// command that cannot start or fails does not stop the ones after it.
    virtual void Run(const std::vector<QStringList>& commands) = 0;
    /// Waits up to `msecs` until every command given so far has ended.
    virtual void WaitForFinished(int msecs) = 0;
};
