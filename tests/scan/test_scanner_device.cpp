#include "scan/ScannerDevice.h"

#include "support/ScanTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using vexa::scan::SaneBackend;
using vexa::scan::ScannerDevice;
using vexa::scan::ScanOutcome;
using vexa::test::isGray;

namespace {

class TestScanner : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vexa::test::usePrivateSaneConfig(); }

    void SetUp() override {
        ASSERT_TRUE(SaneBackend::shared().isReady())
            << SaneBackend::shared().failure().toStdString();
        vexa::test::resetTestScanner("test:0");
        QString error;
        ASSERT_TRUE(device.open("test:0", &error)) << error.toStdString();
    }

    void set(const char* name, const QVariant& value) {
        QString error;
        ASSERT_TRUE(device.setOption(name, value, &error)) << name << ": " << error.toStdString();
    }

    ScanOutcome scan() {
        std::atomic_bool cancel{false};
        ScanOutcome outcome = device.scan(cancel, [this](qint64 done, qint64 total) {
            lastDone = done;
            lastTotal = total;
            ++progressCalls;
        });
        EXPECT_EQ(outcome.result, ScanOutcome::Scanned) << outcome.error.toStdString();
        return outcome;
    }

    ScannerDevice device{SaneBackend::shared()};
    qint64 lastDone = 0;
    qint64 lastTotal = 0;
    int progressCalls = 0;
};

bool isFilledWith(const QImage& picture, QRgb colour) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != colour) return false;
    return true;
}

TEST_F(TestScanner, ListsTheVirtualScanners) {
    const auto devices = SaneBackend::shared().devices();
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
    EXPECT_FALSE(devices[0].vendor.isEmpty());
    EXPECT_FALSE(devices[0].model.isEmpty());
}

TEST_F(TestScanner, ColourScanHasTheAreaResolutionAndColours) {
    const ScanOutcome outcome = scan();
    const QImage& picture = outcome.picture;
    // 40 x 30 mm at 50 dpi.
    EXPECT_NEAR(picture.width(), 40 / 25.4 * 50, 1.0);
    EXPECT_NEAR(picture.height(), 30 / 25.4 * 50, 1.0);
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(picture.dotsPerMeterX(), std::lround(50 / 0.0254));
    EXPECT_FALSE(isGray(picture));
    EXPECT_GT(progressCalls, 1);
    EXPECT_EQ(lastDone, lastTotal);
}

TEST_F(TestScanner, GrayScanIsGray) {
    set("mode", "Gray");
    const QImage picture = scan().picture;
    EXPECT_TRUE(isGray(picture));
    EXPECT_FALSE(isFilledWith(picture, picture.pixel(0, 0)));
}

TEST_F(TestScanner, ThreePassGivesTheSinglePassPicture) {
    const QImage single = scan().picture;
    for (const char* order : {"RGB", "BGR", "GRB"}) {
        set("three-pass", true);
        set("three-pass-order", order);
        EXPECT_EQ(scan().picture, single) << order;
    }
}

TEST_F(TestScanner, SixteenBitKeepsTheUpperByteOfEachSample) {
    set("depth", 16);
    // In this pattern the upper byte of red grows along a line and the lower byte down a
    // column: a picture made of lower bytes would change from line to line.
    const QImage picture = scan().picture;
    EXPECT_EQ(picture.copy(0, 5, picture.width(), 1), picture.copy(0, 40, picture.width(), 1));
    EXPECT_LT(qRed(picture.pixel(6, 5)), qRed(picture.pixel(60, 5)));
    set("test-picture", "Solid white");
    EXPECT_TRUE(isFilledWith(scan().picture, qRgb(255, 255, 255)));
}

TEST_F(TestScanner, OneBitBlackAndWhite) {
    set("mode", "Gray");
    set("depth", 1);
    set("test-picture", "Solid black");
    EXPECT_TRUE(isFilledWith(scan().picture, qRgb(0, 0, 0)));
    set("test-picture", "Solid white");
    EXPECT_TRUE(isFilledWith(scan().picture, qRgb(255, 255, 255)));
}

