#pragma once

#include "scan/ScannerDevice.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <atomic>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace vexa::scan {

class BackgroundTask;

// The scanner's own small dialog: resolution, colour or gray, Scan and Cancel, and a
// progress bar. It opens the device off the GUI thread (finding the first scanner when
// none was chosen), scans on a worker thread and closes itself with the picture.
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
    void opened();
    void startScan();
    void scanned();
    void showProgress(qint64 done, qint64 total);
    void setControlsEnabled(bool enabled);

    SaneBackend& m_backend;
    QString m_deviceName;
    ScannerDevice m_device;
    BackgroundTask* m_task = nullptr;
    std::atomic_bool m_stop{false};
    bool m_closing = false;

    // Filled by the worker, read on the GUI thread once it has finished.
    QString m_error;
    ScanChoices m_choices;
    ScanOutcome m_result;

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
};

} // namespace vexa::scan
