#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Ended {
    bool finished = false;
    int status = -1;
    QByteArray out, err;
};

Ended runChild(const char* mode) {
    QProcess child;
    child.start(PROCESS_END_CHILD_PATH, {mode});
    Ended ended;
    // Only a guard: a child that hangs fails here instead of holding the run.
    ended.finished = child.waitForFinished(120000);
    if (!ended.finished) child.kill();
    child.waitForFinished();
    ended.status = child.exitCode();
    ended.out = child.readAllStandardOutput();
    ended.err = child.readAllStandardError();
    return ended;
}

} // namespace

TEST(ProcessEnd, EndsPastAnExitHandlerThatNeverReturnsWithItsStatusAndItsOutput) {
    const Ended ended = runChild("stuck");
    ASSERT_TRUE(ended.finished) << "the exit handler held the process";
    EXPECT_EQ(ended.status, 3);
    EXPECT_EQ(ended.out, "said before the end");
}

TEST(ProcessEnd, TheSanitizerBuildStillReportsALeak) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "only the sanitizer build checks for leaks";
#else
    const Ended ended = runChild("leak");
    ASSERT_TRUE(ended.finished);
    EXPECT_NE(ended.status, 0);
    EXPECT_TRUE(ended.err.contains("LeakSanitizer")) << ended.err.toStdString();
    EXPECT_TRUE(ended.err.contains("4096 byte")) << ended.err.toStdString();
#endif
}
