#include "PageTestSupport.h"

#include "platform/DocumentsFolder.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

void PageTest::SetUp()
{
    VeluminaTest::SetUp();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
    TheImageCache().SetFontFamily(QStringLiteral("DejaVu Sans"));
    TheImageCache().ClearImages();
    ASSERT_TRUE(TheImageCache().LoadImages(ImageCache::StartupImageNames()));
    TheAppSettings().selectedTheme = 0;
    m_host = std::make_unique<QWidget>();
    m_host->resize(480, 640);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_host.get()));
}

void PageTest::TearDown()
{
    m_host.reset();
    TheAppSettings().selectedTheme = 0;
    VeluminaTest::TearDown();
}

int PageTest::Run(CBlackDialog& dialog, const std::function<void()>& script)
{
    QTimer::singleShot(0, &dialog, script);
    return dialog.RunAsPage(m_host.get());
}

void PageTest::Look(CBlackDialog& dialog, const std::function<void()>& look)
{
    Run(dialog, [&] {
        look();
        dialog.reject();
    });
}

QStringList RowTexts(const QTreeWidget* list, QChar separator)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
            cells << list->topLevelItem(i)->text(column);
        rows << cells.join(separator);
    }
    return rows;
}

void Type(CBlackDialog& dialog, int id, const QString& text)
{
    auto* edit = dialog.ControlAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void PageTest::AnswerSetPassword(std::vector<SetPasswordAnswer> answers)
{
    m_answers = std::move(answers);
    QTimer::singleShot(0, m_host.get(), [this] { AnswerNext(); });
}

void PageTest::AnswerNext()
{
    auto* page = qobject_cast<CPasswordSetDlg*>(CBlackDialog::TopPage(m_host.get()));
    if (!page) {
        ADD_FAILURE() << "no \"Set Password\" page";
        return;
    }
    while (!m_answers.empty() && page->isVisible()) {
        const SetPasswordAnswer answer = m_answers.front();
        m_answers.erase(m_answers.begin());
        if (answer.first)
            Type(*page, kIdcPasswordFirst, *answer.first);
        if (answer.second)
            Type(*page, kIdcPasswordSecond, *answer.second);
        page->OnCommand(answer.command);
    }
}

QImage GrabPixels(QWidget* widget)
{
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.devicePixelRatio() != 1.0)
        image = image.scaled(widget->size());
    return image;
}

int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(const QColor&)>& matches)
{
    int count = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += matches(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

int CountNear(const QImage& image, const QRect& rect, QColor colour, int tolerance)
{
    return CountPixels(image, rect, [&](const QColor& c) {
        return std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
               std::abs(c.blue() - colour.blue()) <= tolerance;
    });
}
