#include "ProcessHome.h"
#include "TestSupport.h"

#include "app/SingleInstanceGuard.h"
#include "platform/FileLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A unix socket bound at `path`: listening but never answering, or closed (stale).
int BindSocket(const QString& path, bool listening)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), std::min<size_t>(bytes.size(), sizeof(address.sun_path) - 1));
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    if (listening)
        ::listen(fd, 4);
    return fd;
}

QString VeluminaExecutable()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../velumina"));
}
} // namespace

using SingleInstanceTest = VeluminaTest;

TEST_F(SingleInstanceTest, LeftoversOfEndedInstancesAreTakenOverAtOnceAndALiveHolderIsLeftAlone)
{
    // A socket nobody listens on, and a lock file that names nobody (a start killed while it
    // wrote it) or a process long gone: all taken over at the first try.
    const QString stale = TempPath(QStringLiteral("stale.socket"));
    ::close(BindSocket(stale, false));
    for (const QByteArray& leftover : {QByteArray(), QByteArray("999999999\n/usr/bin/velumina\n")}) {
        ASSERT_TRUE(WriteWholeFile(SingleInstanceGuard::LockPathFor(stale), leftover));
        SingleInstanceGuard guard;
        EXPECT_EQ(guard.Acquire(stale, 1, 50), SingleInstanceGuard::Outcome::First);
        struct stat info = {};
        ASSERT_EQ(::stat(QFile::encodeName(stale).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 077, 0u) << "her socket alone";
    }

    // The lock held by a live instance that accepts but never answers: its socket stays.
    const QString silent = TempPath(QStringLiteral("silent.socket"));
    FileLock held(SingleInstanceGuard::LockPathFor(silent));
    ASSERT_TRUE(held.TryLock());
    const int fd = BindSocket(silent, true);
    {
        SingleInstanceGuard guard;
        EXPECT_EQ(guard.Acquire(silent, 3, 50), SingleInstanceGuard::Outcome::OtherNotResponding);
        EXPECT_TRUE(QFileInfo::exists(silent));
    }
    ::close(fd);

    // Something that is no lock file: refused, never waited on.
    const QString piped = TempPath(QStringLiteral("piped.socket"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(SingleInstanceGuard::LockPathFor(piped)).constData(), 0600), 0);
    SingleInstanceGuard guard;
    EXPECT_EQ(guard.Acquire(piped, 3, 50), SingleInstanceGuard::Outcome::LockUnusable);
    EXPECT_TRUE(guard.LockProblem().contains(QStringLiteral("not a regular file")))
        << guard.LockProblem().toStdString();
}

TEST_F(SingleInstanceTest, TheSocketLivesInAFolderOnlySheCanEnterAndIsNamedAfterTheDataFile)
{
    // Her runtime and cache folders, as the environment names them, for this test only.
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        qputenv("XDG_CACHE_HOME", cacheBefore);
    });
    const QString runtime = TempPath(QStringLiteral("runtime"));
    const QString cache = TempPath(QStringLiteral("cache"));
    const QString ownCache = cache + QStringLiteral("/velumina");
    QDir().mkpath(runtime);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));

    struct Case
    {
        const char* what;
        mode_t runtimeMode;            ///< 0: XDG_RUNTIME_DIR unset
        std::function<bool()> prepare; ///< false: the row cannot be arranged here
        QString folder;                ///< where the socket goes; empty: nowhere, and why is said
    };
    const Case cases[] = {
        {"a private runtime folder", 0700, [] { return true; }, runtime},
        {"a runtime folder others may enter", 0777, [] { return true; }, ownCache},
        {"a runtime folder her group may enter", 0770, [] { return true; }, ownCache},
        {"no runtime folder", 0, [] { return true; }, ownCache},
        {"her cache folder open to others", 0,
         [&] { return ::chmod(QFile::encodeName(ownCache).constData(), 0755) == 0; }, ownCache},
        {"a link in place of her cache folder", 0,
         [&] {
             QDir(ownCache).removeRecursively();
             return QFile::link(runtime, ownCache);
         },
         QString()},
        {"her cache folder taken by another user", 0,
         [&] {
             QFile::remove(ownCache);
             QDir().mkpath(ownCache);
             // Only root can give a folder away.
             return ::chown(QFile::encodeName(ownCache).constData(), 65534, 65534) == 0;
         },
         QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.runtimeMode == 0) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
            ::chmod(QFile::encodeName(runtime).constData(), c.runtimeMode);
        }
        if (!c.prepare())
            continue;
        QString problem;
        const QString a =
            SingleInstanceGuard::SocketPathFor(QStringLiteral("/home/a/Documents/Velumina.dat"), &problem);
        if (c.folder.isEmpty()) {
            EXPECT_TRUE(a.isEmpty()) << a.toStdString();
            EXPECT_TRUE(problem.startsWith(QStringLiteral("no folder of its own could be made for its lock: ")))
                << problem.toStdString();
            continue;
        }
        EXPECT_EQ(QFileInfo(a).absolutePath(), c.folder);
        struct stat info
        {
        };
        ASSERT_EQ(::lstat(QFile::encodeName(c.folder).constData(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode) && info.st_uid == getuid()) << "her own folder";
        EXPECT_EQ(info.st_mode & 077, 0u) << "mode " << std::oct << info.st_mode;
        EXPECT_TRUE(QFileInfo(a).fileName().startsWith(QStringLiteral("velumina-%1-").arg(getuid())));
        EXPECT_EQ(a, SingleInstanceGuard::SocketPathFor(QStringLiteral("/home/a/Documents/Velumina.dat")));
        EXPECT_NE(a, SingleInstanceGuard::SocketPathFor(QStringLiteral("/home/b/Documents/Velumina.dat")));
    }
}

