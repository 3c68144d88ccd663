#pragma once

#include "PrintJob.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QWindow;

namespace vexa {
class CoverHost;
class PictureHolder;
} // namespace vexa

namespace vexa::print {

class CoverPrinter;
class SavePrompts;

// "Print Covers": one toggle button per kind of cover, the selection kept in the settings
// file, and the Print button that prints the chosen covers. Opened modally by the main
// window for each use.
class PrintDialog : public QDialog, private PrintProgress {
    Q_OBJECT
public:
    // Prints on the system's default printer.
    explicit PrintDialog(CoverHost& host, QWidget* parent = nullptr);
    PrintDialog(CoverHost& host, std::unique_ptr<CoverPrinter> printer, QWidget* parent = nullptr);
    ~PrintDialog() override;

    // Loads the flags from the settings file and shows them on the buttons.
    void readSelection();
    // Writes all eleven flags, in table order.
    void writeSelection();

    const PrintFlags& flags() const { return m_flags; }
    // The paper chosen under the cover buttons.
    PaperChoice paperChoice() const;
    // Where "Save as PDF…" asks for the file and tells the outcome (message boxes by default).
    void setSavePrompts(std::unique_ptr<SavePrompts> prompts);
    bool isPrinting() const { return m_printing; }

public slots:
    // Cancel, the window frame and Escape all end here; a run in progress stops after the
    // cover being sent.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWindow();
    // A window this dialog opened (preview, file dialog, message box).
    bool isOwnWindow(const QWindow* window) const;
    void toggle(int index);
    void showFace(int index, bool selected);
    void print();
    void saveAsPdf();
    void preview();
    void cancel();
    void setBusy(bool busy);

    void coverStarted(const CoverFormat& kind) override;
    void coverFinished(const CoverFormat& kind, const DocumentResult& result) override;
    bool continueAfterCover() override;

    CoverHost& m_host;
    std::unique_ptr<CoverPrinter> m_printer;
    PrintFlags m_flags{};
    std::array<QPushButton*, kCoverKindCount> m_buttons{};
    std::array<PictureHolder*, 2 * kCoverKindCount> m_faces{};
    QComboBox* m_paper = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;
    QPushButton* m_preview = nullptr;
    std::unique_ptr<SavePrompts> m_savePrompts;
    QPushButton* m_cancel = nullptr;
    bool m_printing = false;
    bool m_stopRequested = false;
    std::atomic<bool> m_exportStop = false; // read by the export's worker thread
    QStringList m_refusals;                 // of the run in progress
    QStringList m_cuts;
    // The focus went to one of the dialog's own windows: coming back is no new activation.
    bool m_awayInOwnWindow = false;
};

} // namespace vexa::print
