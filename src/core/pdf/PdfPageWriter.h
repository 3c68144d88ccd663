#pragma once

#include "core/cover/PageContent.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

namespace vexa::pdf {

// Writes pages into a PDF file, one after the other, straight to a device: each picture once
// (a picture on several pages is stored once), an unchanged JPEG as its own data (DCTDecode),
// other pixels losslessly (see core/picture/FlateImage.h). The file is complete after finish().
class PdfPageWriter {
public:
    explicit PdfPageWriter(QIODevice& device);
    ~PdfPageWriter();
    PdfPageWriter(const PdfPageWriter&) = delete;
    PdfPageWriter& operator=(const PdfPageWriter&) = delete;

    // Writes one page. False when the device takes no more or a picture cannot be stored;
    // every later call fails then too.
    bool addPage(const cover::PageContent& page);
    // Writes the page tree and the cross-reference table. False when anything failed or no
    // page was written.
    bool finish();

    int pageCount() const { return int(m_pages.size()); }

private:
    struct StoredImage;

    int newObject();
    bool beginObject(int id);
    bool write(const QByteArray& bytes);
    bool write(const char* data, qint64 size);
    // The object that holds the picture, written now unless an earlier page stored it.
    int imageObject(const cover::PageImage& image);
    bool writeImage(int id, const cover::PageImage& image);

    QIODevice& m_device;
    qint64 m_position = 0;
    std::vector<qint64> m_offsets; // per object number; -1 until written
    std::vector<int> m_pages;      // page object numbers
    std::vector<StoredImage> m_images;
    int m_font = 0; // the words' font, written with the first page that has words
    bool m_failed = false;
    bool m_finished = false;
};

// The pages into a new file at `path` (replacing what is there). False when it could not be
// written.
bool writePdfFile(const QString& path, const std::vector<cover::PageContent>& pages);

} // namespace vexa::pdf
