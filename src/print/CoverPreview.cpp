#include "print/CoverPreview.h"

#include "core/cover/PaperChoice.h"
#include "core/cover/PrintResolution.h"
#include "core/printing/SheetRun.h"

#include "core/pdf/PagePainter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vexa::print {

namespace {
constexpr int kPageGap = 12; // grey around the page, in pixels

// What the page shows of the printer, in words.
QString printerLine(const printing::PreviewPage& page, const QString& printer) {
    if (printer.isEmpty())
        return QStringLiteral("No default printer: the page is shown without margins.");
    if (page.page.printable.isNull())
        return QStringLiteral("Printer %1 does not tell its margins for %2 paper: the page is "
                              "shown without them.")
            .arg(printer, cover::paperName(page.paper));
    return QStringLiteral("The dashed line is the printable area of printer %1.").arg(printer);
}

} // namespace

// Draws one page: white paper, the printable area outlined, the cover as it will print with
// its outline, and the part of it outside the printable area shaded.
class PreviewPageView : public QWidget {
public:
    explicit PreviewPageView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("previewPage"));
    }

    void setPage(const printing::PreviewPage* page, double scale) {
        m_page = page;
        m_scale = scale;
        const QSizeF size = page ? page->page.page * scale : QSizeF();
        setFixedSize(qCeil(size.width()) + 2 * kPageGap, qCeil(size.height()) + 2 * kPageGap);
        QWidget::update();
    }

    // Where the page lies in the widget, in pixels.
    QRectF paperRect() const {
        if (!m_page) return QRectF();
        return QRectF(QPointF(kPageGap, kPageGap), m_page->page.page * m_scale);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        if (!m_page) return;
        painter.fillRect(paperRect(), Qt::white);
        painter.translate(kPageGap, kPageGap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // The page as a PDF file holds it; a printer gets it turned onto its paper.
        pdf::paintPageContent(painter, m_page->content, m_scale);
        painter.scale(m_scale, m_scale);
        if (!m_page->page.printable.isNull()) {
            QPainterPath cover;
            for (const printing::PreviewCover& placed : m_page->covers) cover.addRect(placed.place);
            QPainterPath printable;
            printable.addRect(m_page->page.printable);
            const QPainterPath cut = cover.subtracted(printable);
            painter.fillPath(cut, QColor(220, 0, 0, 110));
            painter.fillPath(cut, QBrush(QColor(120, 0, 0), Qt::BDiagPattern));
        }
        painter.setPen(QPen(QColor(40, 40, 40), 0)); // cosmetic: one pixel at any zoom
        painter.setBrush(Qt::NoBrush);
        for (const printing::PreviewCover& placed : m_page->covers) painter.drawRect(placed.place);
        if (!m_page->page.printable.isNull()) {
            QPen pen(QColor(0, 120, 215), 0, Qt::DashLine); // cosmetic: one pixel at any zoom
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(m_page->page.printable);
        }
        painter.resetTransform();
        painter.translate(kPageGap, kPageGap);
        for (const printing::PreviewCover& placed : m_page->covers) drawName(painter, placed);
    }

    // The cover's name in its top-left corner, on a light patch so it reads over any picture.
    void drawName(QPainter& painter, const printing::PreviewCover& placed) const {
        const QRectF place(placed.place.topLeft() * m_scale, placed.place.size() * m_scale);
        QFont font = painter.font();
        font.setPixelSize(std::clamp(qRound(place.height() / 12), 9, 14));
        painter.setFont(font);
        const QString name = cover::coverName(*placed.kind);
        QRectF label = painter.boundingRect(place, Qt::AlignLeft | Qt::AlignTop, name);
        label.adjust(0, 0, 8, 4);
        if (label.width() > place.width() || label.height() > place.height()) return;
        painter.fillRect(label, QColor(255, 255, 255, 210));
        painter.setPen(QColor(20, 20, 20));
        painter.drawText(label.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, name);
    }

private:
    const printing::PreviewPage* m_page = nullptr;
    double m_scale = 1.0;
};

CoverPreview::CoverPreview(std::vector<printing::PreviewPage> pages, const QString& printer,
                           QWidget* parent)
    : CoverPreview(printing::PreviewSheets{std::move(pages), false, 0}, printer, parent) {}

