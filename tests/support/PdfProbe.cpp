#include "support/PdfProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>

namespace vexa::test {

namespace {

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

template <typename Keep> QRect boxOf(const QImage& page, Keep keep) {
    const QImage image = page.convertToFormat(QImage::Format_RGB32);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!keep(line[x])) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

std::vector<QSizeF> pdfPageSizes(const QString& pdfFile) {
    const QString info =
        runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-l"), QStringLiteral("1000"), pdfFile});
    static const QRegularExpression line(
        QStringLiteral(R"(^Page\s+\d+\s+size:\s+([\d.]+)\s+x\s+([\d.]+)\s+pts)"),
        QRegularExpression::MultilineOption);
    std::vector<QSizeF> sizes;
    for (auto it = line.globalMatch(info); it.hasNext();) {
        const auto match = it.next();
        sizes.emplace_back(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return sizes;
}

std::vector<PdfImageEntry> pdfImageList(const QString& pdfFile) {
    // "page num type width height color comp bpc enc interp object ID ...", after two
    // heading lines.
    const QString list = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdfFile});
    std::vector<PdfImageEntry> entries;
    const QStringList lines = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].simplified().split(QLatin1Char(' '));
        if (fields.size() < 11) continue;
        entries.push_back(PdfImageEntry{fields[0].toInt(),
                                        QSize(fields[3].toInt(), fields[4].toInt()), fields[5],
                                        fields[8], fields[10].toInt(), fields[7].toInt()});
    }
    return entries;
}

std::vector<PdfLine> pdfPageLines(const QString& pdfFile) {
    // qpdf writes every stream uncompressed, so the operators can be read as text.
    QTemporaryDir folder;
    const std::vector<QSizeF> sizes = pdfPageSizes(pdfFile);
    if (!folder.isValid() || sizes.empty()) return {};
    const QString plain = folder.filePath(QStringLiteral("plain.pdf"));
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"),
               {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"),
                QStringLiteral("--pages"), pdfFile, QStringLiteral("1"), QStringLiteral("--"),
                pdfFile, plain});
    if (!qpdf.waitForFinished(60000)) return {};
    QFile file(plain);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromLatin1(file.readAll());
    static const QRegularExpression stroke(QStringLiteral(
        R"(([\d.]+)\s+w\s+([-\d.]+)\s+([-\d.]+)\s+m\s+([-\d.]+)\s+([-\d.]+)\s+l\s+S\b)"));
    const double height = sizes[0].height();
    std::vector<PdfLine> lines;
    for (auto it = stroke.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        lines.push_back({QLineF(m.captured(2).toDouble(), height - m.captured(3).toDouble(),
                                m.captured(4).toDouble(), height - m.captured(5).toDouble()),
                         m.captured(1).toDouble()});
    }
    return lines;
}

QString pdfText(const QString& pdfFile) {
    return runTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-raw"), pdfFile, QStringLiteral("-")});
}

std::vector<QSize> pdfImageSizes(const QString& pdfFile) {
    std::vector<QSize> sizes;
    for (const PdfImageEntry& entry : pdfImageList(pdfFile)) sizes.push_back(entry.size);
    return sizes;
}

QByteArray firstPdfJpeg(const QString& pdfFile) {
    QTemporaryDir folder;
    if (!folder.isValid()) return QByteArray();
    const QString prefix = folder.filePath(QStringLiteral("image"));
    runTool(QStringLiteral("pdfimages"),
            {QStringLiteral("-j"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
             QStringLiteral("1"), pdfFile, prefix});
    QFile file(prefix + QStringLiteral("-000.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<QByteArray> pdfJpegData(const QString& pdfFile) {
    QTemporaryDir folder;
    if (!folder.isValid()) return {};
    runTool(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdfFile, folder.filePath("i")});
    std::vector<QByteArray> data;
    for (const QString& name :
         QDir(folder.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly)) data.push_back(file.readAll());
    }
    return data;
}

QRectF pdfPageBox(const QString& pdfFile, const QString& name) {
    const QString info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdfFile});
    const QRegularExpression line(QStringLiteral(R"(^%1:\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+))")
                                      .arg(QRegularExpression::escape(name)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(info);
    if (!match.hasMatch()) return QRectF();
    return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                  QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
}

QString qpdfProblems(const QString& pdfFile) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdfFile});
    if (!process.waitForFinished(60000)) return QStringLiteral("qpdf did not finish");
    const QString output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return output;
    return QString();
}

QImage firstPdfImage(const QString& pdfFile) {
    QTemporaryDir folder;
    if (!folder.isValid()) return QImage();
    const QString prefix = folder.filePath(QStringLiteral("image"));
    runTool(QStringLiteral("pdfimages"),
            {QStringLiteral("-png"), QStringLiteral("-l"), QStringLiteral("1"), pdfFile, prefix});
    return QImage(prefix + QStringLiteral("-000.png"));
}

QImage renderPdfPage(const QString& pdfFile, int page, int dpi) {
    QTemporaryDir folder;
    if (!folder.isValid()) return QImage();
    const QString prefix = folder.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
             QStringLiteral("-l"), number, QStringLiteral("-png"), QStringLiteral("-singlefile"),
             pdfFile, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

QImage renderPdfArea(const QString& pdfFile, int page, int dpi, const QRect& area) {
    QTemporaryDir folder;
    if (!folder.isValid()) return QImage();
    const QString prefix = folder.filePath(QStringLiteral("area"));
    const QString number = QString::number(page);
    // PPM: large pictures are written and read far faster than PNG.
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), number,
             QStringLiteral("-l"), number, QStringLiteral("-x"), QString::number(area.x()),
             QStringLiteral("-y"), QString::number(area.y()), QStringLiteral("-W"),
             QString::number(area.width()), QStringLiteral("-H"), QString::number(area.height()),
             QStringLiteral("-singlefile"), pdfFile, prefix});
    return QImage(prefix + QStringLiteral(".ppm"));
}

QRect inkBox(const QImage& page) {
    return boxOf(page, [](QRgb p) { return qRed(p) < 200 || qGreen(p) < 200 || qBlue(p) < 200; });
}

QRect colourBox(const QImage& page, QRgb colour) {
    return boxOf(page, [colour](QRgb p) {
        return std::abs(qRed(p) - qRed(colour)) < 60 && std::abs(qGreen(p) - qGreen(colour)) < 60 &&
               std::abs(qBlue(p) - qBlue(colour)) < 60;
    });
}

} // namespace vexa::test
