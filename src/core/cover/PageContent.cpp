#include "core/cover/PageContent.h"

namespace vexa::cover {

namespace {

// Quarter turns counter-clockwise.
int quarters(QuarterTurn turn) {
    switch (turn) {
    case QuarterTurn::CounterClockwise:
        return 1;
    case QuarterTurn::Half:
        return 2;
    case QuarterTurn::Clockwise:
        return 3;
    case QuarterTurn::None:
        break;
    }
    return 0;
}

} // namespace

QuarterTurn combinedTurn(QuarterTurn first, QuarterTurn second) {
    static constexpr QuarterTurn kByQuarters[] = {QuarterTurn::None, QuarterTurn::CounterClockwise,
                                                  QuarterTurn::Half, QuarterTurn::Clockwise};
    return kByQuarters[(quarters(first) + quarters(second)) % 4];
}

PageContent turnedPage(const PageContent& page, QuarterTurn turn) {
    const bool across = quarters(turn) % 2 == 1;
    PageContent paper(across ? page.size.transposed() : page.size);
    if (page.size.isEmpty()) return paper;
    // The page's points to the unit square, and that onto the paper as a turned picture.
    const QTransform toPaper =
        QTransform::fromScale(1.0 / page.size.width(), 1.0 / page.size.height()) *
        picturePlacement(QRectF(QPointF(0, 0), paper.size), turn);
    for (const PageItem& item : page.items) {
        if (const auto* picture = std::get_if<PagePicture>(&item))
            paper.addPicture(picture->image, toPaper.mapRect(picture->target),
                             combinedTurn(picture->turn, turn));
        else if (const auto* line = std::get_if<PageLine>(&item))
            paper.addLine(toPaper.map(line->line), line->width);
        else if (const auto* text = std::get_if<PageText>(&item))
            paper.items.emplace_back(PageText{toPaper.map(text->origin), text->size, text->text,
                                              combinedTurn(text->turn, turn)});
    }
    if (page.trimBox) paper.trimBox = toPaper.mapRect(*page.trimBox);
    if (page.bleedBox) paper.bleedBox = toPaper.mapRect(*page.bleedBox);
    return paper;
}

PageContent scaledAndMovedPage(const PageContent& page, const QTransform& transform) {
    PageContent result(page.size);
    result.items.reserve(page.items.size());
    for (const PageItem& item : page.items) {
        if (const auto* picture = std::get_if<PagePicture>(&item))
            result.addPicture(picture->image, transform.mapRect(picture->target), picture->turn);
        else if (const auto* line = std::get_if<PageLine>(&item))
            result.addLine(transform.map(line->line), line->width);
        else if (const auto* text = std::get_if<PageText>(&item))
            result.items.emplace_back(
                PageText{transform.map(text->origin), text->size, text->text, text->turn});
    }
    if (page.trimBox) result.trimBox = transform.mapRect(*page.trimBox);
    if (page.bleedBox) result.bleedBox = transform.mapRect(*page.bleedBox);
    return result;
}

QTransform picturePlacement(const QRectF& target, QuarterTurn turn) {
    // QTransform(m11, m12, m21, m22, dx, dy) maps (x, y) to (m11 x + m21 y + dx,
    // m12 x + m22 y + dy): the picture's top edge runs along (m11, m12), its left edge along
    // (m21, m22), from its top-left corner at (dx, dy).
    const double w = target.width(), h = target.height();
    switch (turn) {
    case QuarterTurn::CounterClockwise: // the top edge runs up the rectangle's left side
        return QTransform(0, -h, w, 0, target.left(), target.bottom());
    case QuarterTurn::Clockwise: // the top edge runs down the rectangle's right side
        return QTransform(0, h, -w, 0, target.right(), target.top());
    case QuarterTurn::Half:
        return QTransform(-w, 0, 0, -h, target.right(), target.bottom());
    case QuarterTurn::None:
        break;
    }
    return QTransform(w, 0, 0, h, target.left(), target.top());
}

QTransform shownPartPlacement(const QRectF& part, const QRectF& target, QuarterTurn turn) {
    // The part's corners to the unit square's, then the unit square onto the target.
    const QTransform partToSquare = QTransform::fromTranslate(-part.left(), -part.top()) *
                                    QTransform::fromScale(1.0 / part.width(), 1.0 / part.height());
    return partToSquare * picturePlacement(target, turn);
}

} // namespace vexa::cover
