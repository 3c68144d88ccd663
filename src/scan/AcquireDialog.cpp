#include "scan/AcquireDialog.h"

#include <algorithm>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vexa::scan {

namespace {
// What a cover needs; used when the device offers it, else the device's own setting.
constexpr int kPreferredResolution = 300;
constexpr int kProgressSteps = 1000;
} // namespace

AcquireDialog::AcquireDialog(SaneBackend& backend, const QString& deviceName, QWidget* owner)
    : QDialog(owner), m_deviceName(deviceName), m_device(std::make_shared<ScannerDevice>(backend)) {
    setWindowTitle(QStringLiteral("Scan"));
    m_deviceLabel = new QLabel(this);
    m_resolution = new QComboBox(this);
    m_resolution->setObjectName(QStringLiteral("resolution"));
    m_colour = new QRadioButton(QStringLiteral("&Color"), this);
    m_colour->setObjectName(QStringLiteral("colour"));
    m_gray = new QRadioButton(QStringLiteral("&Gray"), this);
    m_gray->setObjectName(QStringLiteral("gray"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_scanButton = new QPushButton(QStringLiteral("&Scan"), this);
    m_scanButton->setObjectName(QStringLiteral("scan"));
    m_scanButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancel"));

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_colour);
    modes->addWidget(m_gray);
    modes->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Scanner:"), m_deviceLabel);
    form->addRow(QStringLiteral("&Resolution:"), m_resolution);
    form->addRow(QStringLiteral("Mode:"), modes);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_scanButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(m_scanButton, &QPushButton::clicked, this, &AcquireDialog::startScan);
    connect(m_cancelButton, &QPushButton::clicked, this, &AcquireDialog::reject);

    setControlsEnabled(false);
    m_progress->setRange(0, 0);
    m_status->setText(m_deviceName.isEmpty() ? QStringLiteral("Looking for a scanner...")
                                             : QStringLiteral("Connecting to the scanner..."));
    m_task.startWithResult(
        [&backend, device = m_device, name = m_deviceName](base::JobControl&) {
            Opened result;
            result.deviceName = name;
            QString error;
            if (result.deviceName.isEmpty()) {
                const QList<ScannerInfo> found = backend.devices(&error);
                if (found.isEmpty()) return result;
                result.deviceName = found.first().name;
            }
            result.open = device->open(result.deviceName, &error);
            if (result.open) result.choices = device->choices();
            return result;
        },
        [this](const Opened& result) { opened(result); });
}

// A scan stops at its next read; the work ends alone, holding the device until it has.
AcquireDialog::~AcquireDialog() {
    m_stop->store(true);
    m_task.abandon();
}

bool AcquireDialog::isBusy() const {
    return m_task.isRunning();
}

void AcquireDialog::opened(const Opened& result) {
    if (m_closing || !result.open) {
        m_outcome = m_closing ? Outcome::Cancelled : Outcome::NoScanner;
        done(QDialog::Rejected);
        return;
    }
    m_deviceName = result.deviceName;
    m_choices = result.choices;
    m_deviceLabel->setText(m_deviceName);
    for (int dpi : m_choices.resolutions)
        m_resolution->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    const int preferred = m_choices.resolutions.contains(kPreferredResolution)
                              ? kPreferredResolution
                              : m_choices.currentResolution;
    m_resolution->setCurrentIndex(std::max(0, m_resolution->findData(preferred)));
    const bool currentIsGray =
        !m_choices.grayMode.isEmpty() && m_choices.currentMode == m_choices.grayMode;
    (currentIsGray || m_choices.colourMode.isEmpty() ? m_gray : m_colour)->setChecked(true);
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(0);
    m_status->clear();
    setControlsEnabled(true);
}

void AcquireDialog::setControlsEnabled(bool enabled) {
    m_resolution->setEnabled(enabled && m_resolution->count() > 1);
    m_colour->setEnabled(enabled && !m_choices.colourMode.isEmpty());
    m_gray->setEnabled(enabled && !m_choices.grayMode.isEmpty());
    m_scanButton->setEnabled(enabled);
}

void AcquireDialog::startScan() {
    if (m_task.isRunning()) return;
    setControlsEnabled(false);
    m_cancelButton->setFocus();
    m_status->setText(QStringLiteral("Scanning..."));
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(0);
    const QVariant resolution = m_resolution->currentData();
    const QString mode = m_colour->isChecked() ? m_choices.colourMode
                         : m_gray->isChecked() ? m_choices.grayMode
                                               : QString();
    m_stop->store(false);
    m_task.startWithResult(
        [this, device = m_device, stop = m_stop, resolution, mode](base::JobControl& control) {
            QString error;
            if ((!mode.isEmpty() && !device->setOption(SANE_NAME_SCAN_MODE, mode, &error)) ||
                (resolution.isValid() &&
                 !device->setOption(SANE_NAME_SCAN_RESOLUTION, resolution, &error)))
                return ScanOutcome{ScanOutcome::Failed, QImage(), error};
            // The window hears of the progress only while it is there (the job drops calls
            // posted after it has let go).
            return device->scan(*stop, [this, &control](qint64 done, qint64 total) {
                control.post([this, done, total] { showProgress(done, total); });
            });
        },
        [this](ScanOutcome result) { scanned(std::move(result)); });
}

void AcquireDialog::showProgress(qint64 done, qint64 total) {
    if (total <= 0) { // a hand scanner: the end is not known
        m_progress->setRange(0, 0);
        return;
    }
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(static_cast<int>(std::min(done, total) * kProgressSteps / total));
}

void AcquireDialog::scanned(ScanOutcome result) {
    if (m_closing || result.result == ScanOutcome::Cancelled) {
        m_outcome = Outcome::Cancelled;
        done(QDialog::Rejected);
        return;
    }
    if (result.result == ScanOutcome::Scanned) {
        m_picture = std::move(result.picture);
        m_outcome = Outcome::Scanned;
        done(QDialog::Accepted);
        return;
    }
    // A jam or a lost connection: say why and let the user try again or give up.
    m_status->setText(result.error);
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(0);
    setControlsEnabled(true);
}

void AcquireDialog::reject() {
    if (m_task.isRunning()) {
        // The worker stops at its next read; the dialog closes when it has.
        m_closing = true;
        m_stop->store(true);
        m_cancelButton->setEnabled(false);
        m_status->setText(QStringLiteral("Cancelling..."));
        return;
    }
    m_outcome = Outcome::Cancelled;
    QDialog::reject();
}

} // namespace vexa::scan
