#include "support/ScanTestSupport.h"

#include "scan/AcquireDialog.h"
#include "scan/ScannerDevice.h"
#include "support/ModalDriver.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vexa::test {

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

} // namespace

QString usePrivateSaneConfig() {
    static QTemporaryDir folder;
    static const bool written = [] {
        writeFile(QDir(folder.path()).filePath("dll.conf"), "test\n");
        writeFile(QDir(folder.path()).filePath("test.conf"), "number_of_devices 2\n"
                                                             "mode Color\n"
                                                             "depth 8\n"
                                                             "resolution 50\n"
                                                             "test-picture \"Color pattern\"\n"
                                                             "br_x 40.0\n"
                                                             "br_y 30.0\n");
        // Without the trailing ":" SANE searches this folder only, not /etc/sane.d.
        qputenv("SANE_CONFIG_DIR", folder.path().toLocal8Bit());
        return true;
    }();
    (void)written;
    return folder.path();
}

void resetTestScanner(const QString& deviceName,
                      std::initializer_list<std::pair<const char*, QVariant>> changes) {
    usePrivateSaneConfig();
    scan::ScannerDevice device(scan::SaneBackend::shared());
    QString error;
    ASSERT_TRUE(device.open(deviceName, &error)) << error.toStdString();
    const std::pair<const char*, QVariant> defaults[] = {
        {"mode", "Color"},     {"depth", 8},
        {"resolution", 50},    {"test-picture", "Color pattern"},
        {"three-pass", false}, {"hand-scanner", false},
        {"read-limit", false}, {"read-return-value", "Default"},
    };
    for (const auto& [name, value] : defaults)
        ASSERT_TRUE(device.setOption(name, value, &error)) << name << ": " << error.toStdString();
    for (const auto& [name, value] : changes)
        ASSERT_TRUE(device.setOption(name, value, &error)) << name << ": " << error.toStdString();
}

void clickScanWhenReady(bool gray) {
    whenModal<scan::AcquireDialog>(
        [](scan::AcquireDialog* d) { return d->scanButton()->isEnabled(); },
        [gray](scan::AcquireDialog* d) {
            d->resolutionBox()->setCurrentIndex(d->resolutionBox()->findData(50));
            (gray ? d->grayButton() : d->colourButton())->setChecked(true);
            d->scanButton()->click();
        });
}

bool isGray(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) return false;
        }
    return true;
}

} // namespace vexa::test
