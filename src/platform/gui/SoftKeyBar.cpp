#include "platform/gui/SoftKeyBar.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

namespace {
QString KeyLabel(const SoftKeyTable& key)
{
    const QString fromTable = key.stringId != 0 ? ResourceString(key.stringId) : QString();
    return fromTable.isEmpty() ? QString::fromUtf16(key.label) : fromTable;
}
} // namespace

SoftKeyBar* SoftKeyBar::Create(int menuId, QWidget* parent)
{
    const MenuBarTable* table = FindMenuBar(menuId);
    return table ? new SoftKeyBar(*table, parent) : nullptr;
}

SoftKeyBar::SoftKeyBar(const MenuBarTable& table, QWidget* parent) : QWidget(parent), m_table(table)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_left = MakeKey(m_table.left);
    m_right = MakeKey(m_table.right);
    ApplyKeyColours();
}

SoftKeyBar::~SoftKeyBar() = default;

QPushButton* SoftKeyBar::MakeKey(const SoftKeyTable& key)
{
    if (!key.label)
        return nullptr;
    auto* button = new QPushButton(KeyLabel(key), this);
    button->setFlat(true);
    // Reached by its mnemonic, Esc or the bar's menu (F10), never by Tab: the focus stays on
    // the screen's controls.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    const Side side = &key == &m_table.left ? Side::Left : Side::Right;
    connect(button, &QPushButton::clicked, this, [this, side] { Press(side); });
    return button;
}

QPushButton* SoftKeyBar::Key(Side side) const
{
    return side == Side::Left ? m_left : m_right;
}

const SoftKeyTable& SoftKeyBar::Table(Side side) const
{
    return side == Side::Left ? m_table.left : m_table.right;
}

int SoftKeyBar::Command(Side side) const
{
    return Key(side) ? Table(side).command : 0;
}

int SoftKeyBar::CloseCommand() const
{
    for (const Side side : {Side::Right, Side::Left}) {
        if (Key(side))
            return Table(side).popup.empty() ? Table(side).command : 0;
    }
    return 0;
}

void SoftKeyBar::SetCommandEnabler(std::function<bool(int)> enabler)
{
    m_enabler = std::move(enabler);
}

void SoftKeyBar::Press(Side side)
{
    QPushButton* key = Key(side);
    if (!key)
        return;
    QMenu* popup = Popup(side);
    if (!popup) {
        emit commandTriggered(Table(side).command);
        return;
    }
    UpdateMenuState(popup);
    ShowAbove(popup, side);
}

void SoftKeyBar::ShowAbove(QMenu* menu, Side side)
{
    const QWidget* anchor = Key(side) ? static_cast<QWidget*>(Key(side)) : this;
    const QSize size = menu->sizeHint();
    QPoint topLeft = anchor->mapToGlobal(QPoint(0, 0));
    if (side == Side::Right)
        topLeft.rx() += anchor->width() - size.width();
    topLeft.ry() -= size.height();
    menu->popup(topLeft);
}

QMenu* SoftKeyBar::KeysMenu()
{
    if (!m_keysMenu) {
        m_keysMenu = std::make_unique<QMenu>(this);
        m_keysMenu->setAttribute(Qt::WA_WindowPropagation);
        for (const Side side : {Side::Left, Side::Right}) {
            if (QPushButton* key = Key(side)) {
                QAction* action = m_keysMenu->addAction(key->text());
                action->setData(Table(side).command);
                connect(action, &QAction::triggered, this, [this, side] { Press(side); });
            }
        }
    }
    return m_keysMenu.get();
}

void SoftKeyBar::OpenMenu()
{
    if (Popup(Side::Right)) {
        Press(Side::Right);
        return;
    }
    QMenu* menu = KeysMenu();
    if (menu->isEmpty())
        return;
    ShowAbove(menu, Side::Right);
    menu->setActiveAction(menu->actions().constFirst());
}

QMenu* SoftKeyBar::Popup(Side side)
{
    const SoftKeyTable& table = Table(side);
    if (!Key(side) || table.popup.empty())
        return nullptr;
    std::unique_ptr<QMenu>& popup = side == Side::Left ? m_leftPopup : m_rightPopup;
    if (!popup) {
        popup = std::make_unique<QMenu>(this);
        // The popup is a window of its own; it still wears the colours of the bar.
        popup->setAttribute(Qt::WA_WindowPropagation);
        FillMenu(popup.get(), table.popup);
    }
    return popup.get();
}

void SoftKeyBar::FillMenu(QMenu* menu, std::span<const MenuEntry> entries)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Submenu: {
            QMenu* submenu = menu->addMenu(QString::fromUtf16(entry.text));
            submenu->setAttribute(Qt::WA_WindowPropagation);
            FillMenu(submenu, entry.submenu);
            connect(submenu, &QMenu::aboutToShow, this, [this, submenu] { UpdateMenuState(submenu); });
            break;
        }
        case MenuEntry::Kind::Command: {
            QAction* action = menu->addAction(QString::fromUtf16(entry.text));
            const int command = entry.command;
            action->setData(command);
            connect(action, &QAction::triggered, this, [this, command] { emit commandTriggered(command); });
            break;
        }
        }
    }
}

void SoftKeyBar::UpdateMenuState(QMenu* menu) const
{
    for (QAction* action : menu->actions()) {
        if (QMenu* submenu = action->menu())
            UpdateMenuState(submenu);
        else if (!action->isSeparator())
            action->setEnabled(!m_enabler || m_enabler(action->data().toInt()));
    }
}

QSize SoftKeyBar::sizeHint() const
{
    const int keyHeight = m_left ? m_left->sizeHint().height() : (m_right ? m_right->sizeHint().height() : 0);
    return QSize(240, std::max(keyHeight + 8, fontMetrics().height() * 2));
}

void SoftKeyBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    if (m_left)
        m_left->setGeometry(0, 1, half, height() - 1);
    if (m_right)
        m_right->setGeometry(half, 1, width() - half, height() - 1);
}

void SoftKeyBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        ApplyKeyColours();
}

void SoftKeyBar::ApplyKeyColours()
{
    // Flat keys draw only their text; the bar paints what lies behind them.
    for (QPushButton* key : {m_left, m_right}) {
        if (!key)
            continue;
        // Each state keeps its own colour: read while the bar is disabled (under an open page),
        // the text colour would be the greyed one, and the keys would stay grey once enabled.
        QPalette palette = key->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::ButtonText, this->palette().color(group, QPalette::WindowText));
        key->setPalette(palette);
    }
}

void SoftKeyBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Window);
    const QColor bar = window.lightness() > 128 ? window.darker(112) : window.lighter(135);
    painter.fillRect(rect(), bar);
    painter.fillRect(0, 0, width(), 1, palette().color(QPalette::WindowText).darker(150));
    if (m_left && m_right)
        painter.fillRect(width() / 2, height() / 4, 1, height() / 2, palette().color(QPalette::Mid));
}
