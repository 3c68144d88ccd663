#pragma once

#include "core/cover/PageContent.h"

#include <QFile>
#include <QString>

#include <memory>

namespace vexa::pdf {
class PdfPageWriter;
}

namespace vexa::pdf {

// Cover pages into one PDF file (see PdfPageWriter.h). The file is complete after finish().
class CoverPdf {
public:
    explicit CoverPdf(const QString& path);
    ~CoverPdf();
    CoverPdf(const CoverPdf&) = delete;
    CoverPdf& operator=(const CoverPdf&) = delete;

    // Writes a page. False when the file cannot be written (then no later page is either).
    bool addPage(const cover::PageContent& page);
    // Closes the file. False when it could not be written or holds no page.
    bool finish();

    int pageCount() const;

private:
    QFile m_file;
    std::unique_ptr<PdfPageWriter> m_writer;
    bool m_failed = false;
};

} // namespace vexa::pdf
