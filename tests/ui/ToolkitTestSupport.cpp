#include "ToolkitTestSupport.h"

#include "resources/DialogTemplates.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QStyleFactory>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

void ToolkitTest::SetUp()
{
    VeluminaTest::SetUp();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
    TheImageCache().SetFontFamily(QStringLiteral("DejaVu Sans"));
    TheImageCache().ClearImages();
    TheAppSettings().selectedTheme = 0;
}

void ToolkitTest::TearDown()
{
    TheImageCache().ClearImages();
    TheAppSettings().selectedTheme = 0;
    SetExtraDialogTemplatesForTesting({});
    VeluminaTest::TearDown();
}

void TestScroller::Populate()
{
    ++populateCount;
    ClearItems();
    for (int i = 0; i < count; ++i) {
        AddItem(
            std::make_unique<PanelItem>(QStringLiteral("Row %1").arg(i), QStringLiteral("Description %1").arg(i), -1));
    }
}

void TestScroller::ActivateItem(int index)
{
    CFingerScroller::ActivateItem(index);
    activated.push_back(index);
}

bool TestScroller::NeedsRebuild()
{
    const bool answer = rebuildRequested;
    rebuildRequested = false;
    return answer;
}

QImage Grab(QWidget* widget)
{
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.devicePixelRatio() != 1.0)
        image = image.scaled(widget->size());
    return image;
}

bool Near(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

void SendMouse(QWidget* widget, int type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(static_cast<QEvent::Type>(type), QPointF(local), QPointF(widget->mapToGlobal(local)), button,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void Tap(QWidget* widget, QPoint local, Qt::MouseButton button)
{
    SendMouse(widget, QEvent::MouseButtonPress, local, button, button);
    SendMouse(widget, QEvent::MouseButtonRelease, local, button, Qt::NoButton);
}

void FireTimer(QTimer& timer)
{
    QTimerEvent event(timer.timerId());
    QCoreApplication::sendEvent(&timer, &event);
}

void WriteTestPng(const QString& path, int size, QColor color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    image.save(path, "PNG");
}

std::unique_ptr<TestScroller> MakeScroller(int count, QSize size)
{
    auto scroller = std::make_unique<TestScroller>(count);
    scroller->SetIntroSlide(false);
    scroller->resize(size);
    scroller->show();
    scroller->Create();
    return scroller;
}
