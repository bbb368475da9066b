#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "app/WindowPlacement.h"
#include "settings/SettingsAccess.h"
#include "ui/toolkit/ImageCache.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>

namespace {
// Set in a copy of this program that runs with a screen of its own: the size the screen
// should have for the window, in the window's (logical) pixels.
constexpr char kExpectedScreen[] = "VELUMINA_EXPECTED_SCREEN";
} // namespace

TEST(WindowPlacementTest, AWindowIsFittedOntoTheScreensThereAre)
{
    const QRect left(0, 0, 1920, 1040);
    const QRect right(1920, 0, 1280, 984);
    const QMargins decorations = DecorationAllowance();
    // The template size on a large screen; clamped on a small one, each side on its own.
    EXPECT_EQ(FitSizeOnScreen(QSize(480, 640), left, decorations), QSize(480, 640));
    // A first window on a large screen: two thirds of its height; never below the minimum.
    EXPECT_EQ(FirstWindowSize(QSize(480, 640), QSize(300, 400), left, decorations), QSize(519, 693));
    EXPECT_EQ(FirstWindowSize(QSize(480, 640), QSize(600, 900), left, decorations), QSize(600, 900));
    EXPECT_EQ(FirstWindowSize(QSize(480, 640), QSize(300, 400), QRect(0, 0, 800, 600), decorations),
              QSize(480, 600 - decorations.top() - decorations.bottom()));
    EXPECT_EQ(FitSizeOnScreen(QSize(480, 640), QRect(0, 0, 640, 512), decorations),
              QSize(480, 512 - decorations.top() - decorations.bottom()));
    EXPECT_EQ(FitSizeOnScreen(QSize(480, 640), QRect(0, 0, 400, 300), decorations),
              QSize(400 - decorations.left() - decorations.right(), 300 - decorations.top() - decorations.bottom()));
    // A place wholly on one screen stays.
    EXPECT_EQ(FitOnScreens(QRect(2000, 100, 500, 700), {left, right}), QRect(2000, 100, 500, 700));
    // Half on the right screen: moved onto it.
    EXPECT_EQ(FitOnScreens(QRect(2900, 500, 500, 700), {left, right}), QRect(2700, 284, 500, 700));
    // On a screen that is gone: onto the first (primary) one, no larger than it.
    EXPECT_EQ(FitOnScreens(QRect(4000, 1500, 500, 1400), {left, right}), QRect(1420, 0, 500, 1040));
    // Taller than the screen it is on.
    EXPECT_EQ(FitOnScreens(QRect(100, -50, 480, 1282), {QRect(0, 0, 640, 512)}), QRect(100, 0, 480, 512));
    EXPECT_EQ(FitOnScreens(QRect(5, 5, 10, 10), {}), QRect(5, 5, 10, 10));
}

class FirstWindowTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
    }
};

TEST_F(FirstWindowTest, TheFirstWindowAndARememberedPlaceFitTheScreen)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray expected = qgetenv(kExpectedScreen);
    if (!expected.isEmpty()) {
        EXPECT_EQ(QStringLiteral("%1x%2").arg(available.width()).arg(available.height()),
                  QString::fromLatin1(expected));
    }
    const QRect room = available.marginsRemoved(DecorationAllowance());
    const auto remember = [](const QRect& place) {
        QWidget other;
        other.setGeometry(place);
        WriteSettingBytes(QStringLiteral("Window"), QStringLiteral("Geometry"), other.saveGeometry());
        return other.size();
    };
    {
        CMainFrame frame;
        const QSize base(CMainFrame::kDefaultWidth, CMainFrame::kDefaultHeight);
        if (available.height() >= 960) {
            // A large screen: two thirds of its height, in the handheld's proportions.
            const int height = available.height() * 2 / 3;
            EXPECT_EQ(frame.size(), QSize(height * 3 / 4, height).boundedTo(room.size()));
        } else {
            EXPECT_EQ(frame.size(), base.boundedTo(room.size()));
        }
        EXPECT_LE(frame.minimumHeight(), frame.height());
        frame.show();
        EXPECT_TRUE(available.contains(frame.frameGeometry())) << "the soft keys stay on the screen";
    }
    {
        // The size she chose wins over the first window's.
        const QSize chosen = remember(QRect(room.topLeft(), QSize(500, 500).boundedTo(room.size())));
        CMainFrame frame;
        EXPECT_EQ(frame.size(), chosen.expandedTo(frame.minimumSize()));
    }
    // A place remembered on a larger screen, or on one that is gone.
    for (const QRect& remembered : {QRect(available.right() + 500, 200, 480, 640),
                                    QRect(available.left() + 10, available.top() + 30, 480, 4000)}) {
        remember(remembered);
        CMainFrame frame;
        EXPECT_TRUE(room.contains(frame.geometry()))
            << frame.geometry().x() << "," << frame.geometry().y() << " " << frame.width() << "x" << frame.height();
    }
}

TEST_F(FirstWindowTest, TheFirstWindowFitsASmallAndAScaledScreen)
{
    if (qEnvironmentVariableIsSet(kExpectedScreen))
        GTEST_SKIP() << "run inside a copy of the tests";
    struct Screen
    {
        QSize pixels;
        const char* scale;
        QSize logical;
    };
    for (const Screen& screen : {Screen{{1280, 1024}, "2", {640, 512}}, Screen{{800, 480}, "1", {800, 480}},
                                 Screen{{1920, 1080}, "1", {1920, 1080}}}) {
        SCOPED_TRACE(screen.pixels.height());
        const QString config = TempPath(QStringLiteral("screen.json"));
        ASSERT_TRUE(WriteWholeFile(config, QStringLiteral("{\"screens\": [{\"name\": \"Screen\", \"x\": 0, \"y\": 0, "
                                                          "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, "
                                                          "\"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                                               .arg(screen.pixels.width())
                                               .arg(screen.pixels.height())
                                               .toUtf8()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(screen.scale));
        environment.insert(QString::fromLatin1(kExpectedScreen),
                           QStringLiteral("%1x%2").arg(screen.logical.width()).arg(screen.logical.height()));
        QProcess copy;
        copy.setProcessEnvironment(environment);
        copy.setProcessChannelMode(QProcess::MergedChannels);
        copy.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_filter=FirstWindowTest.TheFirstWindowAndARememberedPlaceFitTheScreen")});
        ASSERT_TRUE(copy.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(copy.readAll());
        EXPECT_EQ(copy.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    }
}
