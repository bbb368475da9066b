#include "platform/DBusDesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpenAction = QStringLiteral("default");
// A notification left in the desktop's list can be chosen hours later, as notify-send waits.
constexpr int kDefaultWaitLimitMs = 12 * 60 * 60 * 1000;
constexpr int kCallTimeoutMs = 10000;

// Servers that read markup in the body would take "<" and "&" of a note as markup.
QString EscapeMarkup(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("&amp;"));
    escaped.replace(u'<', QStringLiteral("&lt;"));
    escaped.replace(u'>', QStringLiteral("&gt;"));
    return escaped;
}
} // namespace

DesktopNotifier::~DesktopNotifier() = default;

DBusDesktopNotifier::DBusDesktopNotifier(const QDBusConnection& bus,
                                         std::unique_ptr<CommandRunner> fallback,
                                         const QString& fallbackSummary)
    : m_bus(bus), m_fallback(std::move(fallback)), m_fallbackSummary(fallbackSummary),
      m_waitLimitMs(kDefaultWaitLimitMs)
{
}

DBusDesktopNotifier::~DBusDesktopNotifier() = default;

void DBusDesktopNotifier::SetWaitLimit(int msecs)
{
    m_waitLimitMs = msecs;
}

DesktopNotifier::Outcome DBusDesktopNotifier::Fallback()
{
    if (!m_fallback)
        return Outcome::Failed;
    m_fallback->Run({{QStringLiteral("notify-send"), QStringLiteral("--app-name=Velumina"), QStringLiteral("--"),
                      m_fallbackSummary}});
    m_fallback->WaitForFinished(kCallTimeoutMs);
    return Outcome::Closed;
}

DesktopNotifier::Outcome DBusDesktopNotifier::Show(const QString& summary, const QString& body)
{
    if (!m_bus.isConnected())
        return Fallback();
    // The calls wait in an event loop, so that an answer can arrive from this very process too.
    QDBusMessage capabilitiesCall =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    const QDBusReply<QStringList> capabilities = m_bus.call(capabilitiesCall, QDBus::BlockWithGui, kCallTimeoutMs);
    if (!capabilities.isValid())
        return Fallback();
    const bool hasActions = capabilities.value().contains(QStringLiteral("actions"));
    const bool readsMarkup = capabilities.value().contains(QStringLiteral("body-markup"));

    // Listen before asking, so that a quick answer is not missed.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(OnActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));

    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(VELUMINA_APP_ID));
    const QStringList actions = hasActions ? QStringList{kOpenAction, QStringLiteral("Open Velumina")} : QStringList{};
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Velumina") << 0U << QStringLiteral(VELUMINA_APP_ID) << summary
           << (readsMarkup ? EscapeMarkup(body) : body) << actions << hints << -1;
    const QDBusReply<uint> id = m_bus.call(notify, QDBus::BlockWithGui, kCallTimeoutMs);
    if (!id.isValid())
        return Fallback();
    m_id = id.value();
    for (const auto& [answered, opened] : m_earlyAnswers) {
        if (answered == m_id) {
            m_opened = m_opened || opened;
            m_finished = true;
        }
    }
    m_earlyAnswers.clear();
    if (!hasActions)
        return Outcome::Closed;

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &DBusDesktopNotifier::Finished, &loop, &QEventLoop::quit);
    if (!m_finished) {
        limit.start(m_waitLimitMs);
        loop.exec();
    }
    return m_opened ? Outcome::Opened : Outcome::Closed;
}

void DBusDesktopNotifier::OnActionInvoked(uint id, const QString& action)
{
    if (m_id == 0) {
        m_earlyAnswers.emplace_back(id, action == kOpenAction);
        return;
    }
    if (id != m_id)
        return;
    m_opened = m_opened || action == kOpenAction;
    m_finished = true;
    emit Finished();
}

void DBusDesktopNotifier::OnClosed(uint id, uint)
{
    if (m_id == 0) {
        m_earlyAnswers.emplace_back(id, false);
        return;
    }
    if (id != m_id)
        return;
    m_finished = true;
    emit Finished();
}
