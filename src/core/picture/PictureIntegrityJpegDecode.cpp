// The decoding of a JPEG file with libjpeg, watched for damage: at 1/8 scale as a check, or at
// full size for the picture. libjpeg reports errors by longjmp, so the functions that call
// setjmp hold nothing with a destructor.

#include "core/picture/PictureIntegrityJpeg.h"

#include "core/picture/ColourProfile.h"

#include <QColorSpace>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>
// jerror.h defines the message codes only while JMESSAGE is undefined.
#include <jerror.h>

namespace vexa::picture {

namespace {

// A picture may use up to this much memory for its coefficients while it is decoded (a
// progressive file keeps all of them); more ends the decoding as a failure.
constexpr long kMaxDecodeMemory = 1L << 30;

// libjpeg-turbo's fast Huffman decoder, used while at least 512 bytes per block of an MCU
// are buffered, decodes a code no table holds as zero without a warning; fed in smaller
// pieces it takes its careful path, which warns. So the data is handed over in pieces.
constexpr std::size_t kPieceBytes = 256;

// A stretch of what libjpeg reads: bytes of the file, or (no data) that many zero bytes.
struct Stretch {
    const JOCTET* data;
    std::size_t size;
    std::size_t start; // in the whole stream
};

// What libjpeg reads: the file, with the end marker it may lack, and for arithmetic coding
// zero bytes before the marker after each coded segment (see PictureIntegrityJpeg.h).
struct Stream {
    std::vector<Stretch> stretches;
    // Arithmetic-coded files only: where, in the stream, the marker after each coded segment
    // begins.
    std::vector<std::size_t> segmentMarkers;

