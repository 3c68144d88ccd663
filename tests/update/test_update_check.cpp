// The update check against a real HTTP server on 127.0.0.1, started by each test.
#include "support/FakeXdgOpen.h"
#include "support/UpdateTestServer.h"
#include "update/UpdateCheck.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpServer>

#include <gtest/gtest.h>

using namespace vexa;
using vexa::test::UpdateTestServer;

namespace {

const QString kVersionPath = QStringLiteral("/vexa/vexaver.txt");

// A whole check: starts it and runs the event loop (which also serves the test's server) until
// its notice arrives. Nothing when the check did not start.
std::optional<update::UpdateNotice> run(update::UpdateCheck& check) {
    std::optional<update::UpdateNotice> notice;
    bool ended = false;
    if (!check.start([&](const update::UpdateNotice& told) {
            notice = told;
            ended = true;
        }))
        return std::nullopt;
    EXPECT_TRUE(check.busy());
    EXPECT_TRUE(test::waitUntil([&] { return ended; }));
    return notice;
}

// The same for a bare transfer.
std::optional<QByteArray> fetch(update::HttpTransfer& transfer, const QUrl& url) {
    std::optional<QByteArray> document;
    bool ended = false;
    if (!transfer.fetch(url, [&](std::optional<QByteArray> fetched) {
            document = std::move(fetched);
            ended = true;
        }))
        return std::nullopt;
    EXPECT_FALSE(ended); // the answer never comes from inside fetch()
    EXPECT_TRUE(test::waitUntil([&] { return ended; }));
    return document;
}

class UpdateCheckTest : public ::testing::Test {
protected:
    // Never go through a proxy: every request of these tests stays on this machine.
    void SetUp() override { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    update::UpdateNotice checkWith(const QByteArray& versionFile) {
        server.serve(kVersionPath, versionFile);
        update::UpdateCheck check(server.url(kVersionPath), quickLimits());
        const auto notice = run(check);
        EXPECT_TRUE(notice.has_value());
        return notice.value_or(update::UpdateNotice{});
    }

    static update::HttpTransfer::Limits quickLimits() {
        update::HttpTransfer::Limits limits;
        limits.timeoutMs = 400; // only the silent server waits for it
        return limits;
    }

    UpdateTestServer server;
};

const update::UpdateNotice kUpToDate{"VEXA is up to date!", "uptodate"};
const update::UpdateNotice kNewVersion{"A new version of VEXA is available!", "update"};
const update::UpdateNotice kError{"Unable to check for update!", "error"};

void expectNotice(const update::UpdateNotice& actual, const update::UpdateNotice& expected) {
    EXPECT_EQ(actual.message, expected.message);
    EXPECT_EQ(actual.kind, expected.kind);
}

} // namespace

TEST(UpdateVersionCompare, OnlyTheWholePartRoundedHalfToEvenCounts) {
    EXPECT_EQ(update::compareVersions("6.00"), update::UpdateOutcome::UpToDate);
    EXPECT_EQ(update::compareVersions("6.49"), update::UpdateOutcome::UpToDate);
    EXPECT_EQ(update::compareVersions("6.5"), update::UpdateOutcome::UpToDate); // 6.5 rounds to 6
    EXPECT_EQ(update::compareVersions("5.5"), update::UpdateOutcome::UpToDate); // 5.5 rounds to 6
    EXPECT_EQ(update::compareVersions("6.51"), update::UpdateOutcome::NewVersion);
    EXPECT_EQ(update::compareVersions("7"), update::UpdateOutcome::NewVersion);
    EXPECT_EQ(update::compareVersions("7.5"), update::UpdateOutcome::NewVersion); // 7.5 rounds to 8
    EXPECT_EQ(update::compareVersions("32767"), update::UpdateOutcome::NewVersion);
}

TEST(UpdateVersionCompare, AnOlderReleaseOnTheServerIsAFailure) {
    EXPECT_EQ(update::compareVersions("5"), update::UpdateOutcome::Failed);
    EXPECT_EQ(update::compareVersions("5.49"), update::UpdateOutcome::Failed);
    EXPECT_EQ(update::compareVersions("-1"), update::UpdateOutcome::Failed);
}

TEST(UpdateVersionCompare, WhiteSpaceAroundTheNumberIsIgnored) {
    EXPECT_EQ(update::compareVersions("6.00\n"), update::UpdateOutcome::UpToDate);
    EXPECT_EQ(update::compareVersions("6.00\r\n"), update::UpdateOutcome::UpToDate);
    EXPECT_EQ(update::compareVersions(" \t7 \n"), update::UpdateOutcome::NewVersion);
}

TEST(UpdateVersionCompare, TextThatIsNoSixteenBitNumberIsAFailure) {
    for (const char* text : {"", " ", "\n", "<html><body>404</body></html>", "six", "6.0.1", "6,00",
                             "v7", "7 8", "32768", "-32769", "1e9"})
        EXPECT_EQ(update::compareVersions(text), update::UpdateOutcome::Failed)
            << '"' << text << '"';
}

TEST(UpdateVersionCompare, EachOutcomeHasItsPopupMessageAndKind) {
    expectNotice(update::noticeFor(update::UpdateOutcome::UpToDate), kUpToDate);
    expectNotice(update::noticeFor(update::UpdateOutcome::NewVersion), kNewVersion);
    expectNotice(update::noticeFor(update::UpdateOutcome::Failed), kError);
}

TEST(UpdateVersionCompare, TheDocumentIsReadAsUtf8WithoutItsByteOrderMark) {
    EXPECT_EQ(update::versionText("\xEF\xBB\xBF"
                                  "7.00\r\n"),
              "7.00\r\n");
    EXPECT_EQ(update::versionText("6.00"), "6.00");
}

TEST(UpdateAddresses, VersionFileAndInstallerLieOnTheMakersReservedHost) {
    EXPECT_EQ(update::versionFileUrl().path(), "/vexa/vexaver.txt");
    EXPECT_EQ(update::installerUrl().path(), "/vexa/VEXA-Setup.exe");
    EXPECT_EQ(update::versionFileUrl().host(), update::installerUrl().host());
    EXPECT_TRUE(update::versionFileUrl().host().endsWith(".example"));
    EXPECT_EQ(update::versionFileUrl().scheme(), "http");
}

TEST_F(UpdateCheckTest, VersionFilesGiveTheirOutcome) {
    expectNotice(checkWith("6.00"), kUpToDate);
    expectNotice(checkWith("7"), kNewVersion);
    expectNotice(checkWith("6.5"), kUpToDate);
    expectNotice(checkWith("7.5"), kNewVersion);
    expectNotice(checkWith("5"), kError);
    expectNotice(checkWith("6.00\n"), kUpToDate);
    expectNotice(checkWith("\xEF\xBB\xBF"
                           "7.00\r\n"),
                 kNewVersion);
}

TEST_F(UpdateCheckTest, AnHtmlPageOrAnEmptyDocumentIsAFailure) {
    expectNotice(checkWith("<!DOCTYPE html><html><body><h1>Server Error</h1></body></html>"),
                 kError);
    expectNotice(checkWith(""), kError);
}

TEST_F(UpdateCheckTest, AnyStatusButOkIsAFailureWhateverTheBodySays) {
    for (int status : {404, 500, 204, 203, 301, 304}) {
        server.answer(kVersionPath, UpdateTestServer::Answer{status, "7", {}});
        update::UpdateCheck check(server.url(kVersionPath), quickLimits());
        const auto notice = run(check);
        ASSERT_TRUE(notice.has_value());
        expectNotice(*notice, kError);
    }
}

TEST_F(UpdateCheckTest, AMissingFileIsAFailure) {
    update::UpdateCheck check(server.url(QStringLiteral("/vexa/missing.txt")), quickLimits());
    expectNotice(run(check).value(), kError);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(UpdateCheckTest, NoServerAtAllIsAFailure) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close(); // nothing listens there now: the connection is refused
    update::UpdateCheck check(
        QUrl(QStringLiteral("http://127.0.0.1:%1/vexa/vexaver.txt").arg(port)), quickLimits());
    expectNotice(run(check).value(), kError);
    EXPECT_FALSE(check.busy());
}

TEST_F(UpdateCheckTest, AServerThatNeverAnswersEndsInTheTimeOut) {
    UpdateTestServer::Answer silent;
    silent.silent = true;
    server.answer(kVersionPath, silent);
    update::UpdateCheck check(server.url(kVersionPath), quickLimits());
    expectNotice(run(check).value(), kError);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_FALSE(check.busy());
}

TEST_F(UpdateCheckTest, ADocumentLargerThanTheCapIsRefused) {
    // A valid version padded past the cap: only the cap can turn it into a failure.
    const QByteArray padded = "7" + QByteArray(64 * 1024, ' ');
    expectNotice(checkWith(padded), kError);

    // The same without a length announced: the received bytes are counted.
    UpdateTestServer::Answer unannounced{200, "7" + QByteArray(200 * 1024, '\n'), {}};
    unannounced.announceLength = false;
    server.answer(kVersionPath, unannounced);
    update::UpdateCheck check(server.url(kVersionPath), quickLimits());
    expectNotice(run(check).value(), kError);

    // Below the cap the same padding is harmless.
    expectNotice(checkWith("7" + QByteArray(1000, ' ')), kNewVersion);
}

TEST(HttpTransferTest, AnOversizedDocumentIsRefusedWithoutReadingItToItsEnd) {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    // Far more than the system's socket buffers hold, so a client that read on would make the
    // server send it all.
    const QByteArray huge(48 * 1024 * 1024, '7');
    for (bool announced : {true, false}) {
        UpdateTestServer server;
        UpdateTestServer::Answer answer{200, huge, {}};
        answer.announceLength = announced;
        server.answer("/huge", answer);
        update::HttpTransfer::Limits limits;
        limits.timeoutMs = 5000; // a transfer that missed the cap would stall into it
        update::HttpTransfer transfer(limits);
        EXPECT_FALSE(fetch(transfer, server.url("/huge")).has_value());
        EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::TooLarge) << announced;
        EXPECT_LT(server.bytesSent(), huge.size() / 2) << "length announced: " << announced;
    }
}

