// Damaged files of every format, made here from valid files of second programs (cjpeg,
// ImageMagick's convert, tiffcp, cwebp): a byte flipped, a header field edited, the file cut.
// The visible-damage check decides what must be refused: a mutation that Qt's readers,
// without VEXA's checks, show with more than 5 % of the pixels far from the undamaged picture
// or at another size. And whatever VEXA does read of a mutation must not be visibly damaged.
// One table per format; flips are swept over the parts of a file where the format lets damage
// be found (see each table).

#include "core/picture/PictureFile.h"
#include "core/picture/PictureOnWhite.h"
#include "support/SecondProgram.h"
#include "support/TestSupport.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using vexa::test::madeBy;
using vexa::test::visiblyDamaged;

struct Mutation {
    std::string name;
    QByteArray bytes;
    // Whether the damage must be refused once it shows; most damage must, some only where a
    // second program says it is found (see the JPEG table).
    std::function<bool(const QByteArray&)> findable = [](const QByteArray&) { return true; };
};

QByteArray flipped(QByteArray bytes, qsizetype at) {
    bytes[at] = char(~bytes[at]);
    return bytes;
}

template <typename T> QByteArray withBig(QByteArray bytes, qsizetype at, T value) {
    qToBigEndian(value, bytes.data() + at);
    return bytes;
}