TEST_F(SingleInstanceTest, ARequestNotOurOwnRaisesNothing)
{
    const QString path = TempPath(QStringLiteral("own.socket"));
    SingleInstanceGuard guard;
    ASSERT_EQ(guard.Acquire(path, 1, 50), SingleInstanceGuard::Outcome::First);
    QSignalSpy raised(&guard, &SingleInstanceGuard::ShowRequested);
    // Another line, our own word inside another line, and a request that never ends (not read
    // beyond a small limit): each is hung up on.
    for (const QByteArray& request : {QByteArray("hello\n"), QByteArray("show me\n"), QByteArray(1 << 20, 'x')}) {
        SCOPED_TRACE(request.left(8).constData());
        QLocalSocket client;
        client.connectToServer(path);
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(request);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                client.waitForBytesWritten(20);
                return client.state() != QLocalSocket::ConnectedState;
            },
            5000))
            << "the instance hung up";
    }
    EXPECT_EQ(raised.count(), 0);
    EXPECT_EQ(guard.RequestsAnswered(), 0);
}

TEST_F(SingleInstanceTest, ASecondStartRaisesTheFirstAndEndsEvenWhenBothStartAtOnce)
{
    // Pairs of starts, a few pairs at a time, each pair in a home of its own: one of each pair
    // ends at once (-1) after the other showed itself; never both run.
    struct Pair
    {
        ProcessHome home;
        QProcess starts[2];
    };
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::unique_ptr<Pair>> pairs;
        for (int i = 0; i < 5; ++i) {
            pairs.push_back(std::make_unique<Pair>());
            // The instance guard says what it decides.
            pairs.back()->home.environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                                                  QStringLiteral("velumina.instance.info=true"));
            for (QProcess& start : pairs.back()->starts) {
                start.setProcessEnvironment(pairs.back()->home.environment);
                start.start(VeluminaExecutable(), {});
            }
        }
        for (const auto& pair : pairs) {
            QProcess* ended = nullptr;
            QElapsedTimer timer;
            timer.start();
            while (!ended && timer.elapsed() < 20000) {
                for (QProcess& start : pair->starts) {
                    if (start.state() == QProcess::NotRunning || start.waitForFinished(25))
                        ended = &start;
                }
            }
            ASSERT_TRUE(ended) << "both still run";
            QProcess& other = ended == &pair->starts[0] ? pair->starts[1] : pair->starts[0];
            QByteArray said;
            while (!said.contains("asked this instance to show itself") && timer.elapsed() < 20000 &&
                   other.state() == QProcess::Running) {
                other.waitForReadyRead(100);
                said += other.readAllStandardError();
            }
            EXPECT_TRUE(ended->exitStatus() == QProcess::NormalExit && ended->exitCode() == 255)
                << "the second start ended with " << ended->exitCode();
            EXPECT_EQ(other.state(), QProcess::Running) << "the first start stays";
            EXPECT_TRUE(said.contains("asked this instance to show itself"));
            for (QProcess& start : pair->starts) {
                start.kill();
                start.waitForFinished(5000);
            }
        }
    }
}
