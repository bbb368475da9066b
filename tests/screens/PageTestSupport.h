#pragma once

#include "TestSupport.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class CBlackDialog;
class CPasswordSetDlg;

/// A fixture for screens that run as pages: the Fusion style, DejaVu Sans 9 pt, the ten
/// pictures, theme 0, and a shown host window of 480 x 640 that tests may resize.
class PageTest : public VeluminaTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs `dialog` as a page over the host; `script` runs inside the page's own loop and
    /// must end it. A page that stays open is ended after a while and reported.
    int Run(CBlackDialog& dialog, const std::function<void()>& script);

    /// Runs `dialog` as a page, calls `look` and leaves it with its close command.
    void Look(CBlackDialog& dialog, const std::function<void()>& look);

    /// The next "Set Password" page opened over the host gets `script`, which must end it.
    void WhenSetPasswordOpens(const std::function<void(CPasswordSetDlg&)>& script);

    /// Puts the documents folder below a plain file, where no data file can be written.
    void BlockDocumentsFolder();

    std::unique_ptr<QWidget> m_host;
};

/// Types `text` into the line edit `id` of `dialog` in place of what it holds.
void Type(CBlackDialog& dialog, int id, const QString& text);

/// Readable dates in test failures.
inline void PrintTo(const QDate& date, std::ostream* out)
{
    *out << date.toString(Qt::ISODate).toStdString();
}

/// What `widget` shows, one image pixel per widget pixel.
QImage GrabPixels(QWidget* widget);

/// The pixels of `rect` in `image` within `tolerance` of `colour`.
int CountNear(const QImage& image, const QRect& rect, QColor colour, int tolerance = 2);
