#include "ui/toolkit/ThemedPalette.h"

#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
constexpr char kThemedProperty[] = "veluminaThemed";

QColor Mix(const QColor& a, const QColor& b, int percentOfA)
{
    const int p = percentOfA;
    return QColor((a.red() * p + b.red() * (100 - p)) / 100, (a.green() * p + b.green() * (100 - p)) / 100,
                  (a.blue() * p + b.blue() * (100 - p)) / 100);
}

// Relative luminance of an sRGB colour (WCAG 2).
double Luminance(const QColor& color)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.red()) + 0.7152 * channel(color.green()) + 0.0722 * channel(color.blue());
}

constexpr double kReadableContrast = 4.5;
} // namespace

QPalette ThemedPalette(const ColorTheme& theme)
{
    const QColor text = theme.Color(10);
    const QColor background = theme.Color(11);
    QPalette palette(background, background);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, text);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::AlternateBase, Mix(background, text, 92));
        palette.setColor(group, QPalette::ToolTipBase, background);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::PlaceholderText, Mix(text, background, 55));
        palette.setColor(group, QPalette::Highlight, theme.Color(6));
        palette.setColor(group, QPalette::HighlightedText,
                         theme.Color(6).lightness() > 140 ? QColor(Qt::black) : QColor(Qt::white));
        palette.setColor(group, QPalette::Link, theme.Color(6).lighter(130));
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
}

void RefreshForThemeChange()
{
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (widget->property(kThemedProperty).toBool())
            widget->setPalette(ThemedPalette(SelectedTheme()));
    }
    for (QWidget* widget : widgets) {
        if (auto* panel = qobject_cast<CScrollPanel*>(widget))
            panel->Refresh();
        else
            widget->update();
    }
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor MutedTextColor(const ColorTheme& theme)
{
    const QColor text = theme.Color(10);
    const QColor background = theme.Color(11);
    QColor muted = text;
    for (int percentOfText = 99; percentOfText >= 50; --percentOfText) {
        const QColor candidate = Mix(text, background, percentOfText);
        if (ContrastRatio(candidate, background) < kReadableContrast)
            break;
        muted = candidate;
    }
    return muted;
}