    Stream(const QByteArray& data, const JpegLayout& layout) {
        const auto* bytes = reinterpret_cast<const JOCTET*>(data.constData());
        static const JOCTET kEndMarker[] = {0xFF, JPEG_EOI};
        std::size_t copied = 0;
        if (layout.arithmetic) {
            for (const JpegLayout::Segment& segment : layout.segments) {
                const auto end = std::size_t(segment.end);
                add(bytes + copied, end - copied);
                add(nullptr, arithmeticSlackBytes(segment.blocks) +
                                 (segment.dcRefinement ? segment.blocks / 8 : 0));
                segmentMarkers.push_back(size());
                copied = end;
            }
        }
        add(bytes + copied, std::size_t(data.size()) - copied);
        if (!layout.endMarker) add(kEndMarker, 2);
    }
    std::size_t size() const {
        return stretches.empty() ? 0 : stretches.back().start + stretches.back().size;
    }
    // The byte at `at`; past the end, the end marker put there when the data runs out.
    JOCTET at(std::size_t at) const {
        if (at >= size()) return 0xFF;
        const auto found = std::upper_bound(
            stretches.begin(), stretches.end(), at,
            [](std::size_t position, const Stretch& s) { return position < s.start; });
        const Stretch& s = *(found - 1);
        return s.data ? s.data[at - s.start] : 0;
    }

private:
    void add(const JOCTET* data, std::size_t size) {
        stretches.push_back({data, size, this->size()});
    }
};

// Hands libjpeg the stream in pieces and knows at each moment where in it libjpeg stands.
struct PieceSource {
    jpeg_source_mgr manager; // first, so libjpeg's pointer to it is a pointer to the whole
    const Stream* stream;
    std::size_t stretch;
    std::size_t offset;     // within the stretch
    std::size_t pieceStart; // where the piece libjpeg is reading starts in the whole stream
    std::size_t pieceSize;
    const JOCTET* pieceBase; // its first byte
    std::size_t position() const {
        return pieceStart + std::size_t(manager.next_input_byte - pieceBase);
    }
};

struct WatchedErrors {
    jpeg_error_mgr manager; // first, as for the source
    std::jmp_buf escape;
    bool damaged;
    const PieceSource* source;
    // Arithmetic-coded files: whether libjpeg found the marker after each coded segment
    // behind some of the zero bytes put before it.
    std::vector<bool>* zerosLeft;
};

WatchedErrors& errorsOf(j_common_ptr info) {
    return *reinterpret_cast<WatchedErrors*>(info->err);
}

PieceSource& sourceOf(j_decompress_ptr info) {
    return *reinterpret_cast<PieceSource*>(info->src);
}

bool refusesPicture(int code) {
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

// libjpeg warns of "extraneous bytes" when it skipped bytes before a marker; it has read the
// marker without giving it back yet, so the source still stands at the marker's first byte, and
// the bytes it skipped are the ones before (bytes it had taken into its bit buffer included).
// Fill is fine; anything else is data the decoder had no use for. In an arithmetic-coded file
// the marker after a coded segment found there shows that the decoder left some of the zeros
// put before it.
void noteSkippedBytes(WatchedErrors& errors) {
    const std::size_t at = errors.source->position();
    const auto skipped = std::size_t(std::max(0, errors.manager.msg_parm.i[0]));
    const Stream& stream = *errors.source->stream;
    for (std::size_t i = std::min(skipped, at); i > 0; --i) {
        const JOCTET byte = stream.at(at - i);
        if (byte != 0x00 && byte != 0xFF) errors.damaged = true;
    }
    const auto& markers = stream.segmentMarkers;
    const auto found = std::lower_bound(markers.begin(), markers.end(), at);
    if (found != markers.end() && *found == at)
        (*errors.zerosLeft)[std::size_t(found - markers.begin())] = true;
}

void stopDecoding(j_common_ptr info) {
    std::longjmp(errorsOf(info).escape, 1);
}

// Every warning is looked at, not only the first one libjpeg would print.
void noteMessage(j_common_ptr info, int level) {
    if (level >= 0) return; // trace messages
    WatchedErrors& errors = errorsOf(info);
    ++errors.manager.num_warnings;
    if (refusesPicture(errors.manager.msg_code)) errors.damaged = true;
    if (errors.manager.msg_code == JWRN_EXTRANEOUS_DATA) noteSkippedBytes(errors);
}

void printNothing(j_common_ptr) {}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

boolean nextPiece(j_decompress_ptr info) {
    PieceSource& source = sourceOf(info);
    static const JOCTET kEnd[] = {0xFF, JPEG_EOI};
    static const JOCTET kZeros[4096] = {};
    const std::vector<Stretch>& stretches = source.stream->stretches;
    // (libjpeg may not have handed back its place in the last piece yet: it is done with it.)
    source.pieceStart += source.pieceSize;
    while (source.stretch < stretches.size() && source.offset >= stretches[source.stretch].size) {
        ++source.stretch;
        source.offset = 0;
    }
    if (source.stretch >= stretches.size()) {
        // Out of data: say so, and end the picture as libjpeg's own memory source does.
        info->err->msg_code = JWRN_JPEG_EOF;
        (*info->err->emit_message)(reinterpret_cast<j_common_ptr>(info), -1);
        source.manager.next_input_byte = kEnd;
        source.manager.bytes_in_buffer = 2;
        source.pieceBase = kEnd;
        source.pieceSize = 2;
        return TRUE;
    }
    const Stretch& stretch = stretches[source.stretch];
    const std::size_t left = stretch.size - source.offset;
    const std::size_t piece = std::min(left, stretch.data ? kPieceBytes : sizeof kZeros);
    source.manager.next_input_byte = stretch.data ? stretch.data + source.offset : kZeros;
    source.manager.bytes_in_buffer = piece;
    source.pieceBase = source.manager.next_input_byte;
    source.pieceSize = piece;
    source.offset += piece;
    return TRUE;
}

void skipBytes(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& manager = sourceOf(info).manager;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > manager.bytes_in_buffer) {
        remaining -= manager.bytes_in_buffer;
        manager.next_input_byte += manager.bytes_in_buffer;
        manager.bytes_in_buffer = 0;
        nextPiece(info);
    }
    manager.next_input_byte += remaining;
    manager.bytes_in_buffer -= remaining;
}

enum class Scale { Eighth, Full };

// The decoder, its source and its watch on warnings, set up for one stream.
struct Decoder {
    jpeg_decompress_struct info{};
    WatchedErrors errors{};
    PieceSource source{};
    std::vector<bool> zerosLeft;

