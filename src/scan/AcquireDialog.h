#pragma once

#include "core/base/Job.h"
#include "scan/ScannerDevice.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace vexa::scan {

// The scanner's own small dialog: resolution, colour or gray, Scan and Cancel, and a
// progress bar. It opens the device off the GUI thread (finding the first scanner when
// none was chosen), scans on a worker thread and closes itself with the picture. The work
// shares the device with the window and hands its results back by value; closing the
// window asks it to stop and leaves it to end alone, never waiting on the window's thread.
class AcquireDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Scanned, Cancelled, NoScanner };

    // `deviceName` empty: the first scanner SANE finds.
    AcquireDialog(SaneBackend& backend, const QString& deviceName, QWidget* owner);
    ~AcquireDialog() override;

    Outcome outcome() const { return m_outcome; }
    const QImage& picture() const { return m_picture; }

    // For tests and the window's own logic: true while the device is being opened or read.
    bool isBusy() const;
    QComboBox* resolutionBox() const { return m_resolution; }
    QRadioButton* colourButton() const { return m_colour; }
    QRadioButton* grayButton() const { return m_gray; }
    QPushButton* scanButton() const { return m_scanButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QLabel* statusLabel() const { return m_status; }

public slots:
    void reject() override;

private:
    // What opening the device found.
    struct Opened {
        QString deviceName; // empty: no scanner
        bool open = false;
        ScanChoices choices;
    };
    void opened(const Opened& result);
    void startScan();
    void scanned(ScanOutcome result);
    void showProgress(qint64 done, qint64 total);
    void setControlsEnabled(bool enabled);

    QString m_deviceName;
    std::shared_ptr<ScannerDevice> m_device;
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
    bool m_closing = false;
    ScanChoices m_choices;

    Outcome m_outcome = Outcome::Cancelled;
    QImage m_picture;

    QLabel* m_deviceLabel = nullptr;
    QComboBox* m_resolution = nullptr;
    QRadioButton* m_colour = nullptr;
    QRadioButton* m_gray = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    base::Job m_task; // opening the device, then each scan
};

} // namespace vexa::scan
