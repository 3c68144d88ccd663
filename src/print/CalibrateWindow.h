#pragma once

#include "core/cover/CalibrationStore.h"
#include "core/cover/CoverFormats.h"
#include "core/printing/CalibrationJob.h"

#include "core/base/Job.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vexa::print {

// "Calibrate Printer": prints the calibration page on a printer and paper, then takes the four
// figures measured on it and stores the printer's calibration for that paper; "Reset"
// removes it. Figures that cannot be right are refused with a sentence, and what was stored
// stays.
class CalibrateWindow : public QDialog {
    Q_OBJECT
public:
    // Prints the page (see printCalibrationPage); `keepGoing` turns false when the window
    // closes meanwhile.
    using PagePrinter = std::function<printing::CalibrationPageResult(
        const QString& printer, cover::Paper paper, const std::function<bool()>& keepGoing)>;

    CalibrateWindow(QString printer, cover::Paper paperCode, cover::CalibrationStore store,
                    PagePrinter printPage, QWidget* parent = nullptr);
    ~CalibrateWindow() override;

    cover::Paper paper() const;
    QString statusText() const;
    bool isPrinting() const { return m_job.isRunning(); }

private:
    void buildWindow(cover::Paper paperCode);
    void printPage();
    void save();
    void reset();
    void showStored();

    QString m_printer;
    cover::CalibrationStore m_store;
    PagePrinter m_printPage;
    QComboBox* m_paper = nullptr;
    std::array<QLineEdit*, 4> m_figures{};
    QLabel* m_stored = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_reset = nullptr;
    // Last: cancelled and joined before anything its work reads.
    base::Job m_job;
};

} // namespace vexa::print
