#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

/// Installs the message routine's GUI handler: a modal QMessageBox captioned "Velumina", owned
/// by the widget `owner` returns at the time of the message (the main window, or none before it
/// exists; then by the modal window open at the time, such as the start-up prompt), with the
/// icon the caller names or the default for its buttons. An owned box takes
/// its owner's colours and is never wider than the owner's window.
void InstallMessageBoxHandler(std::function<QWidget*()> owner);
