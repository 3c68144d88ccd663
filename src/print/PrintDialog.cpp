#include "print/PrintDialog.h"

#include "core/cover/PaperChoice.h"
#include "core/cups/StartupPrinter.h"
#include "core/printing/CalibrationJob.h"
#include "core/printing/CoverPrinter.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/JobPrintProgress.h"
#include "core/printing/PdfExport.h"
#include "core/printing/PdfSaving.h"
#include "print/CalibrateWindow.h"
#include "print/CoverFaces.h"
#include "print/CoverPreview.h"
#include "print/SavePrompts.h"
#include "print/SoftCoverLine.h"
#include "print/TrimChoices.h"

#include "core/base/NumberText.h"
#include "core/settings/Settings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace vexa::print {

namespace {
constexpr int kButtonColumns = 4;

// What a job leaves for the window when it has ended, written by the worker and read once the
// job is finished.
struct JobOutcome {
    bool havePrinter = true;
    cups::PrintFailure noPrinter = cups::PrintFailure::NoPrinter; // why, when there was none
    printing::RunEnd end = printing::RunEnd::Finished;
    std::optional<int> pages; // of an export
    QStringList refusals;
    QStringList cuts;
    QStringList held;
};

} // namespace

PrintDialog::PrintDialog(const cover::CoverSet& covers, QWidget* parent)
    : PrintDialog(covers, std::make_unique<printing::CupsCoverPrinter>(), parent) {}

PrintDialog::PrintDialog(const cover::CoverSet& covers,
                         std::unique_ptr<printing::CoverPrinter> printer, QWidget* parent)
    : QDialog(parent), m_covers(covers), m_printer(std::move(printer)),
      m_savePrompts(std::make_unique<DialogSavePrompts>(this)) {
    buildWindow();
    // Print, Save as PDF and Preview are locked while a job runs.
    connect(&m_job, &base::Job::runningChanged, this, &PrintDialog::setBusy);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        // Its own activation is for changeEvent; any window not its own (or none: another
        // program) makes the next activation a real one.
        if (!window || window != windowHandle()) m_awayInOwnWindow = isOwnWindow(window);
    });
    // Load: nothing selected, then the selection of the last print run.
    m_status->clear();
    m_selection = {};
    readSelection();
}

PrintDialog::~PrintDialog() {
    // Nothing of a run may outlive the window: not its work, nor what it has posted.
    m_job.cancelAndWait();
}

void PrintDialog::buildWindow() {
    setObjectName(QStringLiteral("printCoversDialog"));
    setWindowTitle(QStringLiteral("Print Covers"));
    setModal(true);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("coverTiles"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);

    for (std::size_t i = 0; i < cover::kCoverFormats.size(); ++i) {
        const cover::CoverFormat& kind = cover::kCoverFormats[i];
        // A checkable button: a screen reader says "checked" when it is chosen, and the icon
        // shows the face of its state.
        auto* button = new QPushButton(frame);
        button->setObjectName(QLatin1String(kCoverTiles[i].objectName));
        button->setToolTip(cover::printToolTip(kind));
        button->setAccessibleName(cover::coverName(kind) + QStringLiteral(" cover"));
        button->setCheckable(true);
        QIcon faces;
        faces.addPixmap(QPixmap::fromImage(coverFace(kind, false)), QIcon::Normal, QIcon::Off);
        faces.addPixmap(QPixmap::fromImage(coverFace(kind, true)), QIcon::Normal, QIcon::On);
        button->setIcon(faces);
        button->setIconSize(kCoverFaceSize);
        button->setFixedSize(kCoverFaceSize + QSize(10, 10));
        // Enter on a focused tile toggles it, as Space does; it never prints.
        button->setAutoDefault(true);
        connect(button, &QPushButton::toggled, this,
                [this, i](bool checked) { m_selection.setFlag(cover::coverKindAt(i), checked); });
        const int position = static_cast<int>(i);
        grid->addWidget(button, position / kButtonColumns, position % kButtonColumns);
        m_buttons[i] = button;
    }

    auto* paperLabel = new QLabel(QStringLiteral("Paper:"), this);
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paperChoice"));
    m_paper->view()->setAccessibleName(QStringLiteral("Paper")); // the list it drops down
    m_paper->addItem(QStringLiteral("Letter and Legal"),
                     QVariant::fromValue(static_cast<int>(cover::PaperChoice::LetterLegal)));
    m_paper->addItem(QStringLiteral("A4"),
                     QVariant::fromValue(static_cast<int>(cover::PaperChoice::A4)));
    m_paper->setCurrentIndex(cover::rememberedPaper() == cover::PaperChoice::A4 ? 1 : 0);
    paperLabel->setBuddy(m_paper);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(paperLabel);
    paperRow->addWidget(m_paper);
    paperRow->addStretch(1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("printStatus"));
    m_status->setMinimumWidth(300);
    // Long enough for a sentence per cover the printer cut or refused.
    m_status->setWordWrap(true);

    m_print = new QPushButton(QStringLiteral("Print"), this);
    m_print->setObjectName(QStringLiteral("printButton"));
    m_print->setToolTip(QStringLiteral("Print selected covers."));
    // Enter prints only where no other button has the focus: every button is auto-default, so
    // Enter presses the focused one (Cancel cancels), and Print is the default otherwise.
    m_print->setDefault(true);
    connect(m_print, &QPushButton::clicked, this, &PrintDialog::print);

    m_preview = new QPushButton(QStringLiteral("Preview"), this);
    m_preview->setObjectName(QStringLiteral("previewButton"));
    m_preview->setToolTip(QStringLiteral("Show the selected covers as they will print."));
    connect(m_preview, &QPushButton::clicked, this, &PrintDialog::preview);

    m_savePdf = new QPushButton(QStringLiteral("Save as PDF\u2026"), this);
    m_savePdf->setObjectName(QStringLiteral("savePdfButton"));
    m_savePdf->setToolTip(QStringLiteral("Save the selected covers as one PDF file."));
    connect(m_savePdf, &QPushButton::clicked, this, &PrintDialog::saveAsPdf);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setToolTip(QStringLiteral("Cancel Printing."));
    connect(m_cancel, &QPushButton::clicked, this, &PrintDialog::cancel);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_preview);
    bottom->addWidget(m_savePdf);
    bottom->addWidget(m_print);
    bottom->addWidget(m_cancel);

    m_trim = new TrimChoices(this);
    connect(m_trim, &TrimChoices::calibrateClicked, this, &PrintDialog::calibrate);

    // Said before printing, for the covers chosen; printing goes ahead all the same.
    auto* soft = new SoftCoverLine(this);
    const auto showSoft = [this, soft] { soft->showFor(m_covers.records(), m_selection); };
    for (QPushButton* button : m_buttons) connect(button, &QPushButton::toggled, this, showSoft);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(paperRow);
    layout->addWidget(m_trim);
    layout->addWidget(soft);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PrintDialog::showSelection() {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setChecked(m_selection.testFlag(cover::coverKindAt(i)));
}

