#pragma once

#include "scan/SaneBackend.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <sane/saneopts.h>

#include <atomic>
#include <functional>

namespace vexa::scan {

// What the acquire dialog offers for a device.
struct ScanChoices {
    QList<int> resolutions; // dots per inch, ascending; empty: the device has no setting
    int currentResolution = 0;
    QString colourMode; // the device's name of its colour mode, empty when it has none
    QString grayMode;   // likewise for gray
    QString currentMode;
};

struct ScanOutcome {
    enum Result { Scanned, Cancelled, Failed };
    Result result = Failed;
    QImage picture; // when scanned: opaque 32 bits, dots per metre set from the resolution
    QString error;  // when failed
};

// Bytes received so far and the bytes expected in all (-1 while unknown, as with a hand
// scanner). Called on the scanning thread.
using ScanProgress = std::function<void(qint64 done, qint64 total)>;

// One opened SANE device. Lives on one thread at a time; every call may block on the
// device, so windows use it from a worker thread.
class ScannerDevice {
public:
    explicit ScannerDevice(SaneBackend& backend) : m_backend(backend) {}
    ~ScannerDevice() { close(); }
    ScannerDevice(const ScannerDevice&) = delete;
    ScannerDevice& operator=(const ScannerDevice&) = delete;

    bool open(const QString& name, QString* error);
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    // Sets an option by its SANE name from a bool, a number (integer or fixed-point, all
    // elements of an array option) or a text.
    bool setOption(const QByteArray& name, const QVariant& value, QString* error);
    // The option's value (the first element of an array); invalid when there is no such
    // active option.
    QVariant option(const QByteArray& name);

    ScanChoices choices();

    // Scans one picture, every frame of it. `cancel` is looked at between reads.
    ScanOutcome scan(const std::atomic_bool& cancel, const ScanProgress& progress);

private:
    struct Option {
        SANE_Int index = -1;
        const SANE_Option_Descriptor* descriptor = nullptr;
    };
    Option find(const QByteArray& name);
    QString statusText(SANE_Status status) { return m_backend.statusText(status); }

    SaneBackend& m_backend;
    SANE_Handle m_handle = nullptr;
};

// The device's name for colour or gray among its scan modes ("Color", "24bit Color",
// "Gray", "True Gray", "Grey", ...); empty when it has none.
QString colourModeName(const QStringList& modes);
QString grayModeName(const QStringList& modes);

// The resolutions to offer from a range: the usual steps between min and max on the
// device's grid, and the device's current value.
QList<int> resolutionsInRange(int min, int max, int quant, int current);

} // namespace vexa::scan