TEST_F(TestScanner, HandScannerHeightIsKnownOnlyAtTheEnd) {
    set("hand-scanner", true);
    const QImage picture = scan().picture;
    EXPECT_NEAR(picture.width(), 110 / 25.4 * 50, 1.0); // a fixed 11 cm
    EXPECT_GT(picture.height(), 0);
    EXPECT_EQ(lastTotal, -1);
}

TEST_F(TestScanner, CancelStopsTheScanAndTheNextOneWorks) {
    set("read-limit", true);
    set("read-limit-size", 100);
    std::atomic_bool cancel{false};
    const ScanOutcome cancelled =
        device.scan(cancel, [&cancel](qint64 done, qint64) { cancel = done > 0; });
    EXPECT_EQ(cancelled.result, ScanOutcome::Cancelled);
    EXPECT_TRUE(cancelled.picture.isNull());
    EXPECT_FALSE(scan().picture.isNull());
}

TEST_F(TestScanner, DeviceErrorsAreFailuresWithTheirReason) {
    set("read-return-value", "SANE_STATUS_JAMMED");
    std::atomic_bool cancel{false};
    const ScanOutcome outcome = device.scan(cancel, nullptr);
    EXPECT_EQ(outcome.result, ScanOutcome::Failed);
    EXPECT_TRUE(outcome.error.contains("jammed", Qt::CaseInsensitive))
        << outcome.error.toStdString();
}

TEST_F(TestScanner, UnknownSettingsAreRefused) {
    QString error;
    EXPECT_FALSE(device.setOption("no-such-setting", 1, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(device.option("no-such-setting").isValid());
    EXPECT_EQ(device.option("mode").toString(), "Color");
}

TEST(SaneLibrary, AMissingDeviceCannotBeOpened) {
    vexa::test::usePrivateSaneConfig();
    ScannerDevice device(SaneBackend::shared());
    QString error;
    EXPECT_FALSE(device.open("test:7", &error));
    EXPECT_FALSE(error.isEmpty());
    std::atomic_bool cancel{false};
    EXPECT_EQ(device.scan(cancel, nullptr).result, ScanOutcome::Failed);
}

TEST(SaneLibrary, AMissingLibraryFailsEveryCall) {
    SaneBackend missing("libvexa-no-such-sane.so.1");
    EXPECT_FALSE(missing.isReady());
    EXPECT_FALSE(missing.failure().isEmpty());
    QString error;
    EXPECT_TRUE(missing.devices(&error).isEmpty());
    EXPECT_EQ(error, missing.failure());
    ScannerDevice device(missing);
    EXPECT_FALSE(device.open("test:0", &error));
    EXPECT_EQ(error, missing.failure());
}

TEST(ScanModes, PicksTheDevicesNames) {
    using vexa::scan::colourModeName;
    using vexa::scan::grayModeName;
    EXPECT_EQ(colourModeName({"Lineart", "Gray", "Color"}), "Color");
    EXPECT_EQ(grayModeName({"Lineart", "Gray", "Color"}), "Gray");
    EXPECT_EQ(colourModeName({"Binary", "True Gray", "24bit Color[Fast]", "24bit Color"}),
              "24bit Color[Fast]");
    EXPECT_EQ(grayModeName({"Binary", "True Gray", "24bit Color"}), "True Gray");
    EXPECT_EQ(colourModeName({"colour", "grey"}), "colour");
    EXPECT_EQ(grayModeName({"colour", "grey"}), "grey");
    EXPECT_EQ(colourModeName({"Lineart", "Halftone"}), "");
    EXPECT_EQ(grayModeName({}), "");
}

TEST(ScanResolutions, UsualStepsOnTheDevicesGrid) {
    using vexa::scan::resolutionsInRange;
    EXPECT_EQ(resolutionsInRange(1, 1200, 1, 50),
              QList<int>({50, 75, 100, 150, 200, 300, 400, 600, 1200}));
    EXPECT_EQ(resolutionsInRange(100, 600, 100, 100), QList<int>({100, 200, 300, 400, 600}));
    EXPECT_EQ(resolutionsInRange(75, 300, 0, 123), QList<int>({75, 100, 123, 150, 200, 300}));
    EXPECT_EQ(resolutionsInRange(10, 40, 1, 0), QList<int>({10, 40}));
}

} // namespace
