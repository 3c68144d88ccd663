#include "app/SingleInstance.h"
#include "core/base/FilePath.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <future>

#include <unistd.h>

namespace {

// The sending side blocks as a second start does, so it runs beside the event loop.
std::future<bool> handOver(const QString& path, const QStringList& files) {
    return std::async(std::launch::async, [path, files] {
        return vexa::app::handOverToRunningInstance(path, files, 5000);
    });
}

bool waitFor(std::future<bool>& result) {
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        10000));
    return result.get();
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheRunningOne) {
    QTemporaryDir runtime;
    const QString path = runtime.filePath("vexa-instance");
    // Nobody listening: the second start runs on its own.
    EXPECT_FALSE(vexa::app::handOverToRunningInstance(path, {"/a.jpg"}, 500));

    vexa::app::InstanceServer server;
    ASSERT_TRUE(server.listen(path));
    QSignalSpy handed(&server, &vexa::app::InstanceServer::filesHandedOver);
    // Names travel as their bytes, UTF-8 or not.
    const QStringList files{"/covers/front.jpg", "/covers/line\nbreak é.bmp",
                            vexa::base::fileNameText("/covers/caf\xe9 \xff.gif")};
    std::future<bool> sent = handOver(path, files);
    EXPECT_TRUE(waitFor(sent));
    ASSERT_EQ(handed.size(), 1);
    EXPECT_EQ(handed.at(0).at(0).toStringList(), files);

    // Without files it only asks the running one to come to the front.
    sent = handOver(path, {});
    EXPECT_TRUE(waitFor(sent));
    ASSERT_EQ(handed.size(), 2);
    EXPECT_TRUE(handed.at(1).at(0).toStringList().isEmpty());

    // Something else writing to the socket is cut off and hands over nothing.
    QLocalSocket stranger;
    stranger.connectToServer(path);
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write(QByteArray("GET / HTTP/1.0\r\n\r\n\0\0", 20));
    stranger.flush();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(handed.size(), 2);
}

TEST(SingleInstance, ASocketLeftByACrashedVexaIsTakenOver) {
    QTemporaryDir runtime;
    const QString path = runtime.filePath("vexa-instance");
    QFile leftover(path); // a path nobody listens on any more
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    EXPECT_FALSE(vexa::app::handOverToRunningInstance(path, {}, 500));
    vexa::app::InstanceServer server;
    EXPECT_TRUE(server.listen(path));
    std::future<bool> sent = handOver(path, {"/x.gif"});
    EXPECT_TRUE(waitFor(sent));

    // A second VEXA starting at the same moment leaves a live socket alone.
    vexa::app::InstanceServer late;
    EXPECT_FALSE(late.listen(path));
    sent = handOver(path, {"/y.gif"});
    EXPECT_TRUE(waitFor(sent));
}

TEST(SingleInstance, ASocketOfAnotherUserIsNeverTalkedTo) {
    // Without XDG_RUNTIME_DIR the socket's name in the shared temporary folder is known to
    // every user; one who creates it first must get neither the files nor this start.
    if (geteuid() != 0) GTEST_SKIP() << "giving a socket to another user needs root";
    QTemporaryDir shared;
    const QString path = shared.filePath("vexa-instance-1000");
    vexa::app::InstanceServer stranger;
    ASSERT_TRUE(stranger.listen(path));
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    QSignalSpy handed(&stranger, &vexa::app::InstanceServer::filesHandedOver);
    std::future<bool> sent = handOver(path, {"/private/front.jpg"});
    EXPECT_FALSE(waitFor(sent));
    QTest::qWait(100);
    EXPECT_EQ(handed.size(), 0);

    // Nor is it taken over: this VEXA runs without a socket, and the other one keeps its own.
    vexa::app::InstanceServer mine;
    EXPECT_FALSE(mine.listen(path));
    EXPECT_EQ(QFileInfo(path).ownerId(), 65534u);
}

TEST(SingleInstance, TheSocketIsPerUser) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(vexa::app::instanceSocketPath(), runtime.filePath("vexa-instance"));
    qputenv("XDG_RUNTIME_DIR", "");
    const QString fallback = vexa::app::instanceSocketPath();
    EXPECT_TRUE(fallback.endsWith(QStringLiteral("-%1").arg(getuid()))) << fallback.toStdString();
}

} // namespace
