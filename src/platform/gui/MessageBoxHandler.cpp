#include "platform/gui/MessageBoxHandler.h"

#include "platform/MessageBox.h"

#include <QMessageBox>

namespace {
QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
    case MessageIcon::Default:
        break;
    }
    return QMessageBox::Warning;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::SaveDiscardCancel:
        return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton BoxButton(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Save:
        return QMessageBox::Save;
    case MessageAnswer::Discard:
        return QMessageBox::Discard;
    case MessageAnswer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

MessageAnswer Answer(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Save:
        return MessageAnswer::Save;
    case QMessageBox::Discard:
        return MessageAnswer::Discard;
    default:
        return MessageAnswer::Cancel;
    }
}
} // namespace

void InstallMessageBoxHandler(std::function<QWidget*()> owner)
{
    SetMessageHandler([owner = std::move(owner)](const QString& text, MessageButtons buttons, MessageIcon icon,
                                                 MessageAnswer defaultAnswer) {
        QWidget* parent = owner ? owner() : nullptr;
        QMessageBox box(BoxIcon(EffectiveIcon(buttons, icon)), QStringLiteral("Velumina"), text, BoxButtons(buttons),
                        parent);
        // Closing the box by its title bar or Esc is the safe answer.
        box.setEscapeButton(buttons == MessageButtons::YesNo ? QMessageBox::No
                            : buttons == MessageButtons::Ok  ? QMessageBox::Ok
                                                             : QMessageBox::Cancel);
        box.setDefaultButton(BoxButton(defaultAnswer));
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        box.raise();
        box.activateWindow();
        return Answer(box.exec());
    });
}
