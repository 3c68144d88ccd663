#pragma once

#include "core/cover/PageImage.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>
#include <variant>
#include <vector>

namespace vexa::cover {

// How a picture is turned on its page before it is stretched into its rectangle.
enum class QuarterTurn {
    None,
    CounterClockwise, // the picture's top-left corner at the rectangle's bottom-left
    Clockwise,        // the picture's top-left corner at the rectangle's top-right
    Half,             // upside down: the top-left corner at the rectangle's bottom-right
};

// The two turns one after the other.
QuarterTurn combinedTurn(QuarterTurn first, QuarterTurn second);

// A whole picture, turned and stretched to fill `target`.
struct PagePicture {
    PageImage image;
    QRectF target;
    QuarterTurn turn = QuarterTurn::None;
};

// A straight black line, `width` points wide, ending flat at its two points.
struct PageLine {
    QLineF line;
    double width = 0.25;
};

// A line of black words in a plain sans-serif face (Helvetica in a PDF), `size` points high,
// its baseline starting at `origin` and running along the turned page's x axis: to the right
// unturned, upward when turned counter-clockwise. Latin-1 characters only; others show as "?".
struct PageText {
    QPointF origin;
    double size = 10.0;
    QString text;
    QuarterTurn turn = QuarterTurn::None;
};

using PageItem = std::variant<PagePicture, PageLine, PageText>;

// One page as the printer, a PDF file and the preview all get it. Everything is in points
// (1/72 in) with the origin at the page's top-left corner; items are drawn in order, later
// ones over earlier ones.
struct PageContent {
    PageContent() = default;
    explicit PageContent(const QSizeF& pageSize) : size(pageSize) {}

    QSizeF size;
    std::vector<PageItem> items;
    // Where the finished piece is cut, and how far printing may run past that; PDF page boxes.
    std::optional<QRectF> trimBox;
    std::optional<QRectF> bleedBox;

    void addPicture(PageImage image, const QRectF& target, QuarterTurn turn = QuarterTurn::None) {
        items.emplace_back(PagePicture{std::move(image), target, turn});
    }
    void addLine(const QLineF& line, double width) { items.emplace_back(PageLine{line, width}); }
    void addText(const QPointF& origin, double size, const QString& text) {
        items.emplace_back(PageText{origin, size, text, QuarterTurn::None});
    }
};

// The page drawn turned onto paper of its size turned: a landscape page onto portrait paper
// with QuarterTurn::CounterClockwise brings the page's top-left corner to the paper's
// bottom-left one. Every item and box goes along.
PageContent turnedPage(const PageContent& page, QuarterTurn turn);

// The page with every item and box mapped by `transform`, which scales and moves but does not
// turn; the page keeps its size.
PageContent scaledAndMovedPage(const PageContent& page, const QTransform& transform);

// Maps the unit square, (0, 0) the picture's top-left and (1, 1) its bottom-right corner, onto
// the picture's place on the page (top-left origin, the page's own units).
QTransform picturePlacement(const QRectF& target, QuarterTurn turn);

// The same for a picture of which only `part` (fractions of it, see PageImage::part) fills
// `target`: the whole picture's unit square mapped so that the part lands on the target. What
// falls outside the target is clipped away by whoever draws it.
QTransform shownPartPlacement(const QRectF& part, const QRectF& target, QuarterTurn turn);

} // namespace vexa::cover