TEST(HttpTransferTest, EachFailureIsToldApart) {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    UpdateTestServer server;
    server.serve("/ok", "6.00");
    UpdateTestServer::Answer silent;
    silent.silent = true;
    server.answer("/silent", silent);
    update::HttpTransfer::Limits limits;
    limits.timeoutMs = 300;
    update::HttpTransfer transfer(limits);

    EXPECT_FALSE(fetch(transfer, server.url("/missing")).has_value());
    EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::Status);
    EXPECT_FALSE(fetch(transfer, server.url("/silent")).has_value());
    EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::TimedOut);
    EXPECT_FALSE(fetch(transfer, QUrl("ftp://127.0.0.1/vexaver.txt")).has_value());
    EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::BadAddress);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QUrl refused(QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()));
    closed.close();
    EXPECT_FALSE(fetch(transfer, refused).has_value());
    EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::Network);

    EXPECT_EQ(fetch(transfer, server.url("/ok")).value_or("none"), "6.00");
    EXPECT_EQ(transfer.lastFailure(), update::HttpTransfer::Failure::None);
}

TEST(HttpTransferTest, ADocumentOfExactlyTheCapArrivesWhole) {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    UpdateTestServer server;
    const QByteArray cap(64 * 1024, 'x');
    server.serve("/cap", cap);
    update::HttpTransfer transfer;
    const auto document = fetch(transfer, server.url("/cap"));
    ASSERT_TRUE(document.has_value());
    EXPECT_EQ(*document, cap);
}

