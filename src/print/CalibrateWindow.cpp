#include "print/CalibrateWindow.h"

#include "core/cover/CalibrationInput.h"
#include "core/cover/PaperChoice.h"
#include "core/cups/PrintFailure.h"
#include "core/cups/SystemPrinters.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::print {

namespace {

constexpr cover::Paper kPapers[] = {cover::Paper::Letter, cover::Paper::Legal, cover::Paper::A4};

struct FigureField {
    const char* label;
    const char* name;
    cover::CalibrationFigure figure;
};

constexpr FigureField kFields[] = {
    {"&Left edge to line (mm):", "leftFigure", cover::CalibrationFigure::Left},
    {"&Top edge to line (mm):", "topFigure", cover::CalibrationFigure::Top},
    {"Ruler &across (mm):", "acrossFigure", cover::CalibrationFigure::Across},
    {"Ruler &down (mm):", "downFigure", cover::CalibrationFigure::Down},
};

} // namespace

CalibrateWindow::CalibrateWindow(QString printer, cover::Paper paperCode,
                                 cover::CalibrationStore store, PagePrinter printPage,
                                 QWidget* parent)
    : QDialog(parent), m_printer(std::move(printer)), m_store(std::move(store)),
      m_printPage(std::move(printPage)) {
    buildWindow(paperCode);
    connect(&m_job, &base::Job::runningChanged, this, [this](bool running) {
        m_print->setEnabled(!running && !m_printer.isEmpty());
        m_paper->setEnabled(!running);
    });
    showStored();
}

CalibrateWindow::~CalibrateWindow() {
    m_job.cancelAndWait();
}

void CalibrateWindow::buildWindow(cover::Paper paperCode) {
    setObjectName(QStringLiteral("calibrateWindow"));
    setWindowTitle(QStringLiteral("Calibrate Printer"));
    setModal(true);

    // Without a printer, why there is none, in the words the print window uses.
    auto* printerLabel =
        new QLabel(m_printer.isEmpty() ? cups::printFailureText(cups::missingDefaultFailure())
                                       : QStringLiteral("Printer: %1").arg(m_printer),
                   this);
    printerLabel->setObjectName(QStringLiteral("printerName"));
    printerLabel->setWordWrap(true);

    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("calibrationPaper"));
    for (const cover::Paper code : kPapers)
        m_paper->addItem(cover::paperName(code), static_cast<int>(code));
    m_paper->setCurrentIndex(std::max(0, m_paper->findData(static_cast<int>(paperCode))));
    connect(m_paper, &QComboBox::currentIndexChanged, this, [this] {
        m_status->clear();
        showStored();
    });
    auto* paperLabel = new QLabel(QStringLiteral("Pa&per:"), this);
    paperLabel->setBuddy(m_paper);

    m_print = new QPushButton(QStringLiteral("Print Calibration Pa&ge"), this);
    m_print->setObjectName(QStringLiteral("printCalibrationPageButton"));
    m_print->setToolTip(
        QStringLiteral("Print lines 20 mm from the paper's edges and two 150 mm rulers."));
    m_print->setEnabled(!m_printer.isEmpty());
    connect(m_print, &QPushButton::clicked, this, &CalibrateWindow::printPage);

    auto* top = new QHBoxLayout;
    top->addWidget(paperLabel);
    top->addWidget(m_paper);
    top->addStretch(1);
    top->addWidget(m_print);

    auto* explain = new QLabel(
        QStringLiteral("Measure the printed page with a ruler, as the page says, and type what "
                       "you measured in millimetres (20.5 or 20,5)."),
        this);
    explain->setWordWrap(true);

    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < m_figures.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(kFields[i].name));
        edit->setAccessibleName(cover::calibrationFigureName(kFields[i].figure));
        form->addRow(QLatin1String(kFields[i].label), edit);
        m_figures[i] = edit;
    }

    m_stored = new QLabel(this);
    m_stored->setObjectName(QStringLiteral("storedCalibration"));
    m_stored->setWordWrap(true);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("calibrationStatus"));
    m_status->setWordWrap(true);
    m_status->setMinimumWidth(420);

    m_save = new QPushButton(QStringLiteral("&Save"), this);
    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setToolTip(QStringLiteral("Store the calibration of this printer and paper."));
    m_save->setEnabled(!m_printer.isEmpty());
    // Enter presses the focused button; elsewhere (in a figure's field) it saves.
    m_save->setDefault(true);
    connect(m_save, &QPushButton::clicked, this, &CalibrateWindow::save);
    m_reset = new QPushButton(QStringLiteral("&Reset"), this);
    m_reset->setObjectName(QStringLiteral("resetButton"));
    m_reset->setToolTip(QStringLiteral("Remove the calibration of this printer and paper."));
    m_reset->setEnabled(!m_printer.isEmpty());
    connect(m_reset, &QPushButton::clicked, this, &CalibrateWindow::reset);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_reset);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerLabel);
    layout->addLayout(top);
    layout->addWidget(explain);
    layout->addLayout(form);
    layout->addWidget(m_stored);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
}