void PrintDialog::readSelection() {
    // Front decides whether the rest is read at all.
    const QString front =
        settings::readSetting(settings::coverSelectionKey(cover::kCoverFormats[0].key));
    if (!base::textToInt16(front)) {
        m_selection = {};
        showSelection();
        return;
    }
    // "-1" selects; any other number leaves the kind off. The others turn their kind over.
    m_selection.setFlag(cover::CoverKind::Front, front == QLatin1String("-1"));
    for (std::size_t i = 1; i < cover::kCoverFormats.size(); ++i) {
        const cover::CoverFormat& kind = cover::kCoverFormats[i];
        if (settings::readSetting(settings::coverSelectionKey(kind.key)) == QLatin1String("-1"))
            m_selection ^= kind.id;
    }
    showSelection();
}

void PrintDialog::writeSelection() {
    // A file that cannot be written loses the selection silently, like every setting. One
    // replacement of the file for all eleven, so that pressing Print does not wait for eleven.
    QList<std::pair<settings::SettingKey, QString>> values;
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        values.append({settings::coverSelectionKey(kind.key),
                       m_selection.testFlag(kind.id) ? QStringLiteral("-1") : QStringLiteral("0")});
    settings::writeSettings(values);
}

cover::PaperChoice PrintDialog::paperChoice() const {
    return static_cast<cover::PaperChoice>(m_paper->currentData().toInt());
}

void PrintDialog::print() {
    if (isPrinting()) return;
    // Written first, so the selection survives a printer that fails.
    writeSelection();
    cover::rememberPaper(paperChoice());

    // The run prints the selection just saved, over the pictures as they are now.
    auto outcome = std::make_shared<JobOutcome>();
    auto work = [printer = m_printer.get(), selection = m_selection, pictures = m_covers.records(),
                 paper = paperChoice(), trim = m_trim->options(), outcome,
                 this](base::JobControl& control) {
        printing::JobPrintProgress progress(control, [this](const cover::CoverFormat& kind) {
            showProgress(cover::printingMessage(kind));
        });
        printer->setTrimOptions(trim);
        outcome->havePrinter = printer->followDefault();
        if (!outcome->havePrinter) outcome->noPrinter = printer->noPrinterFailure();
        if (outcome->havePrinter)
            outcome->end =
                printing::printSelectedCovers(selection, pictures, *printer, progress, paper);
        outcome->refusals = progress.refusals();
        outcome->cuts = progress.cuts();
        outcome->held = progress.held();
    };
    m_job.start(std::move(work), [this, outcome] {
        // A stopped run is not complete; Cancel has said so.
        if (closeIfAsked() || outcome->end == printing::RunEnd::Stopped) return;
        if (!outcome->havePrinter) {
            m_status->setText(cups::printFailureText(outcome->noPrinter));
            return;
        }
        // A cover the printer did not take, or a paused printer holding the covers, is said
        // instead of "Printing Complete.".
        const QStringList lines = (outcome->refusals.isEmpty() && outcome->held.isEmpty()
                                       ? QStringList(QStringLiteral("Printing Complete."))
                                       : outcome->refusals + outcome->held) +
                                  outcome->cuts;
        m_status->setText(lines.join(QLatin1Char('\n')));
    });
}

