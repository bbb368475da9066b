#include "platform/gui/PasswordVisibilityToggle.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>

namespace {
// An eye (with a stroke through it when `crossed`), drawn large so that it scales down cleanly.
QIcon EyeIcon(const QColor& colour, bool crossed)
{
    constexpr int kSize = 64;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath outline;
    outline.moveTo(6, 32);
    outline.quadTo(32, 4, 58, 32);
    outline.quadTo(32, 60, 6, 32);
    painter.drawPath(outline);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(32, 32), 8, 8);
    if (crossed)
        painter.drawLine(QPointF(12, 54), QPointF(52, 10));
    painter.end();
    return QIcon(pixmap);
}
} // namespace

PasswordVisibilityToggle::PasswordVisibilityToggle(QLineEdit* edit)
    : QObject(edit), m_edit(edit), m_action(new QAction(this))
{
    m_action->setCheckable(true);
    m_edit->addAction(m_action, QLineEdit::TrailingPosition);
    connect(m_action, &QAction::toggled, this, &PasswordVisibilityToggle::SetShown);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), m_edit);
    shortcut->setContext(Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { SetShown(!IsShown()); });
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->installEventFilter(this);
    UpdateAction();
}

bool PasswordVisibilityToggle::IsShown() const
{
    return m_edit->echoMode() == QLineEdit::Normal;
}

void PasswordVisibilityToggle::SetShown(bool shown)
{
    m_edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    UpdateAction();
}

void PasswordVisibilityToggle::UpdateAction()
{
    const bool shown = IsShown();
    const QSignalBlocker blocker(m_action);
    m_action->setChecked(shown);
    // The button shows what a click does.
    m_action->setIcon(EyeIcon(m_edit->palette().color(QPalette::Text), shown));
    m_action->setText(shown ? QStringLiteral("Hide password") : QStringLiteral("Show password"));
    m_action->setToolTip(m_action->text() + QStringLiteral(" (Ctrl+H)"));
}

bool PasswordVisibilityToggle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::PaletteChange)
        UpdateAction();
    return QObject::eventFilter(watched, event);
}