cover::Paper CalibrateWindow::paper() const {
    return static_cast<cover::Paper>(m_paper->currentData().toInt());
}

QString CalibrateWindow::statusText() const {
    return m_status->text();
}

void CalibrateWindow::showStored() {
    if (m_printer.isEmpty()) {
        m_stored->clear();
        return;
    }
    const cover::StoredCalibration stored = m_store.read(m_printer, paper());
    if (stored.calibration)
        m_stored->setText(
            QStringLiteral("Stored for %1 paper: %2.")
                .arg(cover::paperName(paper()), cover::describeCalibration(*stored.calibration)));
    else if (!stored.problem.isEmpty())
        m_stored->setText(stored.problem);
    else
        m_stored->setText(QStringLiteral("No calibration is stored for this printer on %1 paper.")
                              .arg(cover::paperName(paper())));
}

void CalibrateWindow::printPage() {
    if (m_printer.isEmpty() || isPrinting()) return;
    m_status->setText(QStringLiteral("Printing the calibration page."));
    auto outcome = std::make_shared<printing::CalibrationPageResult>();
    m_job.start(
        [print = m_printPage, printer = m_printer, paperCode = paper(),
         outcome](base::JobControl& control) {
            *outcome = print(printer, paperCode, [&control] { return !control.isCancelled(); });
        },
        [this, outcome] {
            if (!outcome->refused.isEmpty())
                m_status->setText(QStringLiteral("The calibration page was not printed: %1.")
                                      .arg(outcome->refused));
            else if (!outcome->heldBy.isEmpty())
                m_status->setText(cups::printFailureText(cups::PrintFailure::PrinterPaused,
                                                         outcome->heldBy,
                                                         cups::JobContent::CalibrationPage));
            else
                m_status->setText(QStringLiteral("The calibration page went to the printer. "
                                                 "Measure it and type the four figures."));
            if (outcome->refused.isEmpty()) m_figures[0]->setFocus();
        });
}

void CalibrateWindow::save() {
    std::array<QString, 4> typed;
    for (std::size_t i = 0; i < typed.size(); ++i) typed[i] = m_figures[i]->text();
    const auto result = cover::calibrationFromText(typed);
    if (const QString* problem = std::get_if<QString>(&result)) {
        m_status->setText(*problem);
        return;
    }
    const cover::PrinterCalibration& calibration = std::get<cover::PrinterCalibration>(result);
    if (!m_store.write(m_printer, paper(), calibration)) {
        m_status->setText(QStringLiteral("The calibration could not be stored: the settings "
                                         "file cannot be written."));
        return;
    }
    m_status->setText(QStringLiteral("Stored. Covers printed on %1 on %2 paper are corrected.")
                          .arg(m_printer, cover::paperName(paper())));
    showStored();
}

void CalibrateWindow::reset() {
    if (!m_store.remove(m_printer, paper())) {
        m_status->setText(QStringLiteral("The calibration could not be removed: the settings "
                                         "file cannot be written."));
        return;
    }
    m_status->setText(QStringLiteral("Removed. Covers printed on %1 on %2 paper are not "
                                     "corrected.")
                          .arg(m_printer, cover::paperName(paper())));
    showStored();
}

} // namespace vexa::print
