#include "platform/gui/DialogControls.h"

#include "platform/Clock.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/ResourceImages.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/ResourceIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

constexpr char kControlIdProperty[] = "veluminaControlId";

QString ItemText(const DialogItemTemplate& item)
{
    return item.text ? QString::fromUtf16(item.text) : QString();
}

QWidget* CreateButton(const DialogItemTemplate& item, QWidget* dialog)
{
    switch (item.style & kBsTypeMask) {
    case kBsAutoCheckBox:
        return new QCheckBox(ItemText(item), dialog);
    case kBsGroupBox:
        return new QGroupBox(ItemText(item), dialog);
    case kBsOwnerDraw: {
        // The screen replaces it with its own painted button; until then it shows nothing.
        auto* button = new QPushButton(dialog);
        button->setFlat(true);
        return button;
    }
    default: {
        auto* button = new QPushButton(ItemText(item), dialog);
        button->setDefault((item.style & kBsTypeMask) == kBsDefPushButton);
        button->setAutoDefault(false);
        return button;
    }
    }
}

QWidget* CreateEdit(const DialogItemTemplate& item, QWidget* dialog)
{
    if (item.style & kEsMultiline) {
        auto* edit = new QPlainTextEdit(ItemText(item), dialog);
        edit->setReadOnly(item.style & kEsReadOnly);
        edit->setVerticalScrollBarPolicy((item.style & kWsVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        if (!(item.style & kWsBorder))
            edit->setFrameShape(QFrame::NoFrame);
        // A note is read as it was typed: Tab moves to the next control.
        edit->setTabChangesFocus(true);
        return edit;
    }
    QLineEdit* edit = (item.style & kEsNumber) ? new UpDownEdit(dialog) : new QLineEdit(dialog);
    edit->setText(ItemText(item));
    edit->setReadOnly(item.style & kEsReadOnly);
    edit->setFrame(item.style & kWsBorder);
    if (item.style & kEsPassword)
        edit->setEchoMode(QLineEdit::Password);
    if (item.style & kEsCenter)
        edit->setAlignment(Qt::AlignHCenter);
    return edit;
}

QWidget* CreateStatic(const DialogItemTemplate& item, QWidget* dialog)
{
    auto* label = new QLabel(dialog);
    const uint32_t type = item.style & kSsTypeMask;
    if (item.titleResource != 0 && (type == kSsIcon || type == kSsBitmap))
        return label; // the picture is set when the label has its size
    label->setTextFormat(Qt::PlainText);
    label->setText(ItemText(item));
    label->setWordWrap(type != kSsLeftNoWordWrap);
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (type == kSsCenter)
        horizontal = Qt::AlignHCenter;
    else if (type == kSsRight)
        horizontal = Qt::AlignRight;
    label->setAlignment(horizontal | Qt::AlignTop);
    return label;
}

QWidget* CreateComboBox(const DialogItemTemplate& item, QWidget* dialog)
{
    auto* combo = new QComboBox(dialog);
    for (const char16_t* entry : item.entries)
        combo->addItem(QString::fromUtf16(entry));
    return combo;
}

QWidget* CreateListBox(const DialogItemTemplate& item, QWidget* dialog)
{
    auto* list = new QListWidget(dialog);
    for (const char16_t* entry : item.entries)
        list->addItem(QString::fromUtf16(entry));
    return list;
}

QWidget* CreateListView(const DialogItemTemplate& item, QWidget* dialog)
{
    auto* list = new QTreeWidget(dialog);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode((item.style & kLvsSingleSel) ? QAbstractItemView::SingleSelection
                                                        : QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(!(item.style & kLvsNoSortHeader));
    list->header()->setSectionsMovable(false);
    if (!(item.style & kWsBorder))
        list->setFrameShape(QFrame::NoFrame);
    return list;
}

// A date field that may hold no date is a check box and a date edit: both take the name.
void NameAfterLabel(QWidget* control, QString text)
{
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    if (auto* checked = qobject_cast<CheckedDateEdit*>(control)) {
        checked->CheckBox()->setAccessibleName(text);
        checked->DateEdit()->setAccessibleName(text);
    }
    if (control->accessibleName().isEmpty())
        control->setAccessibleName(text);
}
} // namespace

QString TypedDateFormat(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString out;
    bool quoted = false;
    const qsizetype size = format.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (!quoted && i + run < size && format[i + run] == c)
            ++run;
        if (quoted) {
            out += c;
        } else if (c == QLatin1Char('y')) {
            out += QStringLiteral("yyyy");
        } else if (c == QLatin1Char('d') && run >= 3) {
            // A weekday and the separator after it are left out.
            while (i + run < size && !format[i + run].isLetter() && format[i + run] != QLatin1Char('\''))
                ++run;
        } else {
            out += format.mid(i, run);
        }
        i += run;
    }
    return out.trimmed();
}

namespace {

QWidget* CreateDatePicker(const DialogItemTemplate& item, QWidget* dialog)
{
    QDateEdit* edit = nullptr;
    QWidget* control = nullptr;
    if (item.style & kDtsShowNone) {
        auto* checked = new CheckedDateEdit(dialog);
        edit = checked->DateEdit();
        control = checked;
    } else {
        edit = new QDateEdit(dialog);
        edit->setCalendarPopup(true);
        control = edit;
    }
    // The long and the short kind are typed alike: digits, section by section.
    edit->setDisplayFormat(TypedDateFormat(QLocale()));
    edit->setDate(QDateTime::fromSecsSinceEpoch(CurrentTime()).date());
    return control;
}

QWidget* CreateUpDown(QWidget* dialog, QWidget* previous)
{
    auto* buttons = new UpDownButtons(dialog);
    buttons->SetBuddy(qobject_cast<UpDownEdit*>(previous));
    return buttons;
}

void SetResourcePicture(QWidget* control, const DialogItemTemplate& item)
{
    const uint32_t type = item.style & kSsTypeMask;
    auto* label = qobject_cast<QLabel*>(control);
    auto* button = qobject_cast<QAbstractButton*>(control);
    if ((type & 0x3) == 0x3) {
        const QIcon icon = ResourceIcon(item.titleResource);
        if (icon.isNull())
            return;
        const QSize size = control->size().isEmpty() ? QSize(32, 32) : control->size();
        if (label)
            label->setPixmap(icon.pixmap(size, label->devicePixelRatioF()));
        else if (button)
            button->setIcon(icon);
    } else if ((type & 0xE) == 0xE) {
        const QImage image = ResourceBitmap(item.titleResource);
        if (image.isNull())
            return;
        if (label)
            label->setPixmap(QPixmap::fromImage(image));
        else if (button)
            button->setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

void FixUpControl(QWidget* control, const DialogItemTemplate& item)
{
    switch (item.itemClass) {
    case DialogItemClass::Button:
    case DialogItemClass::Static:
        if (item.titleResource != 0) {
            SetResourcePicture(control, item);
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(ItemText(item));
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            // An owner-drawn button never shows its title.
            if (item.itemClass != DialogItemClass::Button || (item.style & kBsTypeMask) != kBsOwnerDraw)
                button->setText(ItemText(item));
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            group->setTitle(ItemText(item));
        }
        break;
    case DialogItemClass::ListBox:
        if (auto* list = qobject_cast<QListWidget*>(control); list && list->currentRow() >= 0) {
            list->setCurrentRow(list->currentRow());
            list->scrollToItem(list->currentItem());
        }
        break;
    case DialogItemClass::ComboBox:
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->currentIndex() >= 0)
            combo->setCurrentIndex(combo->currentIndex());
        break;
    default:
        break;
    }
}

} // namespace

void SetControlId(QWidget* control, int id)
{
    control->setProperty(kControlIdProperty, id);
}

int ControlId(const QWidget* control)
{
    return control ? control->property(kControlIdProperty).toInt() : 0;
}

QWidget* ControlById(const QWidget* dialog, int id)
{
    if (!dialog || id == 0)
        return nullptr;
    for (QObject* child : dialog->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && ControlId(widget) == id)
            return widget;
    }
    return nullptr;
}

QWidget* CreateControl(const DialogItemTemplate& item, QWidget* dialog, QWidget* previous)
{
    QWidget* control = nullptr;
    switch (item.itemClass) {
    case DialogItemClass::Button:
        control = CreateButton(item, dialog);
        break;
    case DialogItemClass::Edit:
        control = CreateEdit(item, dialog);
        break;
    case DialogItemClass::Static:
        control = CreateStatic(item, dialog);
        break;
    case DialogItemClass::ListBox:
        control = CreateListBox(item, dialog);
        break;
    case DialogItemClass::ScrollBar:
        control = new QScrollBar(Qt::Vertical, dialog);
        break;
    case DialogItemClass::ComboBox:
        control = CreateComboBox(item, dialog);
        break;
    case DialogItemClass::DatePicker:
        control = CreateDatePicker(item, dialog);
        break;
    case DialogItemClass::UpDown:
        control = CreateUpDown(dialog, previous);
        break;
    case DialogItemClass::ListView:
        control = CreateListView(item, dialog);
        break;
    }
    if (!control)
        control = new QWidget(dialog);
    SetControlId(control, item.id);
    if (item.style & kWsDisabled)
        control->setEnabled(false);
    return control;
}

std::vector<QWidget*>
CreateControlsFromTemplate(QWidget* dialog, const DialogTemplate& dialogTemplate, const DialogUnits& units)
{
    std::vector<QWidget*> controls;
    QLabel* waitingLabel = nullptr;
    QWidget* previous = nullptr; // the control made just before: an up-down control's buddy
    QWidget* lastInTabOrder = nullptr;
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        QWidget* control = CreateControl(item, dialog, previous);
        control->setGeometry(PlacementRect(control, item, units));
        if (item.titleResource != 0)
            SetResourcePicture(control, item);
        if (waitingLabel && item.itemClass != DialogItemClass::Static) {
            waitingLabel->setBuddy(control);
            NameAfterLabel(control, waitingLabel->text());
            waitingLabel = nullptr;
        }
        // A label with a mnemonic or a closing colon names the control after it: Alt and the
        // letter reach that control, and a screen reader reads the label as its name.
        if (auto* label = qobject_cast<QLabel*>(control);
            label && (label->text().contains(QLatin1Char('&')) || label->text().trimmed().endsWith(QLatin1Char(':'))))
            waitingLabel = label;
        if (control->focusPolicy() != Qt::NoFocus) {
            if (lastInTabOrder)
                QWidget::setTabOrder(lastInTabOrder, control);
            lastInTabOrder = control;
        }
        previous = control;
        controls.push_back(control);
    }
    return controls;
}

