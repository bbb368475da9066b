#pragma once

#include <QAccessibleWidget>
#include <QRect>
#include <QString>

#include <vector>

/// One item a widget draws itself (a calendar day, a chart bar, a summary row) as a screen
/// reader sees it.
struct AccessibleItem
{
    QString name;
    QString value;
    QRect rect; ///< in the widget's coordinates
    bool focused = false;
};

/// A widget that draws items of its own lists them here; DrawnItemsAccessible makes them the
/// children of its accessible interface. Asked only while a screen reader looks.
class AccessibleItemSource
{
public:
    virtual ~AccessibleItemSource();
    virtual std::vector<AccessibleItem> AccessibleItems() const = 0;
};

/// The accessible interface of a widget that is an AccessibleItemSource: its child widgets,
/// then one child per drawn item. Its value is the name of the focused item, so that moving
/// the keyboard cursor among the items is read out.
class DrawnItemsAccessible : public QAccessibleWidget
{
public:
    DrawnItemsAccessible(QWidget* widget, const AccessibleItemSource& source);
    ~DrawnItemsAccessible() override;

    /// Makes Qt build this interface for every AccessibleItemSource; done once.
    static void Install();
    /// Tells a screen reader that the focused item of `widget` changed. Cheap when none runs.
    static void NotifyFocusMoved(QWidget* widget);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

    /// The items as last read (refreshed by childCount and focusChild).
    const std::vector<AccessibleItem>& Items() const
    {
        return m_items;
    }

private:
    void Refresh() const;
    int WidgetChildCount() const;

    const AccessibleItemSource& m_source;
    mutable std::vector<AccessibleItem> m_items;
    mutable std::vector<QAccessibleInterface*> m_children;
};
