#include "core/printing/PdfCoverPrinter.h"

#include "core/base/SaveTarget.h"
#include "core/cover/PaperChoice.h"
#include "core/cover/TrimmedCoverPage.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa::printing {

namespace {

// What the process umask takes away from a new file. Read, not set: umask() can only be asked
// by changing it, which would race with files other threads create meanwhile.
mode_t currentUmask() {
    // Files under /proc report no size, so read to the end rather than asking atEnd().
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:")) continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok) return static_cast<mode_t>(mask & 0777);
        }
    }
    return 077; // unknown: keep the file to its owner
}

// The mode an ordinary save would leave: that of the file being replaced, or rw-rw-rw- less
// the umask for a new one. A temporary file is created private to its owner.
mode_t savedFileMode(const QString& path) {
    struct stat existing {};
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0) return existing.st_mode & 0777;
    return 0666 & ~currentUmask();
}

} // namespace

PdfCoverPrinter::PdfCoverPrinter(QString path) : m_path(std::move(path)) {}

PdfCoverPrinter::~PdfCoverPrinter() = default; // an unfinished file is removed, not kept

bool PdfCoverPrinter::openFile() {
    if (m_failed) return false;
    if (m_pdf) return true;
    // Only a regular file (through its links) or a new name is replaced, never a FIFO or a
    // device.
    const base::SaveTarget target = base::saveTarget(base::FilePath::fromText(m_path));
    if (target.refusal != base::SaveRefusal::None) {
        m_failed = true;
        return false;
    }
    m_finalPath = target.file.text();
    // Beside the target, so the final rename stays on one file system; a short name of its
    // own, so that every name fits.
    m_file = std::make_unique<QTemporaryFile>(QFileInfo(m_finalPath).path() +
                                              QStringLiteral("/.vexa-XXXXXX"));
    if (!m_file->open()) {
        m_failed = true;
        return false;
    }
    m_pdf = std::make_unique<pdf::CoverPdf>(m_file->fileName());
    return true;
}

bool PdfCoverPrinter::drawPicture(const picture::LoadedPicture& picture, base::Twips x,
                                  base::Twips y, base::Twips width, base::Twips height) {
    if (picture.isNull() || !openFile()) return false;
    const cover::CoverPage page = cover::layoutCoverPage(
        paperSize(), orientation(), QMarginsF(), QSizeF(width.toPoints(), height.toPoints()),
        QPointF(x.toPoints(), y.toPoints()));
    if (!m_page) m_page.emplace(page.page);
    const cover::TrimmedCover placed =
        cover::addTrimmedCover(*m_page, page, coverKind(), cover::PageImage::fromPicture(picture),
                               trimOptions(), framing());
    if (m_shortfall.isEmpty()) m_shortfall = placed.shortfall;
    return true;
}

cover::SheetArea PdfCoverPrinter::sheetArea(cover::Paper paper) {
    return {QRectF(QPointF(0, 0), cover::pageSizeForPaper(paper).size(QPageSize::Point))};
}

bool PdfCoverPrinter::drawSheet(const cover::PageContent& sheet) {
    if (!openFile()) return false;
    if (!m_page) {
        m_page = sheet;
        return true;
    }
    std::copy(sheet.items.begin(), sheet.items.end(), std::back_inserter(m_page->items));
    return true;
}

DocumentResult PdfCoverPrinter::endDocument() {
    DocumentResult result;
    result.shortfall = std::exchange(m_shortfall, QString());
    if (!m_page) return result;
    result.sent = m_pdf->addPage(*m_page);
    if (!result.sent) m_failed = true;
    m_page.reset();
    return result;
}

bool PdfCoverPrinter::finish() {
    if (m_page) endDocument(); // a document left open is kept rather than lost
    if (!m_pdf || m_failed || !m_pdf->finish()) return false;
    if (!m_file->flush() || ::fchmod(m_file->handle(), savedFileMode(m_finalPath)) != 0 ||
        ::fsync(m_file->handle()) != 0)
        return false;
    if (std::rename(QFile::encodeName(m_file->fileName()).constData(),
                    QFile::encodeName(m_finalPath).constData()) != 0)
        return false;
    m_file->setAutoRemove(false);
    return true;
}

} // namespace vexa::printing