TEST(HttpTransferTest, RedirectsAreFollowedAFewTimesButNotForever) {
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    UpdateTestServer server;
    server.serve("/final", "7.00");
    server.answer("/moved", UpdateTestServer::Answer{302, {}, {{"Location", "/final"}}});
    server.answer("/twice", UpdateTestServer::Answer{301, {}, {{"Location", "/moved"}}});
    server.answer("/loop", UpdateTestServer::Answer{302, {}, {{"Location", "/loop"}}});

    update::HttpTransfer transfer;
    EXPECT_EQ(fetch(transfer, server.url("/moved")).value_or("none"), "7.00");
    EXPECT_EQ(fetch(transfer, server.url("/twice")).value_or("none"), "7.00");

    const int before = server.requestCount();
    EXPECT_FALSE(fetch(transfer, server.url("/loop")).has_value());
    const int loopRequests = server.requestCount() - before;
    EXPECT_GE(loopRequests, 2);
    // The network layer may send a request a second time when the server closed the
    // connection under it; the count stays bounded all the same.
    EXPECT_LE(loopRequests, 2 * (update::HttpTransfer::Limits{}.maxRedirects + 1));
}

TEST_F(UpdateCheckTest, ASecondCheckWhileOneRunsDoesNothing) {
    server.serve(kVersionPath, "7");
    update::UpdateCheck check(server.url(kVersionPath), quickLimits());
    bool busyMeanwhile = false;
    std::optional<update::UpdateNotice> nested{update::UpdateNotice{"not run", "not run"}};
    // The request reaches the server while the first check runs, from the same event loop that
    // would deliver a second menu click.
    server.onRequest([&](const QString&) {
        busyMeanwhile = check.busy();
        nested = run(check);
    });
    const auto first = run(check);
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_FALSE(nested.has_value());
    ASSERT_TRUE(first.has_value());
    expectNotice(*first, kNewVersion);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_FALSE(check.busy());
}
