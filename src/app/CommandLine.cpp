#include "app/CommandLine.h"

#include "platform/DBusDesktopNotifier.h"
#include "platform/ProcessCommandRunner.h"
#include "platform/ReplaceProcess.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"
#include "settings/ReminderAlert.h"
#include "settings/SettingsAccess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

#include <cstdio>

namespace {
void Print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString Reminders(int count)
{
    return count == 1 ? QStringLiteral("1 reminder") : QStringLiteral("%1 reminders").arg(count);
}

void Fail(const QString& error)
{
    Print(stderr, error + QStringLiteral("\nTry 'velumina --help'.\n"));
}

int RemoveReminders()
{
    AppSettings& settings = TheAppSettings();
    settings.SetNotificationDatabase(std::make_unique<SystemdNotificationDatabase>(
        SystemdNotificationDatabase::DefaultUnitFolder(),
        std::make_unique<ProcessCommandRunner>(ProcessCommandRunner::Mode::Wait)));
    int failed = 0;
    const int removed = settings.RemoveAllEntries(failed);
    settings.SetNotificationDatabase(nullptr);
    if (removed == 0 && failed == 0)
        Print(stdout, QStringLiteral("Velumina had no reminders to remove.\n"));
    else
        Print(stdout, QStringLiteral("Removed %1 of Velumina.\n").arg(Reminders(removed)));
    if (failed > 0) {
        Print(stderr, QStringLiteral("%1 could not be removed from %2.\n")
                          .arg(Reminders(failed), SystemdNotificationDatabase::DefaultUnitFolder()));
        return 1;
    }
    return 0;
}

int ShowReminder(const QString& number)
{
    bool ok = false;
    const NotificationHandle handle = number.toUInt(&ok);
    if (!ok || handle == 0) {
        Print(stderr, QStringLiteral("No such reminder: %1\n").arg(number));
        return 2;
    }
    AppSettings& settings = TheAppSettings();
    settings.Load();
    SystemdNotificationDatabase database(SystemdNotificationDatabase::DefaultUnitFolder(), nullptr);
    DBusDesktopNotifier notifier(QDBusConnection::sessionBus(),
                                 std::make_unique<ProcessCommandRunner>(ProcessCommandRunner::Mode::Wait),
                                 QString::fromUtf16(kDiscreetReminderText));
    return ShowReminderAlert(database, handle, notifier, settings.discreetReminders, ReplaceProcess);
}
} // namespace

std::optional<int> RunCommandLine(int& argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.size() < 2 || arguments.mid(1).filter(QRegularExpression(QStringLiteral("^-"))).isEmpty())
        return std::nullopt;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Velumina, a private menstruation and ovulation calendar. Started without options it opens "
                       "its window."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption removeReminders(
        QStringLiteral("remove-reminders"),
        QStringLiteral("Remove every reminder Velumina registered with the systemd of this user, say how many, "
                       "and end. Run it before removing the program."));
    parser.addOption(removeReminders);
    QCommandLineOption showReminder(SystemdNotificationDatabase::ShowReminderOption().mid(2),
                                    QStringLiteral("Show the reminder with this number (its timer does)."),
                                    QStringLiteral("number"));
    showReminder.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(showReminder);

    if (!parser.parse(arguments)) {
        // Qt's own single-dash options (-platform, -style ...) belong to the interactive start.
        const QStringList unknown = parser.unknownOptionNames();
        const bool onlyQtOptions =
            !unknown.isEmpty() && std::all_of(unknown.begin(), unknown.end(), [&arguments](const QString& name) {
                return name.size() > 1 && arguments.contains(u'-' + name);
            });
        if (onlyQtOptions)
            return std::nullopt;
        Fail(parser.errorText());
        return 2;
    }
    const bool wantsHelp = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    if (!wantsHelp && !parser.isSet(version) && !parser.isSet(removeReminders) && !parser.isSet(showReminder))
        return std::nullopt;

    // No display is needed for any of these.
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromUtf16(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELUMINA_VERSION));
    if (wantsHelp) {
        Print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("Velumina %1\n").arg(QStringLiteral(VELUMINA_VERSION)));
        return 0;
    }
    if (parser.isSet(removeReminders))
        return RemoveReminders();
    return ShowReminder(parser.value(showReminder));
}