    explicit Decoder(const Stream& stream) : zerosLeft(stream.segmentMarkers.size(), false) {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = stopDecoding;
        errors.manager.emit_message = noteMessage;
        errors.manager.output_message = printNothing;
        errors.source = &source;
        errors.zerosLeft = &zerosLeft;
        source.manager.init_source = startSource;
        source.manager.fill_input_buffer = nextPiece;
        source.manager.skip_input_data = skipBytes;
        source.manager.resync_to_restart = jpeg_resync_to_restart;
        source.manager.term_source = endSource;
        source.stream = &stream;
    }
    ~Decoder() { jpeg_destroy_decompress(&info); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool clean() const {
        return !errors.damaged &&
               std::all_of(zerosLeft.begin(), zerosLeft.end(), [](bool left) { return left; });
    }
};

// Reads the header and starts decompressing; false on an error, and for a frame other than
// the one the layout was measured from, whose size the picture's limits were checked against.
// At full scale the ICC profile comes with it (malloc'ed by libjpeg, for the caller to free).
bool startDecoding(Decoder& d, const JpegLayout& layout, Scale scale, JOCTET** icc,
                   unsigned int* iccSize) {
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.escape)) return false;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecodeMemory;
    info.src = &d.source.manager;
    if (scale == Scale::Full) jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (info.image_width != layout.width || info.image_height != layout.height) return false;
    if (scale == Scale::Eighth) {
        info.scale_num = 1;
        info.scale_denom = 8;
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
        info.do_block_smoothing = FALSE;
    } else {
        if (!jpeg_read_icc_profile(&info, icc, iccSize)) *icc = nullptr;
        // Rows straight into a Format_RGB32 picture, whose pixels are 0xffRRGGBB words.
        if (info.out_color_space == JCS_RGB)
            info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    }
    jpeg_start_decompress(&info);
    return true;
}

// Reads every row: into `rows` (one pointer a row of the output), or into a row of its own
// when there are none; a CMYK row is converted into its output row by `cmykColours`.
bool readRows(Decoder& d, JSAMPROW* rows, const CmykToSrgb* cmykColours) {
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.escape)) return false;
    const bool cmyk = info.out_color_space == JCS_CMYK;
    JSAMPARRAY own =
        rows && !cmyk
            ? nullptr
            : (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                        info.output_width * JDIMENSION(info.output_components), 1);
    while (info.output_scanline < info.output_height && !d.errors.damaged) {
        const JDIMENSION y = info.output_scanline;
        JSAMPROW row = own ? own[0] : rows[y];
        jpeg_read_scanlines(&info, &row, 1);
        if (rows && cmyk && cmykColours)
            cmykColours->convert(row, reinterpret_cast<QRgb*>(rows[y]), int(info.output_width));
    }
    if (!d.errors.damaged) jpeg_finish_decompress(&info);
    return !d.errors.damaged;
}

} // namespace

bool jpegDecodesCleanly(const QByteArray& data, const JpegLayout& layout) {
    const Stream stream(data, layout);
    Decoder decoder(stream);
    return startDecoding(decoder, layout, Scale::Eighth, nullptr, nullptr) &&
           readRows(decoder, nullptr, nullptr) && decoder.clean();
}

QImage decodeJpegPicture(const QByteArray& data, const JpegLayout& layout) {
    const Stream stream(data, layout);
    Decoder decoder(stream);
    JOCTET* icc = nullptr;
    unsigned int iccSize = 0;
    const bool started = startDecoding(decoder, layout, Scale::Full, &icc, &iccSize);
    const QByteArray profile =
        icc ? QByteArray(reinterpret_cast<const char*>(icc), qsizetype(iccSize)) : QByteArray();
    std::free(icc);
    if (!started) return QImage();
    const jpeg_decompress_struct& info = decoder.info;
    const int components = info.output_components;
    if (components != 1 && components != 3 && components != 4) return QImage();
    QImage picture(int(info.output_width), int(info.output_height),
                   components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (picture.isNull()) return QImage();
    std::vector<JSAMPROW> rows(std::size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y) rows[std::size_t(y)] = picture.scanLine(y);
    // CMYK (and YCCK, which libjpeg gives as CMYK) through its profile or the standard one;
    // an Adobe marker means inverted samples, as Photoshop writes them.
    std::unique_ptr<CmykToSrgb> cmyk;
    if (info.out_color_space == JCS_CMYK)
        cmyk = std::make_unique<CmykToSrgb>(profile, info.saw_Adobe_marker != 0);
    if (!readRows(decoder, rows.data(), cmyk.get()) || !decoder.clean()) return QImage();
    if (info.density_unit == 1) {
        picture.setDotsPerMeterX(int(100. * info.X_density / 2.54));
        picture.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {
        picture.setDotsPerMeterX(int(100. * info.X_density));
        picture.setDotsPerMeterY(int(100. * info.Y_density));
    }
    if (!profile.isEmpty() && !cmyk) picture.setColorSpace(QColorSpace::fromIccProfile(profile));
    return picture;
}

} // namespace vexa::picture