template <typename T> QByteArray withLittle(QByteArray bytes, qsizetype at, T value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// Checks a table: every mutation shown visibly damaged, by Qt's readers without VEXA's checks or
// by VEXA itself, is refused (where its damage is findable), and the table damages at least
// `least` times (a table that stopped damaging proves nothing).
void expectDamageRefused(const char* format, const QByteArray& original,
                         const std::vector<Mutation>& mutations, int least) {
    const QImage undamaged = vexa::picture::loadPictureData(original);
    ASSERT_FALSE(undamaged.isNull()) << format << ": the valid file does not load";
    int damaging = 0;
    for (const Mutation& m : mutations) {
        const QImage loaded = vexa::picture::loadPictureData(m.bytes);
        // (Put over white as VEXA shows pictures, so that transparency is no damage.)
        const QImage shown = vexa::picture::onWhite(vexa::test::shownWithoutChecks(m.bytes));
        const bool damaged = (!shown.isNull() && visiblyDamaged(shown, undamaged)) ||
                             (!loaded.isNull() && visiblyDamaged(loaded, undamaged));
        if (!damaged || !m.findable(m.bytes)) continue;
        ++damaging;
        EXPECT_TRUE(loaded.isNull()) << format << ", " << m.name << ": damage not refused";
    }
    EXPECT_GE(damaging, least) << format;
}

// Cuts at several places, also just before the end.
void addCuts(std::vector<Mutation>& table, const QByteArray& file, const QByteArray& tail = {}) {
    for (const int percent : {30, 60, 90})
        table.push_back({"cut at " + std::to_string(percent) + " %",
                         file.left(file.size() * percent / 100) + tail});
}

// Flips every `step`-th byte in [from, to).
void addFlips(std::vector<Mutation>& table, const QByteArray& file, qsizetype from, qsizetype to,
              qsizetype step) {
    for (qsizetype at = from; at < to; at += step)
        table.push_back({"byte " + std::to_string(at) + " flipped", flipped(file, at)});
}

const QImage& picture() {
    static const QImage photo = vexa::test::photoLike(120, 80);
    return photo;
}

QByteArray cjpeg(const QStringList& options) {
    return madeBy(picture(), "cjpeg", options + QStringList{"-outfile", "{out}", "{in}"}, ".jpg");
}

// The scan data of a JPEG: from after its first start-of-scan segment to its end marker.
std::pair<qsizetype, qsizetype> scanData(const QByteArray& jpeg) {
    const qsizetype scan = jpeg.indexOf(QByteArrayView("\xFF\xDA", 2));
    EXPECT_GT(scan, 0);
    return {scan + 2 + qFromBigEndian<quint16>(jpeg.constData() + scan + 2), jpeg.size() - 2};
}

// The first frame header (baseline, progressive, arithmetic or arithmetic progressive).
qsizetype frameAt(const QByteArray& jpeg) {
    for (const char* marker : {"\xFF\xC0", "\xFF\xC2", "\xFF\xC9", "\xFF\xCA"})
        if (const qsizetype at = jpeg.indexOf(QByteArrayView(marker, 2)); at > 0) return at;
    return -1;
}

// Where libjpeg, reading a Huffman-coded file, finishes its blocks before the data ends (it
// warns of "extraneous bytes"), the bytes it skipped are found; a flipped bit that keeps the
// codes in step (the DC difference of a block, a quantisation step) shows in every decoder
// and no check can tell it from a picture.
bool djpegSkipsData(const QByteArray& jpeg) {
    return vexa::test::runProgram("djpeg", {"-outfile", "{out}", "{in}"}, jpeg, ".jpg", ".ppm")
        .errors.contains("extraneous bytes");
}

// Frame edits, cuts and flips of a file cjpeg wrote with `options`.
std::vector<Mutation> jpegMutations(const QByteArray& file, const QStringList& options) {
    const QByteArray eoi("\xFF\xD9", 2);
    const bool arithmetic = options.contains("-arithmetic");
    std::vector<Mutation> table;
    // The frame one row or column of 16 x 16 blocks (4:2:0) smaller: data is left over.
    const qsizetype frame = frameAt(file);
    EXPECT_GT(frame, 0);
    if (frame <= 0) return table;
    table.push_back({"height 16 smaller", withBig<quint16>(file, frame + 5, 64)});
    table.push_back({"width 16 smaller", withBig<quint16>(file, frame + 7, 104)});
    addCuts(table, file);
    addCuts(table, file, eoi);
    const auto [from, to] = scanData(file);
    if (!arithmetic) {
        const std::size_t first = table.size();
        addFlips(table, file, from, to, 5);
        for (std::size_t i = first; i < table.size(); ++i) table[i].findable = djpegSkipsData;
    } else if (!options.contains("-progressive")) {
        // Arithmetic-coded data: a flip sends the decoder astray to the end of the scan,
        // and it ends its blocks before the data does or reads on past the zeros it may
        // read after it (the zero bytes an encoder leaves out). Near the end of a scan it
        // can end among those zeros and go unseen: the last quarter is left out here, and
        // the short scans of a progressive file are not swept.
        addFlips(table, file, from, from + (to - from) * 3 / 4, 3);
    }
    return table;
}

TEST(PictureDamageTables, Jpeg) {
    for (const auto& [name, options] : std::vector<std::pair<const char*, QStringList>>{
             {"baseline", {}},
             {"progressive", {"-progressive"}},
             {"restart markers", {"-restart", "1"}},
             {"arithmetic", {"-arithmetic"}},
             {"arithmetic progressive", {"-arithmetic", "-progressive"}}}) {
        SCOPED_TRACE(name);
        const QByteArray file = cjpeg(options);
        expectDamageRefused(name, file, jpegMutations(file, options), 4);
    }
}

// A JPEG that goes into a page as its own data is only checked when a print job asks for no
// pixels; every mutation is refused exactly when the decoding reader refuses it.
TEST(PictureDamageTables, JpegCheckedWithoutDecodingIsRefusedAsWhenDecoded) {
    using vexa::picture::Decoding;
    using vexa::picture::readPictureData;
    for (const auto& [name, options] :
         std::vector<std::pair<const char*, QStringList>>{{"baseline", {}},
                                                          {"progressive", {"-progressive"}},
                                                          {"restart markers", {"-restart", "1"}}}) {
        SCOPED_TRACE(name);
        const QByteArray file = cjpeg(options);
        const vexa::picture::LoadedPicture checked =
            readPictureData(file, nullptr, Decoding::NotForPassThrough);
        ASSERT_FALSE(checked.isNull());
        EXPECT_FALSE(checked.isDecoded());
        EXPECT_EQ(checked.size(), picture().size());
        EXPECT_EQ(checked.bytes, file);
        int refused = 0;
        for (const Mutation& m : jpegMutations(file, options)) {
            const bool refusedChecked =
                readPictureData(m.bytes, nullptr, Decoding::NotForPassThrough).isNull();
            EXPECT_EQ(refusedChecked, readPictureData(m.bytes).isNull()) << m.name;
            refused += refusedChecked ? 1 : 0;
        }
        EXPECT_GE(refused, 8);
    }
    // Data no PDF reader takes as it is (arithmetic coding) is decoded.
    EXPECT_TRUE(
        readPictureData(cjpeg({"-arithmetic"}), nullptr, Decoding::NotForPassThrough).isDecoded());
}

// The file with the CRC of its chunk at `chunk` computed again, as an editor would leave it.
QByteArray withPngCrc(QByteArray png, qsizetype chunk) {
    const auto length = qsizetype(qFromBigEndian<quint32>(png.constData() + chunk));
    qToBigEndian(vexa::test::pngCrc(png.mid(chunk + 4, 4 + length)),
                 png.data() + chunk + 8 + length);
    return png;
}

// PNG: every chunk carries a CRC, so a flip anywhere is found; header edits come with their
// CRC made right, as an editor leaves them.
TEST(PictureDamageTables, Png) {
    for (const auto& [name, options] : std::vector<std::pair<const char*, QStringList>>{
             {"RGB", {"{in}", "png24:{out}"}},
             {"RGBA",
              {"{in}", "-alpha", "set", "-channel", "A", "-fx", "0.3+i/w/2", "+channel",
               "png32:{out}"}},
             {"palette", {"{in}", "-colors", "64", "png8:{out}"}},
             {"grey", {"{in}", "-colorspace", "Gray", "png:{out}"}},
             {"16 bits", {"{in}", "-depth", "16", "png48:{out}"}},
             {"interlaced", {"{in}", "-interlace", "PNG", "png24:{out}"}}}) {
        SCOPED_TRACE(name);
        const QByteArray file = madeBy(picture(), "convert", options, ".png");
        std::vector<Mutation> table;
        const qsizetype header = 8; // IHDR: width at 16, height at 20, colour type at 25
        for (const quint32 height : {1u, 40u, 79u})
            table.push_back({"height " + std::to_string(height),
                             withPngCrc(withBig<quint32>(file, 20, height), header)});
        table.push_back({"width 119", withPngCrc(withBig<quint32>(file, 16, 119), header)});
        if (file[25] == 3) {
            QByteArray grey = file;
            grey[25] = 0;
            table.push_back({"palette made grey", withPngCrc(grey, header)});
        }
        addCuts(table, file);
        addFlips(table, file, 8, file.size(), 11);
        expectDamageRefused(name, file, table, 2);
    }
}

// Where the first image descriptor of a GIF starts.
qsizetype gifFrameAt(const QByteArray& gif) {
    qsizetype pos = 13 + ((gif[10] & 0x80) ? 3 * (2 << (gif[10] & 7)) : 0);
    while (pos < gif.size() && gif[pos] == 0x21) {
        pos += 2;
        while (pos < gif.size() && gif[pos] != 0) pos += quint8(gif[pos]) + 1;
        ++pos;
    }
    return pos < gif.size() && gif[pos] == 0x2C ? pos : -1;
}

// Whether ImageMagick calls a picture corrupt: a GIF whose codes stand for more or fewer pixels
// than its frame, or hold one no table has. A flip that keeps the count (a colour index for
// another, in a string later strings copy) shows in every reader and no check can tell it.
bool imageMagickFindsDamage(const QByteArray& file) {
    const vexa::test::ProgramRun run =
        vexa::test::runProgram("convert", {"{in}", "null:"}, file, ".gif", ".txt");
    return run.status != 0 || run.errors.contains("corrupt");
}

// GIF: the LZW data is decoded to its pixel count, so a flip in it is found where it changes
// how many pixels the codes stand for or makes a code no table holds.
TEST(PictureDamageTables, Gif) {
    for (const auto& [name, options] : std::vector<std::pair<const char*, QStringList>>{
             {"plain", {"{in}", "-colors", "200", "gif:{out}"}},
             {"interlaced", {"{in}", "-colors", "200", "-interlace", "GIF", "gif:{out}"}},
             {"4 colours", {"{in}", "-colors", "4", "gif:{out}"}}}) {
        SCOPED_TRACE(name);
        const QByteArray file = madeBy(picture(), "convert", options, ".gif");
        const qsizetype frame = gifFrameAt(file);
        ASSERT_GT(frame, 0);
        const qsizetype codeSize =
            frame + 10 + ((file[frame + 9] & 0x80) ? 3 * (2 << (file[frame + 9] & 7)) : 0);
        std::vector<Mutation> table;
        for (const quint8 size : {0, 1, 11, 12}) {
            QByteArray edited = file;
            edited[codeSize] = char(size);
            table.push_back({"code size " + std::to_string(size), edited});
        }
        for (const quint16 width : {0, 30000, 65535})
            table.push_back({"frame width " + std::to_string(width),
                             withLittle<quint16>(file, frame + 5, width)});
        for (const quint16 height : {0, 40, 30000})
            table.push_back({"frame height " + std::to_string(height),
                             withLittle<quint16>(file, frame + 7, height)});
        addCuts(table, file);
        const std::size_t first = table.size();
        addFlips(table, file, codeSize + 2, file.size() - 2, 9);
        for (std::size_t i = first; i < table.size(); ++i)
            table[i].findable = imageMagickFindsDamage;
        expectDamageRefused(name, file, table, 8);
    }
}

// BMP: every header field against the file's structure and the format's rules; run-length
// data against the picture's rows.
TEST(PictureDamageTables, Bmp) {
    const auto bmp = [](const QStringList& options) {
        return madeBy(picture(), "convert", QStringList{"{in}"} + options, ".bmp");
    };
    const QByteArray rgb = bmp({"bmp3:{out}"});
    const QByteArray masks = bmp({"-define", "bmp:subtype=RGB565", "bmp:{out}"});
    // ImageMagick's 16-bit BMP3 declares bit fields without masks (the very damage checked
    // below; Qt shows it black): with BI_RGB it is the plain 5-5-5 file.
    const QByteArray plain16 =
        withLittle<quint32>(bmp({"-define", "bmp:subtype=RGB555", "bmp3:{out}"}), 30, 0);
    const QByteArray four =
        bmp({"-colors", "16", "-type", "Palette", "-compress", "None", "bmp3:{out}"});
    const QByteArray eight =
        bmp({"-colors", "200", "-type", "Palette", "-compress", "None", "bmp3:{out}"});
    const QByteArray rle =
        bmp({"-colors", "200", "-type", "Palette", "-compress", "RLE", "bmp3:{out}"});
    ASSERT_EQ(qFromLittleEndian<quint32>(rle.constData() + 30), 1u); // RLE8
    ASSERT_EQ(qFromLittleEndian<quint16>(plain16.constData() + 28), 16u);
    const auto table = [](const QByteArray& file, std::vector<Mutation> edits) {
        addCuts(edits, file);
        return edits;
    };
    const quint32 red = qFromLittleEndian<quint32>(masks.constData() + 54);
    expectDamageRefused(
        "24 bits", rgb,
        table(rgb,
              {
                  {"pixels at 0", withLittle<quint32>(rgb, 10, 0)},
                  {"pixels at 14", withLittle<quint32>(rgb, 10, 14)},
                  {"header size 1000", withLittle<quint32>(rgb, 14, 1000)},
                  {"header size 0xFFFFFFFF", withLittle<quint32>(rgb, 14, 0xFFFFFFFF)},
                  {"height 40", withLittle<qint32>(rgb, 22, 40)},
                  {"width 60", withLittle<qint32>(rgb, 18, 60)},
                  {"16 bits", withLittle<quint16>(rgb, 28, 16)},
              }),
        3);
    expectDamageRefused("bit fields", masks,
                        table(masks,
                              {
                                  {"pixels at 14", withLittle<quint32>(masks, 10, 14)},
                                  {"green over red", withLittle<quint32>(masks, 58, red)},
                                  {"no blue", withLittle<quint32>(masks, 62, 0)},
                                  {"red in two runs", withLittle<quint32>(masks, 54, red ^ 0x1000)},
                              }),
                        2);
    expectDamageRefused("bit fields without masks", plain16,
                        table(plain16, {{"BI_BITFIELDS", withLittle<quint32>(plain16, 30, 3)}}), 1);
    expectDamageRefused("4 bits", four,
                        table(four, {{"clrUsed 1", withLittle<quint32>(four, 46, 1)}}), 1);
    expectDamageRefused("8 bits", eight,
                        table(eight, {{"clrUsed 1", withLittle<quint32>(eight, 46, 1)}}), 1);
    std::vector<Mutation> runs;
    const auto offset = qsizetype(qFromLittleEndian<quint32>(rle.constData() + 10));
    addFlips(runs, rle, offset, rle.size() - 2, 2);
    // Cut where an end-of-bitmap escape is put: the file is shorter than its header says.
    const QByteArray end("\x00\x01", 2);
    for (const int percent : {40, 70})
        runs.push_back({"cut at " + std::to_string(percent) + " % with its end put back",
                        rle.left(offset + (rle.size() - offset) * percent / 100 / 2 * 2) + end});
    expectDamageRefused("run-length", rle, table(rle, runs), 10);
}

// A field of the first directory of a little-endian TIFF: where its value (or the offset of its
// values) lies, its type and count.
struct TiffField {
    qsizetype value = -1;
    quint16 type = 0;
    quint32 count = 0;
};

TiffField tiffField(const QByteArray& tiff, quint16 tag) {
    const auto directory = qsizetype(qFromLittleEndian<quint32>(tiff.constData() + 4));
    const quint16 entries = qFromLittleEndian<quint16>(tiff.constData() + directory);
    for (quint16 i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        if (qFromLittleEndian<quint16>(tiff.constData() + entry) != tag) continue;
        return {entry + 8, qFromLittleEndian<quint16>(tiff.constData() + entry + 2),
                qFromLittleEndian<quint32>(tiff.constData() + entry + 4)};
    }
    return {};
}

// The `i`-th number of a field (SHORT or LONG), in the entry or where it points.
quint32 tiffNumber(const QByteArray& tiff, const TiffField& field, quint32 i) {
    const int size = field.type == 3 ? 2 : 4;
    qsizetype at = field.value;
    if (field.count * size > 4) at = qsizetype(qFromLittleEndian<quint32>(tiff.constData() + at));
    at += qsizetype(i) * size;
    return size == 2 ? qFromLittleEndian<quint16>(tiff.constData() + at)
                     : qFromLittleEndian<quint32>(tiff.constData() + at);
}

QByteArray withTiffNumber(const QByteArray& tiff, quint16 tag, quint32 value) {
    const TiffField field = tiffField(tiff, tag);
    EXPECT_GE(field.value, 0) << tag;
    return field.type == 3 ? withLittle<quint16>(tiff, field.value, quint16(value))
                           : withLittle<quint32>(tiff, field.value, value);
}

// TIFF: libtiff's errors, and its warnings while it decodes, refuse a picture; strips are
// checked against the file and decoded to their end (LZW, Deflate, PackBits), so a flip in
// their data is found; fax data reports bad code words. Flips are swept over the strips'
// data, not the directory, whose fields (colours, orientation) may hold any value.
TEST(PictureDamageTables, Tiff) {
    const QByteArray plain =
        madeBy(picture(), "convert", {"{in}", "-compress", "None", "tiff:{out}"}, ".tif");
    const auto tiffcp = [&](const QStringList& options) {
        const vexa::test::ProgramRun run = vexa::test::runProgram(
            "tiffcp", options + QStringList{"{in}", "{out}"}, plain, ".tif", ".tif");
        EXPECT_EQ(run.status, 0) << run.errors.toStdString();
        return run.output;
    };
    const QByteArray g4 = madeBy(
        picture(), "convert", {"{in}", "-monochrome", "-compress", "Group4", "tiff:{out}"}, ".tif");
    for (const auto& [name, file, sweep] : std::vector<std::tuple<const char*, QByteArray, bool>>{
             {"uncompressed", plain, false},
             {"ZIP", tiffcp({"-c", "zip"}), true},
             {"LZW", tiffcp({"-c", "lzw"}), true},
             {"PackBits", tiffcp({"-c", "packbits"}), false},
             {"JPEG", tiffcp({"-c", "jpeg", "-r", "16"}), false},
             {"ZIP tiles", tiffcp({"-c", "zip", "-t", "-w", "32", "-l", "32"}), true},
             {"CCITT G4", g4, true}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(file.startsWith("II*")) << name;
        std::vector<Mutation> table;
        table.push_back({"height 65535", withTiffNumber(file, 257, 65535)});
        // (Fax data stops at the rows it is asked for: a height made smaller is not seen.)
        if (std::string(name) != "CCITT G4")
            table.push_back({"height 40", withTiffNumber(file, 257, 40)});
        table.push_back({"width 60", withTiffNumber(file, 256, 60)});
        const bool tiled = tiffField(file, 324).value >= 0;
        const TiffField offsets = tiffField(file, tiled ? 324 : 273);
        const TiffField counts = tiffField(file, tiled ? 325 : 279);
        ASSERT_GE(offsets.value, 0);
        if (offsets.count == 1) table.push_back({"data at 0", withTiffNumber(file, 273, 0)});
        if (tiffNumber(file, tiffField(file, 259), 0) != 1) {
            // Half of the first piece's coded data made zeros (uncompressed, zeros are pixels).
            const qsizetype first = tiffNumber(file, offsets, 0);
            const qsizetype size = tiffNumber(file, counts, 0);
            table.push_back(
                {"first piece half zeros",
                 QByteArray(file).replace(first + size / 2, size / 2, QByteArray(size / 2, '\0'))});
        }
        addCuts(table, file);
        if (sweep)
            for (quint32 i = 0; i < offsets.count; ++i) {
                const qsizetype at = tiffNumber(file, offsets, i);
                addFlips(table, file, at, at + tiffNumber(file, counts, i), 7);
            }
        expectDamageRefused(name, file, table, 2);
    }
}

// WebP: libwebp reads it, and refuses a header that does not fit its data and a file cut
// short. (A flip in VP8 data is seen by no decoder: the format carries no checksum; nor is a
// lossy frame's size edited smaller, whose first macroblocks of each row decode without
// complaint.)
TEST(PictureDamageTables, WebP) {
    for (const auto& [name, options] : std::vector<std::pair<const char*, QStringList>>{
             {"lossy", {"-quiet", "{in}", "-o", "{out}"}},
             {"lossless", {"-quiet", "-lossless", "{in}", "-o", "{out}"}}}) {
        SCOPED_TRACE(name);
        const QByteArray file = madeBy(picture(), "cwebp", options, ".webp");
        ASSERT_EQ(vexa::picture::loadPictureData(file).size(), picture().size());
        std::vector<Mutation> table;
        if (file.mid(12, 4) == "VP8 ") {
            table.push_back({"width 240", withLittle<quint16>(file, 26, 240)});
            table.push_back({"height 160", withLittle<quint16>(file, 28, 160)});
        } else {
            ASSERT_EQ(file.mid(12, 4), "VP8L");
            const quint32 bits = qFromLittleEndian<quint32>(file.constData() + 21);
            table.push_back({"width 60", withLittle<quint32>(file, 21, (bits & ~0x3FFFu) | 59)});
            table.push_back(
                {"height 160",
                 withLittle<quint32>(file, 21, (bits & ~(0x3FFFu << 14)) | (159u << 14))});
        }
        addCuts(table, file);
        for (const Mutation& m : table)
            EXPECT_TRUE(vexa::picture::loadPictureData(m.bytes).isNull()) << m.name;
    }
}

} // namespace
