#pragma once

#include "core/cover/SheetChoices.h"
#include "core/printing/PrintJob.h"

#include "core/base/Job.h"

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QWindow;

namespace vexa::cover {
class CoverSet;
}

namespace vexa::printing {
class CoverPrinter;
}

namespace vexa::print {

class SavePrompts;
class TrimChoices;

// "Print Covers": one toggle button per kind of cover showing its picture (greyed out without
// one), the selection kept in the settings file, the printer the covers go to, the paper,
// sheets and copies, and the Print button that prints the chosen covers of the cover set.
// Opened modally by the main window for each use. A print run and Save as PDF run as a job on
// a worker thread over a copy of the selection and the pictures' records, so the window keeps
// drawing and Cancel answers.
class PrintDialog : public QDialog {
    Q_OBJECT
public:
    // Prints on the system's default printer.
    explicit PrintDialog(const cover::CoverSet& covers, QWidget* parent = nullptr);
    PrintDialog(const cover::CoverSet& covers, std::unique_ptr<printing::CoverPrinter> printer,
                QWidget* parent = nullptr);
    ~PrintDialog() override;

    // Loads the flags from the settings file and shows them on the buttons.
    void readSelection();
    // Writes all eleven flags, in table order.
    void writeSelection();

    // The kinds toggled on.
    cover::CoverKinds selection() const { return m_selection; }
    // The paper chosen under the cover buttons.
    cover::PaperChoice paperChoice() const;
    // Sheets and Copies as chosen beside it.
    cover::SheetChoices sheetChoices() const;
    // Where "Save as PDF…" asks for the file and tells the outcome (message boxes by default).
    void setSavePrompts(std::unique_ptr<SavePrompts> prompts);
    // A print run or an export is going.
    bool isPrinting() const { return m_job.isRunning(); }
    // Stops a run or an export after the cover being sent and waits for it; what it would
    // still have said is not shown. For a program that is ending.
    void cancelAndWait() { m_job.cancelAndWait(); }

public slots:
    // Cancel, the window frame and Escape all end here. A run in progress stops after the
    // cover being sent, and the window closes once it has.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWindow();
    // A window this dialog opened (preview, file dialog, message box).
    bool isOwnWindow(const QWindow* window) const;
    // The tiles checked as the selection says.
    void showSelection();
    // The tile of the kind shows its picture, and is greyed out without one.
    void showPicture(cover::CoverKind kind);
    // Print and Save as PDF keep the paper, sheets and copies for the next time.
    void rememberChoices();
    void print();
    void saveAsPdf();
    void preview();
    void calibrate();
    void cancel();
    void setBusy(bool busy);
    // The cover a job has come to, on the status line.
    void showProgress(const QString& text);
    // At the end of a job: true when the window was asked to close meanwhile, and is closed.
    bool closeIfAsked();

    const cover::CoverSet& m_covers;
    std::unique_ptr<printing::CoverPrinter> m_printer;
    cover::CoverKinds m_selection;
    std::array<QPushButton*, cover::kCoverKindCount> m_buttons{}; // the tiles, checkable
    QLabel* m_printerLine = nullptr;
    QComboBox* m_paper = nullptr;
    QComboBox* m_sheets = nullptr;
    QSpinBox* m_copies = nullptr;
    TrimChoices* m_trim = nullptr; // cut marks, bleed, Calibrate Printer...
    QLabel* m_status = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;
    QPushButton* m_preview = nullptr;
    std::unique_ptr<SavePrompts> m_savePrompts;
    QPushButton* m_cancel = nullptr;
    // The focus went to one of the dialog's own windows: coming back is no new activation.
    bool m_awayInOwnWindow = false;
    // Closing was asked for while a job ran: the window closes when it has stopped.
    bool m_closeWhenStopped = false;
    // The window's one busy state. Last, so it is destroyed (cancelled and joined) before
    // the printer its work uses.
    base::Job m_job;
};

} // namespace vexa::print
