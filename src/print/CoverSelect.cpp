#include "CoverSelect.h"

#include "CoverFaces.h"
#include "CoverPrinter.h"
#include "CupsCoverPrinter.h"
#include "PaperChoice.h"

#include <NumberText.h>
#include <PictureHolder.h>
#include <Settings.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa::print {

namespace {
constexpr int kButtonColumns = 4;
}

CoverSelect::CoverSelect(CoverHost& host, QWidget* parent)
    : CoverSelect(host, std::make_unique<CupsCoverPrinter>(), parent) {}

CoverSelect::CoverSelect(CoverHost& host, std::unique_ptr<CoverPrinter> printer, QWidget* parent)
    : QDialog(parent), m_host(host), m_printer(std::move(printer)) {
    buildWindow();
    // Load: nothing selected, then the selection of the last print run.
    m_status->clear();
    m_flags.fill(0);
    readini2();
}

CoverSelect::~CoverSelect() = default;

void CoverSelect::buildWindow() {
    setObjectName(QStringLiteral("CoverSelect"));
    setWindowTitle(QStringLiteral("Print Covers"));
    setModal(true);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);

    for (int i = 0; i < kCoverKindCount; ++i) {
        const CoverFormat& kind = kCoverFormats[static_cast<std::size_t>(i)];
        // Holders 2k-1 and 2k keep the unselected and selected face of button k.
        for (int selected = 0; selected < 2; ++selected) {
            auto* holder = new PictureHolder(this);
            holder->setObjectName(QStringLiteral("Picture%1").arg(2 * i + 1 + selected));
            holder->setPicture(coverFace(kind, selected == 1));
            holder->hide();
            m_faces[static_cast<std::size_t>(2 * i + selected)] = holder;
        }

        auto* button = new QPushButton(frame);
        button->setObjectName(QString::fromLatin1(kind.button));
        button->setToolTip(QString::fromLatin1(kind.toolTip));
        button->setIconSize(kCoverFaceSize);
        button->setFixedSize(kCoverFaceSize + QSize(10, 10));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { toggle(i); });
        grid->addWidget(button, i / kButtonColumns, i % kButtonColumns);
        m_buttons[static_cast<std::size_t>(i)] = button;
        showFace(i, false);
    }

    auto* paperLabel = new QLabel(QStringLiteral("Paper:"), this);
    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("cboPaper"));
    m_paper->addItem(QStringLiteral("Letter and Legal"),
                     QVariant::fromValue(static_cast<int>(PaperChoice::LetterLegal)));
    m_paper->addItem(QStringLiteral("A4"), QVariant::fromValue(static_cast<int>(PaperChoice::A4)));
    m_paper->setCurrentIndex(rememberedPaper() == PaperChoice::A4 ? 1 : 0);
    paperLabel->setBuddy(m_paper);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(paperLabel);
    paperRow->addWidget(m_paper);
    paperRow->addStretch(1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label1"));
    m_status->setMinimumWidth(300);
    // Long enough for a sentence per cover the printer cut or refused.
    m_status->setWordWrap(true);

    m_print = new QPushButton(QStringLiteral("Print"), this);
    m_print->setObjectName(QStringLiteral("cmdPrint"));
    m_print->setToolTip(QStringLiteral("Print selected covers."));
    connect(m_print, &QPushButton::clicked, this, &CoverSelect::print);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setToolTip(QStringLiteral("Cancel Printing."));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CoverSelect::cancel);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_print);
    bottom->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(paperRow);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CoverSelect::showFace(int index, bool selected) {
    const PictureHolder* holder = m_faces[static_cast<std::size_t>(2 * index + (selected ? 1 : 0))];
    m_buttons[static_cast<std::size_t>(index)]->setIcon(QPixmap::fromImage(holder->picture()));
}

void CoverSelect::toggle(int index) {
    auto& flag = m_flags[static_cast<std::size_t>(index)];
    const std::int32_t old = flag;
    flag = ~old;
    showFace(index, old != kSelected);
    // The button must not stay drawn as pressed.
    m_buttons[static_cast<std::size_t>(index)]->setDown(false);
}

void CoverSelect::readini2() {
    // Front decides whether the rest is read at all.
    const QString front = readSetting(QString::fromLatin1(kCoverFormats[0].key));
    const auto value = textToInt16(front);
    if (!value) {
        m_flags.fill(0);
        return;
    }
    m_flags[0] = *value;
    if (front == QLatin1String("0")) {
        showFace(0, false);
    } else if (front == QLatin1String("-1")) {
        showFace(0, true);
    } else {
        m_flags[0] = 0;
        showFace(0, false);
    }

    for (int i = 1; i < kCoverKindCount; ++i) {
        const CoverFormat& kind = kCoverFormats[static_cast<std::size_t>(i)];
        if (readSetting(QString::fromLatin1(kind.key)) == QLatin1String("-1")) toggle(i);
    }
}

void CoverSelect::writeini2() {
    // A file that cannot be written loses the selection silently, like every setting.
    for (std::size_t i = 0; i < kCoverFormats.size(); ++i)
        writeSetting(QString::fromLatin1(kCoverFormats[i].key), QString::number(m_flags[i]));
}

PaperChoice CoverSelect::paperChoice() const {
    return static_cast<PaperChoice>(m_paper->currentData().toInt());
}

void CoverSelect::print() {
    // Written first, so the selection survives a printer that fails.
    writeini2();
    rememberPaper(paperChoice());
    m_print->setEnabled(false);
    m_printing = true;
    m_stopRequested = false;
    m_refusals.clear();
    m_cuts.clear();

    RunEnd end = RunEnd::Finished;
    const bool havePrinter = m_printer->followDefault();
    if (havePrinter) end = printSelectedCovers(m_flags, m_host, *m_printer, *this, paperChoice());

    m_printing = false;
    m_print->setEnabled(true);
    if (end == RunEnd::Stopped) return; // a stopped run is not complete; Cancel has said so
    if (!havePrinter) {
        m_status->setText(QStringLiteral("No printer available."));
        return;
    }
    // A cover the printer did not take is said instead of "Printing Complete.".
    const QStringList lines =
        (m_refusals.isEmpty() ? QStringList(QStringLiteral("Printing Complete.")) : m_refusals) +
        m_cuts;
    m_status->setText(lines.join(QLatin1Char('\n')));
}

void CoverSelect::cancel() {
    m_status->setText(QStringLiteral("Printing Cancelled."));
    m_print->setEnabled(true);
    reject();
}

void CoverSelect::reject() {
    m_stopRequested = true;
    QDialog::reject();
}

void CoverSelect::changeEvent(QEvent* event) {
    // A late activation can reach a window that was already closed; only a shown window
    // becomes the active one.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        m_status->clear();
    QDialog::changeEvent(event);
}

void CoverSelect::coverStarted(const CoverFormat& kind) {
    m_status->setText(QString::fromLatin1(kind.message));
    m_status->repaint();
}

void CoverSelect::coverFinished(const CoverFormat& kind, const DocumentResult& result) {
    // An empty slot is passed over without a message; a refusal or a cut is told at the end.
    const QString notice = coverNotice(kind, result);
    if (notice.isEmpty()) return;
    (result.sent ? m_cuts : m_refusals) << notice;
}

bool CoverSelect::continueAfterCover() {
    QApplication::processEvents();
    return !m_stopRequested;
}

} // namespace vexa::print
