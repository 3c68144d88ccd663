#include "print/PrintDialog.h"

#include "core/cover/PaperChoice.h"
#include "core/cups/StartupPrinter.h"
#include "core/cups/SystemPrinters.h"
#include "core/printing/CalibrationJob.h"
#include "core/printing/CoverPrinter.h"
#include "core/printing/CupsCoverPrinter.h"
#include "core/printing/JobPrintProgress.h"
#include "core/printing/PdfExport.h"
#include "core/printing/PdfSaving.h"
#include "core/printing/SheetRun.h"
#include "print/CalibrateWindow.h"
#include "print/CoverFaces.h"
#include "print/CoverPreview.h"
#include "print/RememberedSelection.h"
#include "print/SavePrompts.h"
#include "print/SoftCoverLine.h"
#include "print/TrimChoices.h"
#include "widgets/AccessibleRole.h"

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
#include <QSpinBox>
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
    // Widgets are made in the order they are laid out, so Tab follows the layout: the tiles row
    // by row, the printer's choices, the trim row, then the buttons.

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("coverTiles"));
    widgets::setAccessibleRole(frame, QAccessible::Grouping); // a group, not a window's frame
    frame->setAccessibleName(QStringLiteral("Covers"));
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
        button->setIconSize(kCoverFaceSize);
        button->setFixedSize(kCoverFaceSize + QSize(10, 10));
        // Enter on a focused tile toggles it, as Space does; it never prints.
        button->setAutoDefault(true);
        connect(button, &QPushButton::toggled, this,
                [this, i](bool checked) { m_selection.setFlag(cover::coverKindAt(i), checked); });
        const int position = static_cast<int>(i);
        grid->addWidget(button, position / kButtonColumns, position % kButtonColumns);
        m_buttons[i] = button;
        showPicture(kind.id);
    }
    connect(&m_covers, &cover::CoverSet::pictureChanged, this, &PrintDialog::showPicture);

    // The printer Print sends to, or why there is none, in the words a run would use.
    const QString printer = cups::defaultPrinterName();
    m_printerLine =
        new QLabel(printer.isEmpty() ? cups::printFailureText(cups::missingDefaultFailure())
                                     : QStringLiteral("Printer: %1").arg(printer),
                   this);
    m_printerLine->setObjectName(QStringLiteral("printerName"));
    m_printerLine->setWordWrap(true);

    auto* paperLabel = new QLabel(QStringLiteral("Pape&r:"), this);
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paperChoice"));
    m_paper->view()->setAccessibleName(QStringLiteral("Paper")); // the list it drops down
    m_paper->addItem(QStringLiteral("Letter and Legal"),
                     QVariant::fromValue(static_cast<int>(cover::PaperChoice::LetterLegal)));
    m_paper->addItem(QStringLiteral("A4"),
                     QVariant::fromValue(static_cast<int>(cover::PaperChoice::A4)));
    m_paper->setCurrentIndex(cover::rememberedPaper() == cover::PaperChoice::A4 ? 1 : 0);
    paperLabel->setBuddy(m_paper);

    const cover::SheetChoices sheets = cover::rememberedSheets();
    auto* sheetsLabel = new QLabel(QStringLiteral("&Sheets:"), this);
    m_sheets = new QComboBox(this);
    m_sheets->setObjectName(QStringLiteral("sheetsChoice"));
    m_sheets->view()->setAccessibleName(QStringLiteral("Sheets"));
    m_sheets->setToolTip(QStringLiteral("Print each cover on a sheet of its own, or as many "
                                        "covers on a sheet as fit, each at its exact size."));
    m_sheets->addItem(QStringLiteral("One cover a page"),
                      QVariant::fromValue(static_cast<int>(cover::SheetLayout::OneCoverAPage)));
    m_sheets->addItem(QStringLiteral("As many as fit"),
                      QVariant::fromValue(static_cast<int>(cover::SheetLayout::AsManyAsFit)));
    m_sheets->setCurrentIndex(sheets.packs() ? 1 : 0);
    sheetsLabel->setBuddy(m_sheets);

    auto* copiesLabel = new QLabel(QStringLiteral("C&opies:"), this);
    m_copies = new QSpinBox(this);
    m_copies->setObjectName(QStringLiteral("copiesChoice"));
    m_copies->setToolTip(QStringLiteral("How many of each chosen cover to print."));
    m_copies->setRange(cover::kMinCopies, cover::kMaxCopies);
    m_copies->setValue(sheets.copies);
    copiesLabel->setBuddy(m_copies);

    auto* choicesRow = new QHBoxLayout;
    choicesRow->addWidget(paperLabel);
    choicesRow->addWidget(m_paper);
    choicesRow->addSpacing(12);
    choicesRow->addWidget(sheetsLabel);
    choicesRow->addWidget(m_sheets);
    choicesRow->addSpacing(12);
    choicesRow->addWidget(copiesLabel);
    choicesRow->addWidget(m_copies);
    choicesRow->addStretch(1);

    m_trim = new TrimChoices(this);
    connect(m_trim, &TrimChoices::calibrateClicked, this, &PrintDialog::calibrate);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("printStatus"));
    m_status->setMinimumWidth(300);
    // A row of its own, long enough for a sentence per cover the printer cut or refused.
    m_status->setWordWrap(true);

    m_preview = new QPushButton(QStringLiteral("Pre&view"), this);
    m_preview->setObjectName(QStringLiteral("previewButton"));
    m_preview->setToolTip(QStringLiteral("Show the selected covers as they will print."));
    connect(m_preview, &QPushButton::clicked, this, &PrintDialog::preview);

    m_savePdf = new QPushButton(QStringLiteral("Save as P&DF\u2026"), this);
    m_savePdf->setObjectName(QStringLiteral("savePdfButton"));
    m_savePdf->setToolTip(QStringLiteral("Save the selected covers as one PDF file."));
    connect(m_savePdf, &QPushButton::clicked, this, &PrintDialog::saveAsPdf);

    m_print = new QPushButton(QStringLiteral("&Print"), this);
    m_print->setObjectName(QStringLiteral("printButton"));
    m_print->setToolTip(QStringLiteral("Print selected covers."));
    // Enter prints only where no other button has the focus: every button is auto-default, so
    // Enter presses the focused one (Cancel cancels), and Print is the default otherwise.
    m_print->setDefault(true);
    connect(m_print, &QPushButton::clicked, this, &PrintDialog::print);

    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setToolTip(QStringLiteral("Cancel Printing."));
    connect(m_cancel, &QPushButton::clicked, this, &PrintDialog::cancel);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_preview);
    bottom->addWidget(m_savePdf);
    bottom->addWidget(m_print);
    bottom->addWidget(m_cancel);

    // Said before printing, for the covers chosen; printing goes ahead all the same.
    auto* soft = new SoftCoverLine(this);
    const auto showSoft = [this, soft] { soft->showFor(m_covers.records(), m_selection); };
    for (QPushButton* button : m_buttons) connect(button, &QPushButton::toggled, this, showSoft);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_printerLine);
    layout->addLayout(choicesRow);
    layout->addWidget(m_trim);
    layout->addWidget(soft);
    layout->addWidget(m_status);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PrintDialog::showPicture(cover::CoverKind kind) {
    const std::size_t i = cover::coverIndex(kind);
    const cover::CoverFormat& format = cover::kCoverFormats[i];
    const QImage picture = tilePicture(m_covers.picture(kind).pixels);
    QIcon faces;
    // Greyed out, a tile keeps its state: the choice is kept with the others.
    const QIcon::Mode mode = picture.isNull() ? QIcon::Disabled : QIcon::Normal;
    faces.addPixmap(QPixmap::fromImage(coverFace(format, picture, false)), mode, QIcon::Off);
    faces.addPixmap(QPixmap::fromImage(coverFace(format, picture, true)), mode, QIcon::On);
    m_buttons[i]->setIcon(faces);
    m_buttons[i]->setEnabled(!picture.isNull());
}

