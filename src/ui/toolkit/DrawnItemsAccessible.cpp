#include "ui/toolkit/DrawnItemsAccessible.h"

#include <QWidget>

AccessibleItemSource::~AccessibleItemSource() = default;

namespace {
// One drawn item: everything is read from the parent's list of items.
class DrawnItem : public QAccessibleInterface
{
public:
    DrawnItem(DrawnItemsAccessible* parent, int index) : m_parent(parent), m_index(index)
    {
    }

    bool isValid() const override
    {
        return m_parent->isValid() && m_index < static_cast<int>(m_parent->Items().size());
    }
    QObject* object() const override
    {
        return nullptr;
    }
    QWindow* window() const override
    {
        return m_parent->window();
    }
    QAccessibleInterface* focusChild() const override
    {
        return nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override
    {
        return nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return m_parent;
    }
    QAccessibleInterface* child(int) const override
    {
        return nullptr;
    }
    int childCount() const override
    {
        return 0;
    }
    int indexOfChild(const QAccessibleInterface*) const override
    {
        return -1;
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const AccessibleItem& item = Item();
        if (t == QAccessible::Name)
            return item.name;
        if (t == QAccessible::Value)
            return item.value;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override
    {
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const auto* widget = static_cast<QWidget*>(m_parent->object());
        return QRect(widget->mapToGlobal(Item().rect.topLeft()), Item().rect.size());
    }
    QAccessible::Role role() const override
    {
        return QAccessible::ListItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const auto* widget = static_cast<QWidget*>(m_parent->object());
        state.selectable = true;
        state.focusable = true;
        state.focused = Item().focused && widget->hasFocus();
        state.selected = Item().focused;
        state.invisible = !widget->rect().intersects(Item().rect);
        state.offscreen = state.invisible;
        return state;
    }
    int Index() const
    {
        return m_index;
    }

private:
    const AccessibleItem& Item() const
    {
        return m_parent->Items()[static_cast<size_t>(m_index)];
    }

    DrawnItemsAccessible* m_parent;
    int m_index;
};

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* source = dynamic_cast<const AccessibleItemSource*>(object);
    return widget && source ? new DrawnItemsAccessible(widget, *source) : nullptr;
}
} // namespace

DrawnItemsAccessible::DrawnItemsAccessible(QWidget* widget, const AccessibleItemSource& source)
    : QAccessibleWidget(widget, QAccessible::List), m_source(source)
{
}

DrawnItemsAccessible::~DrawnItemsAccessible()
{
    for (QAccessibleInterface* child : m_children)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(child));
}

void DrawnItemsAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void DrawnItemsAccessible::NotifyFocusMoved(QWidget* widget)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessibleValueChangeEvent event(widget, QString());
    QAccessible::updateAccessibility(&event);
}

void DrawnItemsAccessible::Refresh() const
{
    m_items = m_source.AccessibleItems();
    while (m_children.size() < m_items.size()) {
        QAccessibleInterface* item =
            new DrawnItem(const_cast<DrawnItemsAccessible*>(this), static_cast<int>(m_children.size()));
        QAccessible::registerAccessibleInterface(item);
        m_children.push_back(item);
    }
}

int DrawnItemsAccessible::WidgetChildCount() const
{
    return QAccessibleWidget::childCount();
}

int DrawnItemsAccessible::childCount() const
{
    Refresh();
    return WidgetChildCount() + static_cast<int>(m_items.size());
}

QAccessibleInterface* DrawnItemsAccessible::child(int index) const
{
    const int widgets = WidgetChildCount();
    if (index < widgets)
        return QAccessibleWidget::child(index);
    if (m_items.empty())
        Refresh();
    const auto item = static_cast<size_t>(index - widgets);
    return item < m_items.size() ? m_children[item] : nullptr;
}

int DrawnItemsAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (size_t i = 0; i < m_children.size() && i < m_items.size(); ++i) {
        if (m_children[i] == child)
            return WidgetChildCount() + static_cast<int>(i);
    }
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* DrawnItemsAccessible::focusChild() const
{
    Refresh();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].focused)
            return m_children[i];
    }
    return QAccessibleWidget::focusChild();
}

QString DrawnItemsAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        for (const AccessibleItem& item : m_source.AccessibleItems()) {
            if (item.focused)
                return item.value.isEmpty() ? item.name : item.name + QStringLiteral(": ") + item.value;
        }
    }
    return QAccessibleWidget::text(t);
}
