#pragma once

#include "core/printing/PreviewPages.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

namespace vexa::print {

class PreviewPageView;

// "Print Preview": the covers as they will print, a page at a time, each page on its own
// paper with the printer's printable area outlined, each cover outlined and named and the part
// of it the margins cut off shaded and told in words, the printer named. Packed, each page is
// a sheet, and a line says how many sheets that takes instead of one cover a page. Page
// through, zoom to fit or to 100 %, close. It prints nothing and sets nothing up.
class CoverPreview : public QDialog {
    Q_OBJECT
public:
    // `printer` is the one whose margins the pages show; empty when there is none.
    CoverPreview(printing::PreviewSheets sheets, const QString& printer, QWidget* parent = nullptr);
    CoverPreview(std::vector<printing::PreviewPage> pages, const QString& printer,
                 QWidget* parent = nullptr);
    ~CoverPreview() override;

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_current; } // 0-based
    void showPage(int index);
    // Screen pixels per point: the page fitted into the window, or at its real size.
    void zoomToFit();
    void zoomToActualSize();
    double scale() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void update();

    std::vector<printing::PreviewPage> m_pages;
    bool m_packed = false;
    QString m_printer;
    int m_current = 0;
    bool m_fit = true;
    QScrollArea* m_scroll = nullptr;
    PreviewPageView* m_view = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_sheetCount = nullptr; // "3 sheets instead of 5", packed only
    QLabel* m_printerLine = nullptr;
    QLabel* m_cutLine = nullptr;
    QLabel* m_softLine = nullptr;    // "The DVD cover will print soft: 96 dpi."
    QLabel* m_calibration = nullptr; // the calibration the page is corrected by
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_fitButton = nullptr;
    QPushButton* m_actualButton = nullptr;
};

} // namespace vexa::print
