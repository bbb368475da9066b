#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

/// Installs the message routine's GUI handler: a modal QMessageBox captioned "Velumina", owned
/// by the widget `owner` returns at the time of the message (the main window, or none before it
/// exists), with the icon the caller names or the default for its buttons.
void InstallMessageBoxHandler(std::function<QWidget*()> owner);
