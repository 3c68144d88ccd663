#include "core/base/Job.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace vexa {
namespace {

// Work that runs until it is cancelled or released, reporting each step.
struct SteppedWork {
    std::atomic<bool> release = false;
    std::atomic<bool> sawCancel = false;
    std::atomic<int> steps = 0;
    Qt::HANDLE thread = nullptr;
    std::vector<int> posted; // on the job's thread

    base::Job::Work work() {
        return [this](base::JobControl& control) {
            thread = QThread::currentThreadId();
            for (int step = 1; !release; ++step) {
                if (control.isCancelled()) {
                    sawCancel = true;
                    return;
                }
                control.setProgress(step % 101);
                steps = step;
                QThread::msleep(1);
            }
            for (int i = 0; i < 100; ++i) control.post([this, i] { posted.push_back(i); });
        };
    }
};

bool waitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 5000 && !condition(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return condition();
}

TEST(Job, RunsOffTheCallersThreadAndFinishesOnIt) {
    base::Job job;
    SteppedWork stepped;
    QSignalSpy running(&job, &base::Job::runningChanged);
    QSignalSpy progress(&job, &base::Job::progressChanged);
    Qt::HANDLE finishedOn = nullptr;
    ASSERT_TRUE(job.start(stepped.work(), [&] {
        finishedOn = QThread::currentThreadId();
        // Every posted call, in order, before the end.
        EXPECT_EQ(stepped.posted.size(), 100u);
        EXPECT_TRUE(std::is_sorted(stepped.posted.begin(), stepped.posted.end()));
        // Not busy any more: the next job may start from here.
        EXPECT_FALSE(job.isRunning());
    }));
    EXPECT_TRUE(job.isRunning());
    // One job at a time: a second request is refused while the first runs.
    EXPECT_FALSE(job.start([](base::JobControl&) { FAIL() << "a second job ran"; }));

    ASSERT_TRUE(waitUntil([&] { return !progress.isEmpty(); }));
    stepped.release = true;
    ASSERT_TRUE(waitUntil([&] { return !job.isRunning(); }));
    EXPECT_NE(stepped.thread, QThread::currentThreadId());
    EXPECT_EQ(finishedOn, QThread::currentThreadId());
    ASSERT_EQ(running.size(), 2);
    EXPECT_TRUE(running[0][0].toBool());
    EXPECT_FALSE(running[1][0].toBool());
}

TEST(Job, CancelStopsTheWorkAndStillFinishes) {
    base::Job job;
    SteppedWork stepped;
    bool finished = false;
    ASSERT_TRUE(job.start(stepped.work(), [&] { finished = true; }));
    ASSERT_TRUE(waitUntil([&] { return stepped.steps > 0; }));
    job.cancel();
    ASSERT_TRUE(waitUntil([&] { return finished; }));
    EXPECT_TRUE(stepped.sawCancel);
}

TEST(Job, CancelAndWaitJoinsAndDropsTheFinishAndLetsTheNextJobStart) {
    base::Job job;
    SteppedWork first;
    bool firstFinished = false;
    ASSERT_TRUE(job.start(first.work(), [&] { firstFinished = true; }));
    ASSERT_TRUE(waitUntil([&] { return first.steps > 0; }));
    job.cancelAndWait();
    EXPECT_TRUE(first.sawCancel); // returned before cancelAndWait did
    EXPECT_FALSE(job.isRunning());

    // What the first job still had queued must not finish the second one.
    SteppedWork second;
    bool secondFinished = false;
    ASSERT_TRUE(job.start(second.work(), [&] { secondFinished = true; }));
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(job.isRunning());
    EXPECT_FALSE(secondFinished);
    second.release = true;
    ASSERT_TRUE(waitUntil([&] { return secondFinished; }));
    EXPECT_FALSE(firstFinished);
}

TEST(Job, DestroyingTheJobCancelsAndJoinsTheWork) {
    SteppedWork stepped;
    {
        base::Job job;
        ASSERT_TRUE(job.start(stepped.work(), [] { FAIL() << "finished after destruction"; }));
        ASSERT_TRUE(waitUntil([&] { return stepped.steps > 0; }));
    }
    EXPECT_TRUE(stepped.sawCancel);
}

} // namespace
} // namespace vexa
