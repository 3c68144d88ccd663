#include "app/SlotFraming.h"

#include "core/cover/CoverSet.h"
#include "core/cover/PrintResolution.h"
#include "widgets/FitActions.h"
#include "widgets/PictureHolder.h"

#include <QLabel>
#include <QMenu>

namespace vexa::app {

SlotFraming::SlotFraming(widgets::PictureHolder& slot, QWidget& page, cover::CoverSet& covers,
                         cover::CoverKind kind, Choose choose)
    : QObject(&slot), m_slot(slot), m_covers(covers), m_kind(kind), m_choose(std::move(choose)),
      m_resolution(new QLabel(&page)), m_soft(new QLabel(&page)), m_menu(new QMenu(&slot)),
      m_fits(new widgets::FitActions(*m_menu)) {
    m_resolution->setObjectName(slot.objectName() + QStringLiteral("Resolution"));
    m_resolution->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_soft->setObjectName(slot.objectName() + QStringLiteral("Soft"));
    // Red as warnings are, and bold, so that it is not told by its colour alone.
    m_soft->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    m_menu->setObjectName(QStringLiteral("slotFitMenu"));

    // Focus for the arrow keys; a click still selects the cover as before.
    m_slot.setFocusPolicy(Qt::StrongFocus);
    m_slot.setCropMovable(true);
    m_slot.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_slot, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_fits->showFit(m_covers.framing(m_kind).fit);
        m_menu->popup(m_slot.mapToGlobal(at));
    });
    connect(m_fits, &widgets::FitActions::fitChosen, this, [this](cover::CoverFit fit) {
        cover::Framing framing = m_covers.framing(m_kind);
        framing.fit = fit;
        m_choose(m_kind, framing);
    });
    connect(&m_slot, &widgets::PictureHolder::cropMoved, this,
            [this](const cover::Framing& framing) { m_choose(m_kind, framing); });
    connect(&m_covers, &cover::CoverSet::pictureChanged, this, [this](cover::CoverKind kind) {
        if (kind == m_kind) showFraming(); // a new picture starts centred
    });
    connect(&m_covers, &cover::CoverSet::framingChanged, this, [this](cover::CoverKind kind) {
        if (kind == m_kind) showFraming();
    });
    showFraming();
}

void SlotFraming::showFraming() {
    const cover::Framing& framing = m_covers.framing(m_kind);
    m_slot.setFraming(framing);
    m_fits->showFit(framing.fit);
    showResolution();
}

void SlotFraming::showResolution() {
    const QSize pixels = m_covers.picture(m_kind).size();
    const cover::CoverFormat& format = cover::coverFormat(m_kind);
    const cover::CoverFit fit = m_covers.framing(m_kind).fit;
    const bool empty = m_covers.picture(m_kind).isNull();
    m_resolution->setText(empty ? QString() : cover::resolutionText(pixels, format, fit));
    const QString soft = empty ? QString() : cover::softPrintText(pixels, format, fit);
    m_soft->setText(soft);
    m_soft->setVisible(!soft.isEmpty());
}

} // namespace vexa::app
