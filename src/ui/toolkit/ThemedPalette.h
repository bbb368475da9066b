#pragma once

#include <QPalette>

class QWidget;
struct ColorTheme;

/// The palette of themed dialogs and their controls: text in colour 10 on colour 11, with
/// the bevels derived from colour 11, so the Fusion style draws every control in the theme.
QPalette ThemedPalette(const ColorTheme& theme);

/// Gives `widget` (and so its children, and the calendar popups of its date fields) the
/// palette of the theme selected now, and marks it so that RefreshForThemeChange gives it the
/// new one.
void ApplyThemedPalette(QWidget* widget);

/// Shows a change of the selected theme everywhere at once: every live scroll panel renders
/// its back buffer again, every themed widget gets the new palette, everything repaints.
void RefreshForThemeChange();

/// A quieter form of the theme's dialog text (colour 10) for secondary content: blended
/// toward the dialog background (colour 11) as far as a contrast of 4.5:1 allows, and no
/// further than halfway. Text that is already below 4.5:1 stays as it is.
QColor MutedTextColor(const ColorTheme& theme);