void PrintDialog::setBusy(bool busy) {
    m_print->setEnabled(!busy);
    m_savePdf->setEnabled(!busy);
    m_preview->setEnabled(!busy);
    m_trim->setEnabled(!busy);
}

void PrintDialog::showProgress(const QString& text) {
    // After Cancel the status line keeps saying so while the cover being sent is finished.
    if (!m_closeWhenStopped) m_status->setText(text);
}

bool PrintDialog::closeIfAsked() {
    if (!std::exchange(m_closeWhenStopped, false)) return false;
    QDialog::reject();
    return true;
}

void PrintDialog::setSavePrompts(std::unique_ptr<SavePrompts> prompts) {
    m_savePrompts = std::move(prompts);
}

void PrintDialog::saveAsPdf() {
    if (isPrinting()) return;
    // Like Print: the selection and the paper are kept whatever becomes of the file.
    writeSelection();
    cover::rememberPaper(paperChoice());
    if (!(m_selection & m_covers.filled())) {
        m_savePrompts->tell(false, QStringLiteral("None of the selected covers has a picture."));
        return;
    }
    const std::optional<QString> name = m_savePrompts->pdfFileName(printing::suggestedPdfPath());
    if (!name || name->isEmpty()) return;
    QString path = *name;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (const QFileInfo existing(path);
        existing.exists() && !existing.isDir() && !m_savePrompts->replaceFile(path))
        return;

    // The status line names each cover as it is written.
    auto outcome = std::make_shared<JobOutcome>();
    auto work = [selection = m_selection, pictures = m_covers.records(), paper = paperChoice(),
                 path, trim = m_trim->options(), outcome, this](base::JobControl& control) {
        printing::JobPrintProgress progress(control, [this](const cover::CoverFormat& kind) {
            showProgress(QStringLiteral("Saving %1 Cover.").arg(cover::coverTitle(kind)));
        });
        outcome->pages =
            printing::exportCoversToPdf(selection, pictures, paper, path, progress, trim);
        outcome->cuts = progress.cuts();
    };
    // Chosen covers without a picture are not in the file, and the message says which.
    const QString leftOut = printing::coversLeftOutText(m_selection & ~m_covers.filled());
    m_job.start(std::move(work), [this, outcome, path, leftOut] {
        // Cancel has said so; the file was left as it was.
        if (closeIfAsked()) return;
        if (const std::optional<int> pages = outcome->pages) {
            printing::rememberPdfFolder(path);
            QString text =
                QStringLiteral("Saved %1 %2 to %3.")
                    .arg(*pages)
                    .arg(*pages == 1 ? QStringLiteral("cover") : QStringLiteral("covers"))
                    .arg(QDir::toNativeSeparators(path));
            if (!leftOut.isEmpty()) text += QLatin1Char(' ') + leftOut;
            // Below it, the sides where a page had less room than its bleed and marks want.
            m_status->setText((QStringList(text) + outcome->cuts).join(QLatin1Char('\n')));
            m_savePrompts->tell(true, text);
        } else {
            m_status->setText(QStringLiteral("Unable to save file."));
            m_savePrompts->tell(false, QStringLiteral("Unable to save file."));
        }
    });
}

void PrintDialog::preview() {
    // Shows, and changes nothing: neither the flags, the settings nor the status line.
    const QString printer = cups::defaultPrinterName();
    CoverPreview window(printing::previewPages(m_selection, m_covers.records(), paperChoice(),
                                               printer, m_trim->options()),
                        printer, this);
    window.exec();
}

void PrintDialog::calibrate() {
    // The printer covers go to, on the paper chosen (Letter for Letter and Legal: the window
    // offers Legal too).
    CalibrateWindow window(
        cups::defaultPrinterName(),
        paperChoice() == cover::PaperChoice::A4 ? cover::Paper::A4 : cover::Paper::Letter,
        cover::settingsCalibrations(),
        [](const QString& printer, cover::Paper paper, const std::function<bool()>& keepGoing) {
            return printing::printCalibrationPage(printer, paper, keepGoing);
        },
        this);
    window.exec();
}

void PrintDialog::cancel() {
    m_status->setText(QStringLiteral("Printing Cancelled."));
    // A run still going gives the button back when it has stopped.
    if (!isPrinting()) m_print->setEnabled(true);
    reject();
}

void PrintDialog::reject() {
    if (isPrinting()) {
        m_closeWhenStopped = true;
        m_job.cancel();
        return;
    }
    QDialog::reject();
}

bool PrintDialog::isOwnWindow(const QWindow* window) const {
    if (!window) return false;
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        for (const QWidget* up = top->parentWidget(); up; up = up->parentWidget())
            if (up == this) return true;
    }
    return false;
}

void PrintDialog::changeEvent(QEvent* event) {
    // A late activation can reach a window that was already closed; only a shown window
    // becomes the active one. Coming back from its own preview or message is no activation
    // by the user, and what the last run or export said stays.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() &&
        !std::exchange(m_awayInOwnWindow, false))
        m_status->clear();
    QDialog::changeEvent(event);
}

} // namespace vexa::print
