#include "core/pdf/PdfPageWriter.h"

#include "core/pdf/PdfText.h"
#include "core/picture/FlateImage.h"
#include "core/picture/PictureOrientation.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace vexa::pdf {

namespace {

constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kInfo = 3;
constexpr int kFirstFreeObject = 4;
const QByteArray kStreamEnd = QByteArrayLiteral("\nendstream\nendobj\n");

// A number as PDF writes it: no exponent, at most four decimals (1/288000 in).
QByteArray number(double value) {
    if (!std::isfinite(value)) value = 0;
    QByteArray text = QByteArray::number(value, 'f', 4);
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    if (text == "-0") text = "0";
    return text;
}

QByteArray numbers(std::initializer_list<double> values) {
    QByteArray text;
    for (double value : values) {
        if (!text.isEmpty()) text += ' ';
        text += number(value);
    }
    return text;
}

QByteArray reference(int id) {
    return QByteArray::number(id) + " 0 R";
}

QByteArray imageName(int id) {
    return "/Im" + QByteArray::number(id);
}

// A rectangle of the page (top-left origin) as a PDF box (bottom-left origin).
QByteArray box(const QRectF& rect, double pageHeight) {
    return '[' +
           numbers(
               {rect.left(), pageHeight - rect.bottom(), rect.right(), pageHeight - rect.top()}) +
           ']';
}

// The operators that draw the page's items.
QByteArray contentStream(const cover::PageContent& page, const std::vector<int>& images) {
    // From top-left page coordinates to PDF's bottom-left ones.
    const QTransform toPdf(1, 0, 0, -1, 0, page.size.height());
    // A PDF image fills the unit square with its first row at the top (y = 1).
    const QTransform imageSquare(1, 0, 0, -1, 0, 1);
    QByteArray ops;
    std::size_t next = 0;
    for (const cover::PageItem& item : page.items) {
        if (const auto* picture = std::get_if<cover::PagePicture>(&item)) {
            const int id = images[next++];
            if (id == 0) continue;
            const cover::PageImage& image = picture->image;
            // JPEG data stored turned stands upright through its orientation's transform.
            const QTransform upright = picture::orientationTransform(image.jpegOrientation());
            if (!image.isCropped()) {
                const QTransform m = imageSquare * upright *
                                     picturePlacement(picture->target, picture->turn) * toPdf;
                ops += "q " + numbers({m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) +
                       " cm " + imageName(id) + " Do Q\n";
                continue;
            }
            // The whole picture goes in (a JPEG as its own data), clipped to its rectangle.
            const QRectF clip = toPdf.mapRect(picture->target);
            const QTransform m = imageSquare * upright *
                                 shownPartPlacement(image.part(), picture->target, picture->turn) *
                                 toPdf;
            ops += "q " + numbers({clip.left(), clip.top(), clip.width(), clip.height()}) +
                   " re W n " + numbers({m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) +
                   " cm " + imageName(id) + " Do Q\n";
        } else if (const auto* line = std::get_if<cover::PageLine>(&item)) {
            const QLineF l = toPdf.map(line->line);
            ops += "q 0 G 0 J " + number(line->width) + " w " + numbers({l.x1(), l.y1()}) + " m " +
                   numbers({l.x2(), l.y2()}) + " l S Q\n";
        } else if (const auto* text = std::get_if<cover::PageText>(&item)) {
            const QPointF at = toPdf.map(text->origin);
            ops += pdfTextOperators(*text, at.x(), at.y(), kPdfTextFont);
        }
    }
    return ops;
}

} // namespace

// A picture already in the file: the same pixels (by Qt's cache key, which no other picture
// ever gets) or the same JPEG data (kept, so that its address stays its own).
struct PdfPageWriter::StoredImage {
    qint64 pixelsKey = 0;
    QByteArray jpeg;
    int id = 0;
};

PdfPageWriter::PdfPageWriter(QIODevice& device) : m_device(device) {
    m_offsets.assign(kFirstFreeObject, -1);
    // The second line tells transfer programs that the file is binary.
    write(QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"));
    beginObject(kCatalog);
    write("<< /Type /Catalog /Pages " + reference(kPageTree) + " >>\nendobj\n");
    beginObject(kInfo);
    write(QByteArray("<< /Creator (VEXA) /Producer (VEXA) >>\nendobj\n"));
}

PdfPageWriter::~PdfPageWriter() = default;

int PdfPageWriter::newObject() {
    m_offsets.push_back(-1);
    return int(m_offsets.size()) - 1;
}

bool PdfPageWriter::beginObject(int id) {
    m_offsets[std::size_t(id)] = m_position;
    return write(QByteArray::number(id) + " 0 obj\n");
}

bool PdfPageWriter::write(const QByteArray& bytes) {
    return write(bytes.constData(), bytes.size());
}

bool PdfPageWriter::write(const char* data, qint64 size) {
    if (m_failed) return false;
    // Large blocks go to the device in pieces a device may take in one call.
    constexpr qint64 kPiece = qint64(1) << 26;
    for (qint64 done = 0; done < size;) {
        const qint64 written = m_device.write(data + done, std::min(kPiece, size - done));
        if (written <= 0) {
            m_failed = true;
            return false;
        }
        done += written;
    }
    m_position += size;
    return true;
}

bool PdfPageWriter::writeImage(int id, const cover::PageImage& image) {
    QByteArray head = "<< /Type /XObject /Subtype /Image";
    if (const std::optional<picture::JpegFrame>& frame = image.jpegFrame()) {
        const QByteArray& data = image.jpegData();
        const QByteArray device = frame->components == 1 ? "/DeviceGray" : "/DeviceRGB";
        // The file's profile goes with its data, so that the printing system and PDF readers
        // convert its colours; pixels VEXA writes are sRGB, as DeviceRGB is taken.
        const QByteArray& profile = image.jpegProfile();
        const int profileId = profile.isEmpty() ? 0 : newObject();
        head += " /Width " + QByteArray::number(frame->width) + " /Height " +
                QByteArray::number(frame->height) + " /ColorSpace " +
                (profileId ? "[/ICCBased " + reference(profileId) + ']' : device) +
                " /BitsPerComponent 8 /Filter /DCTDecode /Length " +
                QByteArray::number(data.size()) + " >>\nstream\n";
        if (!beginObject(id) || !write(head) || !write(data) || !write(kStreamEnd)) return false;
        if (profileId == 0) return true;
        return beginObject(profileId) &&
               write("<< /N " + QByteArray::number(frame->components) + " /Alternate " + device +
                     " /Length " + QByteArray::number(profile.size()) + " >>\nstream\n") &&
               write(profile) && write(kStreamEnd);
    }
    const std::optional<picture::FlateImage> flate = picture::flateImage(image.pixels());
    if (!flate) {
        m_failed = true;
        return false;
    }
    const QByteArray colours = QByteArray::number(flate->colours());
    head += " /Width " + QByteArray::number(flate->width) + " /Height " +
            QByteArray::number(flate->height) + " /ColorSpace " +
            (flate->grey ? "/DeviceGray" : "/DeviceRGB") +
            " /BitsPerComponent 8 /Filter /FlateDecode /DecodeParms << /Predictor 12 /Colors " +
            colours + " /BitsPerComponent 8 /Columns " + QByteArray::number(flate->width) +
            " >> /Length " + QByteArray::number(qint64(flate->size)) + " >>\nstream\n";
    return beginObject(id) && write(head) &&
           write(reinterpret_cast<const char*>(flate->data.get()), qint64(flate->size)) &&
           write(kStreamEnd);
}

int PdfPageWriter::imageObject(const cover::PageImage& image) {
    const bool jpeg = image.passesJpegThrough();
    for (const StoredImage& stored : m_images) {
        if (jpeg ? stored.jpeg.constData() == image.jpegData().constData() &&
                       stored.jpeg.size() == image.jpegData().size()
                 : stored.jpeg.isEmpty() && stored.pixelsKey == image.pixels().cacheKey())
            return stored.id;
    }
    const int id = newObject();
    if (!writeImage(id, image)) return 0;
    m_images.push_back(StoredImage{jpeg ? 0 : image.pixels().cacheKey(),
                                   jpeg ? image.jpegData() : QByteArray(), id});
    return id;
}

bool PdfPageWriter::addPage(const cover::PageContent& page) {
    if (m_failed || m_finished || page.size.isEmpty()) return false;
    std::vector<int> images;
    QByteArray resources;
    for (const cover::PageItem& item : page.items) {
        const auto* picture = std::get_if<cover::PagePicture>(&item);
        if (!picture) continue;
        if (picture->image.isNull()) {
            images.push_back(0);
            continue;
        }
        const int id = imageObject(picture->image);
        if (id == 0) return false;
        images.push_back(id);
        if (std::find(images.begin(), images.end() - 1, id) == images.end() - 1)
            resources += imageName(id) + ' ' + reference(id) + ' ';
    }

    const QByteArray ops = contentStream(page, images);
    const int contents = newObject();
    if (!beginObject(contents) || !write("<< /Length " + QByteArray::number(ops.size()) +
                                         " >>\nstream\n" + ops + "endstream\nendobj\n"))
        return false;

    const double height = page.size.height();
    QByteArray dict = "<< /Type /Page /Parent " + reference(kPageTree) + " /MediaBox " +
                      box(QRectF(QPointF(0, 0), page.size), height);
    if (page.bleedBox) dict += " /BleedBox " + box(*page.bleedBox, height);
    if (page.trimBox) dict += " /TrimBox " + box(*page.trimBox, height);
    dict += " /Resources << /XObject << " + resources + ">> ";
    if (std::any_of(page.items.begin(), page.items.end(), [](const cover::PageItem& item) {
            return std::holds_alternative<cover::PageText>(item);
        })) {
        if (m_font == 0) {
            m_font = newObject();
            if (!beginObject(m_font) || !write(pdfTextFontObject())) return false;
        }
        dict += QByteArray("/Font << ") + kPdfTextFont + ' ' + reference(m_font) + " >> ";
    }
    dict += ">> /Contents " + reference(contents) + " >>\nendobj\n";
    const int id = newObject();
    if (!beginObject(id) || !write(dict)) return false;
    m_pages.push_back(id);
    return true;
}

bool PdfPageWriter::finish() {
    if (m_finished) return !m_failed && !m_pages.empty();
    m_finished = true;
    if (m_failed || m_pages.empty()) return false;
    QByteArray kids;
    for (int page : m_pages) kids += reference(page) + ' ';
    beginObject(kPageTree);
    write("<< /Type /Pages /Kids [ " + kids + "] /Count " + QByteArray::number(pageCount()) +
          " >>\nendobj\n");

    const qint64 xref = m_position;
    QByteArray table =
        "xref\n0 " + QByteArray::number(qsizetype(m_offsets.size())) + "\n0000000000 65535 f \n";
    for (std::size_t id = 1; id < m_offsets.size(); ++id) {
        // Each entry is exactly 20 bytes.
        table += m_offsets[id] < 0
                     ? QByteArray("0000000000 65535 f \n")
                     : QByteArray::number(m_offsets[id]).rightJustified(10, '0') + " 00000 n \n";
    }
    table += "trailer\n<< /Size " + QByteArray::number(qsizetype(m_offsets.size())) + " /Root " +
             reference(kCatalog) + " /Info " + reference(kInfo) + " >>\nstartxref\n" +
             QByteArray::number(xref) + "\n%%EOF\n";
    return write(table);
}

bool writePdfFile(const QString& path, const std::vector<cover::PageContent>& pages) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    PdfPageWriter writer(file);
    for (const cover::PageContent& page : pages)
        if (!writer.addPage(page)) return false;
    return writer.finish() && file.flush();
}

} // namespace vexa::pdf
