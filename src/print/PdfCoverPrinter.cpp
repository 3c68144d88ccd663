#include "PdfCoverPrinter.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace vexa::print {

PdfCoverPrinter::PdfCoverPrinter(QString path) : m_path(std::move(path)) {}

PdfCoverPrinter::~PdfCoverPrinter() = default; // an unfinished file is removed, not kept

bool PdfCoverPrinter::drawPicture(const QImage& picture, double x, double y, double width,
                                  double height) {
    if (picture.isNull() || m_failed) return false;
    if (!m_pdf) {
        // Beside the target, so the final rename stays on one file system.
        m_file = std::make_unique<QTemporaryFile>(m_path + QStringLiteral(".XXXXXX"));
        if (!m_file->open()) {
            m_failed = true;
            return false;
        }
        m_pdf = std::make_unique<CoverPdf>(m_file->fileName());
    }
    const CoverPage page = layoutCoverPage(
        paperSize(), orientation(), QMarginsF(),
        QSizeF(twipsToDevice(width, kPointsPerInch), twipsToDevice(height, kPointsPerInch)),
        QPointF(twipsToDevice(x, kPointsPerInch), twipsToDevice(y, kPointsPerInch)));
    if (!m_pageOpen && !m_pdf->newPage(page.page)) return false;
    m_pageOpen = true;
    return m_pdf->drawCover(page.cover, picture);
}

DocumentResult PdfCoverPrinter::endDocument() {
    DocumentResult result;
    result.sent = m_pageOpen;
    m_pageOpen = false;
    return result;
}

bool PdfCoverPrinter::finish() {
    if (!m_pdf || !m_pdf->finish() || m_failed) return false;
    // A temporary file is private to its owner; the finished PDF is an ordinary file.
    m_file->setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                           QFile::ReadOther);
    if (!m_file->flush() || ::fsync(m_file->handle()) != 0) return false;
    if (std::rename(QFile::encodeName(m_file->fileName()).constData(),
                    QFile::encodeName(m_path).constData()) != 0)
        return false;
    m_file->setAutoRemove(false);
    return true;
}

} // namespace vexa::print