CoverPreview::CoverPreview(printing::PreviewSheets sheets, const QString& printer, QWidget* parent)
    : QDialog(parent), m_pages(std::move(sheets.pages)), m_packed(sheets.packed),
      m_printer(printer) {
    setObjectName(QStringLiteral("printPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setModal(true);

    auto makeButton = [this](const QString& text, const char* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    m_previous = makeButton(QStringLiteral("< &Previous"), "previousButton");
    m_next = makeButton(QStringLiteral("&Next >"), "nextButton");
    m_fitButton = makeButton(QStringLiteral("&Fit"), "fitButton");
    m_actualButton = makeButton(QStringLiteral("&100 %"), "actualSizeButton");
    QPushButton* close = makeButton(QStringLiteral("&Close"), "closeButton");
    m_fitButton->setCheckable(true);
    m_actualButton->setCheckable(true);
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_current - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_current + 1); });
    connect(m_fitButton, &QPushButton::clicked, this, &CoverPreview::zoomToFit);
    connect(m_actualButton, &QPushButton::clicked, this, &CoverPreview::zoomToActualSize);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("pageNumber"));
    m_sheetCount = new QLabel(this);
    m_sheetCount->setObjectName(QStringLiteral("sheetCount"));
    m_sheetCount->setText(printing::sheetsSavedText(pageCount(), sheets.oneCoverAPage) +
                          QLatin1Char('.'));
    m_sheetCount->setVisible(m_packed && !m_pages.empty());
    m_printerLine = new QLabel(this);
    m_printerLine->setObjectName(QStringLiteral("printerName"));
    m_cutLine = new QLabel(this);
    m_cutLine->setObjectName(QStringLiteral("marginCuts"));
    m_cutLine->setWordWrap(true);
    QPalette warning = m_cutLine->palette();
    warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
    m_cutLine->setPalette(warning);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_previous);
    bar->addWidget(m_next);
    bar->addWidget(m_caption, 1);
    bar->addWidget(m_fitButton);
    bar->addWidget(m_actualButton);
    bar->addWidget(close);

    m_softLine = new QLabel(this);
    m_softLine->setObjectName(QStringLiteral("softCover"));
    m_softLine->setPalette(warning);
    m_softLine->hide();

    m_calibration = new QLabel(this);
    m_calibration->setObjectName(QStringLiteral("calibrationNote"));
    m_calibration->setWordWrap(true);
    m_calibration->hide();

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PreviewPageView(m_scroll);
    m_scroll->setWidget(m_view);
    // The viewport gets its size from the layout after the dialog's own resize, so "Fit"
    // follows the viewport itself; the first size arrives just before the window shows.
    m_scroll->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_sheetCount);
    layout->addWidget(m_printerLine);
    layout->addWidget(m_cutLine);
    layout->addWidget(m_softLine);
    layout->addWidget(m_calibration);
    layout->addWidget(m_scroll, 1);
    resize(760, 620);
    update();
}

CoverPreview::~CoverPreview() = default;

void CoverPreview::showPage(int index) {
    if (index < 0 || index >= pageCount()) return;
    m_current = index;
    update();
}

void CoverPreview::zoomToFit() {
    m_fit = true;
    update();
}

void CoverPreview::zoomToActualSize() {
    m_fit = false;
    update();
}

double CoverPreview::scale() const {
    const double actual = logicalDpiX() / base::kPointsPerInch;
    if (!m_fit || m_pages.empty()) return actual;
    const QSizeF page = m_pages[static_cast<std::size_t>(m_current)].page.page;
    // One pixel to spare: the page's size is rounded up, and a page one pixel too large
    // would bring in a scroll bar, shrink the viewport and fit again.
    const QSize room = m_scroll->viewport()->size() - QSize(2 * kPageGap + 1, 2 * kPageGap + 1);
    return std::max(0.05, std::min(room.width() / page.width(), room.height() / page.height()));
}

void CoverPreview::update() {
    const bool any = !m_pages.empty();
    m_previous->setEnabled(any && m_current > 0);
    m_next->setEnabled(any && m_current + 1 < pageCount());
    m_fitButton->setEnabled(any);
    m_actualButton->setEnabled(any);
    m_fitButton->setChecked(any && m_fit);
    m_actualButton->setChecked(any && !m_fit);
    if (!any) {
        m_caption->setText(QStringLiteral("No selected cover has a picture."));
        m_printerLine->clear();
        m_cutLine->clear();
        m_cutLine->hide();
        m_softLine->hide();
        m_calibration->hide();
        m_view->setPage(nullptr, 1.0);
        return;
    }
    const printing::PreviewPage& page = m_pages[static_cast<std::size_t>(m_current)];
    if (m_packed) {
        std::vector<const cover::CoverFormat*> kinds;
        for (const printing::PreviewCover& placed : page.covers) kinds.push_back(placed.kind);
        m_caption->setText(QStringLiteral("Sheet %1 of %2: %3 on %4")
                               .arg(m_current + 1)
                               .arg(pageCount())
                               .arg(printing::coversText(kinds), cover::paperName(page.paper)));
    } else {
        m_caption->setText(QStringLiteral("Page %1 of %2: %3 cover, %4 %5")
                               .arg(m_current + 1)
                               .arg(pageCount())
                               .arg(cover::coverName(*page.kind), cover::paperName(page.paper),
                                    page.kind->orientation == cover::Orientation::Landscape
                                        ? QStringLiteral("landscape")
                                        : QStringLiteral("portrait")));
    }
    m_printerLine->setText(printerLine(page, m_printer));
    // The same words the print run would say afterwards, said before anything is printed. Only
    // a cover on a page of its own can reach past the printable area.
    const QString cut =
        page.page.printable.isNull() || !page.kind ? QString() : cover::marginCut(page.page);
    m_cutLine->setText(page.kind ? printing::marginCutNotice(*page.kind, cut) : QString());
    m_cutLine->setVisible(!cut.isEmpty());
    // A packed sheet holds no one picture: the print window names its soft covers.
    const QString soft =
        page.kind ? cover::softCoverNotice(page.picture.size(), *page.kind, page.framing.fit)
                  : QString();
    m_softLine->setText(soft);
    m_softLine->setVisible(!soft.isEmpty());
    m_calibration->setText(page.calibration);
    m_calibration->setVisible(!page.calibration.isEmpty());
    m_view->setPage(&page, scale());
    // Each page and zoom starts at the paper's top-left corner, where the cover is.
    m_scroll->horizontalScrollBar()->setValue(0);
    m_scroll->verticalScrollBar()->setValue(0);
}

bool CoverPreview::eventFilter(QObject* watched, QEvent* event) {
    if (m_fit && watched == m_scroll->viewport() && event->type() == QEvent::Resize) update();
    return QDialog::eventFilter(watched, event);
}

void CoverPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        showPage(m_current + 1);
        return;
    case Qt::Key_PageUp:
        showPage(m_current - 1);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace vexa::print
