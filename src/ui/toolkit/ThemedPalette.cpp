#include "ui/toolkit/ThemedPalette.h"

#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QWidget>

namespace {
constexpr char kThemedProperty[] = "veluminaThemed";

bool IsPopup(const QWidget* widget)
{
    return widget->windowType() == Qt::Popup;
}

// Themes `popup`, a window that opens from a control of `owner` (or a widget in it), unless it
// is the owner's own window.
void ThemePopup(QWidget* popup, const QWidget* owner)
{
    if (popup == owner->window())
        return;
    popup->setProperty(kThemedProperty, true);
    popup->setPalette(ThemedPalette(SelectedTheme()));
}

QColor Mix(const QColor& a, const QColor& b, int percentOfA)
{
    const int p = percentOfA;
    return QColor((a.red() * p + b.red() * (100 - p)) / 100, (a.green() * p + b.green() * (100 - p)) / 100,
                  (a.blue() * p + b.blue() * (100 - p)) / 100);
}
} // namespace

QPalette ThemedPalette(const ColorTheme& theme)
{
    const QColor background = theme.Color(11);
    const QColor alternate = Mix(background, theme.Color(10), 92);
    const QColor text = ReadableColor(theme.Color(10), {background, alternate});
    QPalette palette(background, background);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, text);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::AlternateBase, alternate);
        palette.setColor(group, QPalette::ToolTipBase, background);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::PlaceholderText, ReadableColor(Mix(text, background, 55), {background}));
        palette.setColor(group, QPalette::Highlight, theme.Color(6));
        palette.setColor(group, QPalette::HighlightedText, ReadableColor(text, {theme.Color(6)}));
        palette.setColor(group, QPalette::Link, ReadableColor(theme.Color(6), {background}));
    }
    const QColor disabled = Mix(text, background, 45);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, background);
    palette.setColor(QPalette::Disabled, QPalette::Window, background);
    palette.setColor(QPalette::Disabled, QPalette::Button, background);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, Mix(theme.Color(6), background, 50));
    return palette;
}

void ApplyThemedPalette(QWidget* widget)
{
    widget->setProperty(kThemedProperty, true);
    widget->setPalette(ThemedPalette(SelectedTheme()));
    // A date field's calendar opens in a window of its own, which takes no colours from the
    // field; it is given the theme too.
    const QList<QDateTimeEdit*> fields = widget->findChildren<QDateTimeEdit*>();
    for (QDateTimeEdit* field : fields) {
        if (!field->calendarPopup())
            continue;
        if (QCalendarWidget* calendar = field->calendarWidget())
            ThemePopup(calendar->window(), widget);
    }
    // So does a drop-down list. The style draws its rows as menu entries, in the desktop's menu
    // colours (light whatever the theme) wherever the list's own palette leaves a colour open:
    // the list gets the theme as its own, not only through its window.
    const QList<QComboBox*> boxes = widget->findChildren<QComboBox*>();
    for (QComboBox* box : boxes) {
        ThemePopup(box->view()->window(), widget);
        ThemePopup(box->view(), widget);
    }
}

void RefreshForThemeChange()
{
    const QWidgetList widgets = QApplication::allWidgets();
    // Popups last: a drop-down list's window takes the menu colours again whenever its box
    // hears of a new palette, as the boxes do in the first round.
    for (const bool popups : {false, true}) {
        for (QWidget* widget : widgets) {
            if (IsPopup(widget) == popups && widget->property(kThemedProperty).toBool())
                widget->setPalette(ThemedPalette(SelectedTheme()));
        }
    }
    for (QWidget* widget : widgets) {
        if (auto* panel = qobject_cast<CScrollPanel*>(widget))
            panel->Refresh();
        else
            widget->update();
    }
}

QColor MutedTextColor(const ColorTheme& theme)
{
    const QColor text = theme.Color(10);
    const QColor background = theme.Color(11);
    QColor muted = text;
    for (int percentOfText = 99; percentOfText >= 50; --percentOfText) {
        const QColor candidate = Mix(text, background, percentOfText);
        if (ContrastRatio(candidate, background) < kTextContrast)
            break;
        muted = candidate;
    }
    return muted;
}
