#pragma once

#include "TestSupport.h"

#include "ui/toolkit/CFingerScroller.h"

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QString>

#include <vector>

class QWidget;

/// Widget tests of the toolkit: DejaVu Sans everywhere (expected positions come from its
/// metrics), the Fusion style, theme 0, no images unless a test loads some.
class ToolkitTest : public VeluminaTest
{
protected:
    void SetUp() override;
    void TearDown() override;
};

/// A scroller with `count` rows "Row n" / "Description n", recording activated rows.
class TestScroller : public CFingerScroller
{
public:
    explicit TestScroller(int rowCount) : count(rowCount)
    {
    }

    void Populate() override;
    void ActivateItem(int index) override;
    bool NeedsRebuild() override;

    int count;
    int populateCount = 0;
    bool rebuildRequested = false;
    std::vector<int> activated;
};

/// What the widget shows, as an image in device-independent pixels.
QImage Grab(QWidget* widget);

/// True when `actual` differs from `expected` by at most `tolerance` in each component.
bool Near(QColor actual, QColor expected, int tolerance = 2);

/// Sends a mouse event to `widget` at `local` as the platform would.
void SendMouse(QWidget* widget, int type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons);

/// Presses and releases `button` at `local` on `widget`.
void Tap(QWidget* widget, QPoint local, Qt::MouseButton button = Qt::LeftButton);

/// Fires `timer` as if its interval had passed.
void FireTimer(class QTimer& timer);

/// Writes a `size` x `size` PNG filled with `color` (alpha included).
void WriteTestPng(const QString& path, int size, QColor color);

/// Makes a scroller of 480 x 640 (or `size`) with `count` rows, shown and created, without
/// the slide-in.
std::unique_ptr<TestScroller> MakeScroller(int count, QSize size = QSize(480, 640));
