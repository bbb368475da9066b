#include "TestSupport.h"

#include "platform/gui/DesktopFontSizes.h"

#include "resources/CompiledResources.h"
#include "ui/toolkit/CBlackDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {
// A page or modal window that nobody answers would wait until CTest's timeout ends the whole
// run. The watchdog fails the running test once the same one has stayed open this long,
// names it, and closes it; one that will not close ends the run at once.
constexpr qint64 kLongestOpenMs = 10000;

class OpenPageWatchdog : public ::testing::EmptyTestEventListener
{
public:
    OpenPageWatchdog()
    {
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
    }

    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_open = nullptr;
        m_timer.start();
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        m_timer.stop();
    }

private:
    static QWidget* OpenWindow()
    {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (CBlackDialog* page = CBlackDialog::TopPage(window))
                return page;
        }
        return nullptr;
    }

    static QString Describe(QWidget* window)
    {
        QString name = QString::fromLatin1(window->metaObject()->className());
        if (!window->windowTitle().isEmpty())
            name += QStringLiteral(" \"%1\"").arg(window->windowTitle());
        if (auto* box = qobject_cast<QMessageBox*>(window))
            name += QStringLiteral(" saying \"%1\"").arg(box->text());
        return name;
    }

    void Check()
    {
        QWidget* open = OpenWindow();
        if (open != m_open) {
            m_open = open;
            m_closing = false;
            m_since.start();
            return;
        }
        if (!open || m_since.elapsed() < kLongestOpenMs)
            return;
        const QString what = Describe(open);
        if (m_closing) {
            std::fprintf(stderr, "%s stays open even when closed: the run ends here\n", qPrintable(what));
            std::fflush(stderr);
            std::_Exit(EXIT_FAILURE);
        }
        ADD_FAILURE() << what.toStdString() << " stayed open for " << kLongestOpenMs / 1000
                      << " s: nothing in the test answered it";
        m_closing = true;
        m_since.start();
        if (auto* dialog = qobject_cast<QDialog*>(open))
            dialog->done(QDialog::Rejected);
        else
            open->close();
    }

    QTimer m_timer;
    QElapsedTimer m_since;
    QPointer<QWidget> m_open;
    bool m_closing = false;
};
} // namespace

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // Always off screen; a test that needs a screen of a given size runs a copy of this
    // program with the offscreen platform's options (a screen configuration file).
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitializeCompiledResources();
    InitializeTestProcess();
    // The layouts the tests measure are those of a desktop with 9-point text.
    SetDesktopFontSizesForTesting({9.0, 8.0});
    OpenPageWatchdog watchdog;
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    listeners.Append(&watchdog);
    const int result = RUN_ALL_TESTS();
    listeners.Release(&watchdog);
    return result;
}