void PrintDialog::showSelection() {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setChecked(m_selection.testFlag(cover::coverKindAt(i)));
}

void PrintDialog::readSelection() {
    m_selection = rememberedSelection(m_selection);
    showSelection();
}

void PrintDialog::writeSelection() {
    rememberSelection(m_selection);
}

cover::PaperChoice PrintDialog::paperChoice() const {
    return static_cast<cover::PaperChoice>(m_paper->currentData().toInt());
}

cover::SheetChoices PrintDialog::sheetChoices() const {
    return {static_cast<cover::SheetLayout>(m_sheets->currentData().toInt()), m_copies->value()};
}

void PrintDialog::rememberChoices() {
    cover::rememberPaper(paperChoice());
    cover::rememberSheets(sheetChoices());
}

void PrintDialog::print() {
    if (isPrinting()) return;
    // Written first, so the selection survives a printer that fails.
    writeSelection();
    rememberChoices();

    // The run prints the selection just saved, over the pictures as they are now.
    auto outcome = std::make_shared<JobOutcome>();
    auto work = [printer = m_printer.get(), selection = m_selection, pictures = m_covers.records(),
                 paper = paperChoice(), sheets = sheetChoices(), trim = m_trim->options(), outcome,
                 this](base::JobControl& control) {
        printing::JobPrintProgress progress(
            control,
            [this](const cover::CoverFormat& kind) { showProgress(cover::printingMessage(kind)); },
            [this](int number, int count) {
                showProgress(printing::printingSheetMessage(number, count));
            });
        outcome->havePrinter = printer->followDefault();
        if (!outcome->havePrinter) outcome->noPrinter = printer->noPrinterFailure();
        if (outcome->havePrinter)
            outcome->end =
                printing::printCovers(selection, pictures, *printer, progress, paper, sheets, trim);
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
    // Like Print: the selection and the choices are kept whatever becomes of the file.
    writeSelection();
    rememberChoices();
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
    const cover::SheetChoices sheets = sheetChoices();
    auto work = [selection = m_selection, pictures = m_covers.records(), paper = paperChoice(),
                 path, trim = m_trim->options(), sheets, outcome, this](base::JobControl& control) {
        printing::JobPrintProgress progress(
            control,
            [this](const cover::CoverFormat& kind) {
                showProgress(QStringLiteral("Saving %1 Cover.").arg(cover::coverTitle(kind)));
            },
            [this](int number, int count) {
                showProgress(printing::savingSheetMessage(number, count));
            });
        outcome->pages =
            printing::exportCoversToPdf(selection, pictures, paper, path, progress, trim, sheets);
        outcome->cuts = progress.cuts();
    };
    // Chosen covers without a picture are not in the file, and the message says which.
    const QString leftOut = printing::coversLeftOutText(m_selection & ~m_covers.filled());
    const int covers = cover::oneCoverAPageCount(m_selection & m_covers.filled(), sheets.copies);
    m_job.start(std::move(work), [this, outcome, path, leftOut, covers, sheets] {
        // Cancel has said so; the file was left as it was.
        if (closeIfAsked()) return;
        if (const std::optional<int> pages = outcome->pages) {
            printing::rememberPdfFolder(path);
            const auto counted = [](int n, const char* one, const char* many) {
                return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
            };
            // Packed, the pages are sheets of several covers.
            QString text =
                sheets.packs()
                    ? QStringLiteral("Saved %1 on %2 to %3.")
                          .arg(counted(covers, "cover", "covers"),
                               counted(*pages, "sheet", "sheets"), QDir::toNativeSeparators(path))
                    : QStringLiteral("Saved %1 to %2.")
                          .arg(counted(*pages, "cover", "covers"), QDir::toNativeSeparators(path));
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
    CoverPreview window(printing::previewSheets(m_selection, m_covers.records(), paperChoice(),
                                                printer, m_trim->options(), sheetChoices()),
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
