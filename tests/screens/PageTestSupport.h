#pragma once

#include "TestSupport.h"

#include "resources/ResourceIds.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTreeWidget;

class CBlackDialog;
class CPasswordSetDlg;

/// What a "Set Password" page gets: the two copies (none: the field is left as it is) and the
/// command that ends it.
struct SetPasswordAnswer
{
    std::optional<QString> first;
    std::optional<QString> second;
    int command = kIdOk;
};

/// A fixture for screens that run as pages: the Fusion style, DejaVu Sans 9 pt, the ten
/// pictures, theme 0, and a shown host window of 480 x 640 that tests may resize.
class PageTest : public VeluminaTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs `dialog` as a page over the host; `script` runs inside the page's own loop and
    /// must end it (the test main ends and reports a page that stays open).
    int Run(CBlackDialog& dialog, const std::function<void()>& script);

    /// Runs `dialog` as a page, calls `look` and leaves it with its close command.
    void Look(CBlackDialog& dialog, const std::function<void()>& look);

    /// Runs a new page of type `Page` with `script`, which must end it.
    template <class Page> int RunNew(const std::function<void(Page&)>& script)
    {
        Page page;
        return Run(page, [&] { script(page); });
    }

    /// Opens a new page of type `Page`, calls `look` and leaves it with its close command.
    template <class Page> void LookAt(const std::function<void(Page&)>& look)
    {
        Page page;
        Look(page, [&] { look(page); });
    }

    /// Answers the next "Set Password" pages in turn; each answer's page must be the top page.
    void AnswerSetPassword(std::vector<SetPasswordAnswer> answers);

    std::unique_ptr<QWidget> m_host;

private:
    void AnswerNext();

    std::vector<SetPasswordAnswer> m_answers;
};

/// The program's section of the settings file.

/// The integer setting `name` of the program's section as stored; -1 when none is.

/// Types `text` into the line edit `id` of `dialog` in place of what it holds.
/// Each row of `list`, its cells joined by `separator`.
QStringList RowTexts(const QTreeWidget* list, QChar separator);

void Type(CBlackDialog& dialog, int id, const QString& text);

/// Readable dates in test failures.
inline void PrintTo(const QDate& date, std::ostream* out)
{
    *out << date.toString(Qt::ISODate).toStdString();
}

/// What `widget` shows, one image pixel per widget pixel.
QImage GrabPixels(QWidget* widget);

/// The pixels of `rect` in `image` that `matches` accepts.
int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(const QColor&)>& matches);

/// The pixels of `rect` in `image` within `tolerance` of `colour`.
int CountNear(const QImage& image, const QRect& rect, QColor colour, int tolerance = 2);