QRect PlacementRect(const QWidget* control, const DialogItemTemplate& item, const DialogUnits& units)
{
    QRect rect = units.MapRect(item.x, item.y, item.cx, item.cy);
    if (qobject_cast<const QComboBox*>(control))
        rect.setHeight(std::min(rect.height(), control->sizeHint().height()));
    return rect;
}

QWidget* ReplaceControl(QWidget* dialog, int id, QWidget* replacement)
{
    QWidget* old = ControlById(dialog, id);
    if (!old) {
        delete replacement;
        return nullptr;
    }
    replacement->setParent(dialog);
    replacement->setGeometry(old->geometry());
    SetControlId(replacement, id);
    replacement->stackUnder(old);
    if (old->focusPolicy() != Qt::NoFocus && replacement->focusPolicy() != Qt::NoFocus)
        QWidget::setTabOrder(old, replacement);
    replacement->setVisible(!old->isHidden());
    delete old;
    return replacement;
}

bool ApplyLayoutTemplate(QWidget* dialog, const DialogTemplate& dialogTemplate, const DialogUnits& units)
{
    bool result = true;
    int unnamedPlaced = 0;
    const bool updates = dialog->updatesEnabled();
    dialog->setUpdatesEnabled(false);
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        QWidget* control = ControlById(dialog, item.id);
        if (!control) {
            result = false;
            continue;
        }
        control->setGeometry(PlacementRect(control, item, units));
        FixUpControl(control, item);
        if (item.id == kIdcStatic)
            ++unnamedPlaced;
    }
    dialog->setUpdatesEnabled(updates);
    return unnamedPlaced >= 2 ? false : result;
}

bool ApplyLayoutTemplate(QWidget* dialog, int templateId, const DialogUnits& units)
{
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    return dialogTemplate && ApplyLayoutTemplate(dialog, *dialogTemplate, units);
}
