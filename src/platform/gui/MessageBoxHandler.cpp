#include "platform/gui/MessageBoxHandler.h"

#include "platform/MessageBox.h"
#include "ui/toolkit/Contrast.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace {
// Room left between a message box and the sides of the window it stands over.
constexpr int kOwnerInset = 8;

// A message box in the colours of the window that owns it, and never wider than that window:
// a long text wraps into more lines instead.
class OwnedMessageBox : public QMessageBox
{
public:
    OwnedMessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons, QWidget* owner)
        : QMessageBox(icon, title, text, buttons, owner), m_owner(owner)
    {
        if (owner)
            setPalette(owner->window()->palette());
    }

protected:
    bool event(QEvent* event) override
    {
        // The box sizes itself to its text whenever its layout changes; the owner's width
        // comes after that.
        const bool result = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest)
            FitOwner();
        return result;
    }

    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        FitOwner();
    }

private:
    void FitOwner()
    {
        if (!m_owner)
            return;
        const QRect owner = m_owner->window()->geometry();
        const int limit = std::max(1, owner.width() - 2 * kOwnerInset);
        // Buttons with long labels that do not fit side by side go one under the other.
        auto* buttons = findChild<QDialogButtonBox*>();
        if (width() > limit && buttons && buttons->orientation() == Qt::Horizontal &&
            buttons->sizeHint().width() > limit - 2 * kOwnerInset) {
            buttons->setOrientation(Qt::Vertical);
            if (layout())
                layout()->activate();
        }
        if (width() > limit) {
            if (auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                label->setWordWrap(true);
            const int height =
                layout() ? std::max(layout()->totalHeightForWidth(limit), this->height()) : this->height();
            setFixedSize(limit, height);
        }
        if (width() <= owner.width())
            move(owner.x() + (owner.width() - width()) / 2, y());
    }

    QPointer<QWidget> m_owner;
};

// The buttons of a box framed in the box's own colours: the default one (what Enter answers)
// in the text colour, the others in a quieter shade that contrasts with it at least 3:1, so
// that in every theme she sees which answer Enter gives.
void FrameButtons(QMessageBox& box)
{
    const QPalette palette = box.palette();
    const QColor background = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::ButtonText);
    QColor quiet = background;
    for (double weight = 0.3; weight <= 1.0; weight += 0.05) {
        const QColor candidate = MixColors(text, background, weight);
        if (ContrastRatio(candidate, text) >= kMarkContrast + 0.2) {
            quiet = candidate;
            break;
        }
    }
    const QColor focused = MixColors(text, background, 0.85);
    const QString common = QStringLiteral("QPushButton { color: %1; background-color: %2; border-radius: 3px; "
                                          "padding: 4px 14px; min-width: 4em; }"
                                          "QPushButton:focus { background-color: %3; }")
                               .arg(text.name(), background.name(), focused.name());
    for (QAbstractButton* button : box.buttons()) {
        auto* push = qobject_cast<QPushButton*>(button);
        if (!push)
            continue;
        const bool isDefault = push == box.defaultButton();
        push->setStyleSheet(common + QStringLiteral("QPushButton { border: %1px solid %2; }")
                                         .arg(isDefault ? 2 : 1)
                                         .arg((isDefault ? text : quiet).name()));
    }
}

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
    case MessageButtons::AddReplaceCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
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
    case MessageAnswer::Add: // the Yes button, labelled "Add to my days"
        return QMessageBox::Yes;
    case MessageAnswer::No:
    case MessageAnswer::Replace: // the No button, labelled "Replace my days"
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

MessageAnswer Answer(int button, MessageButtons buttons)
{
    const bool importChoice = buttons == MessageButtons::AddReplaceCancel;
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return importChoice ? MessageAnswer::Add : MessageAnswer::Yes;
    case QMessageBox::No:
        return importChoice ? MessageAnswer::Replace : MessageAnswer::No;
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
        // Before the main window exists, a message of the start-up prompt stands over the
        // prompt, in its colours, instead of in the desktop's colours somewhere on the screen.
        if (!parent)
            parent = QApplication::activeModalWidget();
        OwnedMessageBox box(BoxIcon(EffectiveIcon(buttons, icon)), QStringLiteral("Velumina"), text,
                            BoxButtons(buttons), parent);
        // Closing the box by its title bar or Esc is the safe answer.
        box.setEscapeButton(buttons == MessageButtons::YesNo ? QMessageBox::No
                            : buttons == MessageButtons::Ok  ? QMessageBox::Ok
                                                             : QMessageBox::Cancel);
        box.setDefaultButton(BoxButton(defaultAnswer));
        if (buttons == MessageButtons::AddReplaceCancel) {
            box.button(QMessageBox::Yes)->setText(QStringLiteral("&Add to my days"));
            box.button(QMessageBox::No)->setText(QStringLiteral("&Replace my days"));
        }
        FrameButtons(box);
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        box.raise();
        box.activateWindow();
        return Answer(box.exec(), buttons);
    });
}
