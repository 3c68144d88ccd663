#include "core/pdf/CoverPdf.h"

#include "core/pdf/PdfPageWriter.h"

namespace vexa::pdf {

CoverPdf::CoverPdf(const QString& path) : m_file(path) {}

CoverPdf::~CoverPdf() = default;

bool CoverPdf::addPage(const cover::PageContent& page) {
    if (m_failed) return false;
    if (!m_writer) {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_failed = true;
            return false;
        }
        m_writer = std::make_unique<PdfPageWriter>(m_file);
    }
    m_failed = !m_writer->addPage(page);
    return !m_failed;
}

bool CoverPdf::finish() {
    if (!m_writer) return false;
    const bool written = !m_failed && m_writer->finish() && m_file.flush();
    m_file.close();
    m_failed = true; // nothing more goes into a finished file
    return written;
}

int CoverPdf::pageCount() const {
    return m_writer ? m_writer->pageCount() : 0;
}

} // namespace vexa::pdf
