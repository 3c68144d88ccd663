// The trial decode of a JPEG file with libjpeg, kept apart because libjpeg reports errors
// by longjmp: nothing with a destructor may live in the function that calls setjmp.

#include "core/picture/PictureIntegrityJpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
// jerror.h defines the message codes only while JMESSAGE is undefined.
#include <jerror.h>

namespace vexa::picture {

namespace {

// A picture may use up to this much memory for its coefficients while it is checked (a
// progressive file keeps all of them); more ends the check as a failure.
constexpr long kMaxCheckMemory = 1L << 30;

// libjpeg-turbo's fast Huffman decoder, used while at least 512 bytes per block of an MCU
// are buffered, decodes a code no table holds as zero without a warning; fed in smaller
// pieces it takes its careful path, which warns. So the data is handed over in pieces.
constexpr std::size_t kPieceBytes = 256;

// A stretch of what libjpeg reads: bytes of the file, or (no data) that many zero bytes.
struct Stretch {
    const JOCTET* data;
    std::size_t size;
};

// Hands libjpeg the file's bytes in pieces, with runs of zero bytes put in where the trial
// decode wants them, and knows at each moment where in that stream libjpeg stands.
struct PieceSource {
    jpeg_source_mgr manager; // first, so libjpeg's pointer to it is a pointer to the whole
    const std::vector<Stretch>* stretches;
    std::size_t stretch;
    std::size_t offset;     // within the stretch
    std::size_t pieceStart; // where the piece libjpeg is reading starts in the whole stream
    std::size_t pieceSize;
    const JOCTET* pieceBase; // its first byte
    std::size_t position() const {
        return pieceStart + std::size_t(manager.next_input_byte - pieceBase);
    }
};

struct TrialErrors {
    jpeg_error_mgr manager; // first, as for the source
    std::jmp_buf escape;
    bool damaged;
    // Arithmetic-coded files only: where, in the stream libjpeg reads, the marker after each
    // coded segment begins, and whether libjpeg found it behind some of the zero bytes put
    // before it.
    const PieceSource* source;
    const std::vector<std::size_t>* segmentMarkers;
    std::vector<bool>* zerosLeft;
};

TrialErrors& errorsOf(j_common_ptr info) {
    return *reinterpret_cast<TrialErrors*>(info->err);
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
// marker without giving it back yet, so the source still stands at the marker's first byte.
void noteZerosLeft(const TrialErrors& errors) {
    if (!errors.segmentMarkers) return;
    const std::size_t at = errors.source->position();
    const auto& markers = *errors.segmentMarkers;
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
    TrialErrors& errors = errorsOf(info);
    ++errors.manager.num_warnings;
    if (refusesPicture(errors.manager.msg_code)) errors.damaged = true;
    if (errors.manager.msg_code == JWRN_EXTRANEOUS_DATA) noteZerosLeft(errors);
}

void printNothing(j_common_ptr) {}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

boolean nextPiece(j_decompress_ptr info) {
    PieceSource& source = sourceOf(info);
    static const JOCTET kEnd[] = {0xFF, JPEG_EOI};
    static const JOCTET kZeros[4096] = {};
    const std::vector<Stretch>& stretches = *source.stretches;
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

bool decodeAtOneEighth(jpeg_decompress_struct& info, TrialErrors& errors, PieceSource& source) {
    if (setjmp(errors.escape)) return false;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxCheckMemory;
    info.src = &source.manager;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row =
        (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                  info.output_width * JDIMENSION(info.output_components), 1);
    while (info.output_scanline < info.output_height && !errors.damaged)
        jpeg_read_scanlines(&info, row, 1);
    if (!errors.damaged) jpeg_finish_decompress(&info);
    return !errors.damaged;
}

} // namespace

bool jpegDecodesCleanly(const QByteArray& data, const JpegLayout& layout) {
    // What libjpeg reads: the file, with the end marker it may lack, and for arithmetic
    // coding zero bytes before the marker after each coded segment (see the header).
    const auto* bytes = reinterpret_cast<const JOCTET*>(data.constData());
    static const JOCTET kEndMarker[] = {0xFF, JPEG_EOI};
    std::vector<Stretch> stretches;
    std::vector<std::size_t> segmentMarkers;
    std::size_t copied = 0;
    std::size_t streamSize = 0;
    if (layout.arithmetic) {
        for (const JpegLayout::Segment& segment : layout.segments) {
            const auto end = std::size_t(segment.end);
            stretches.push_back({bytes + copied, end - copied});
            const std::size_t zeros = arithmeticSlackBytes(segment.blocks) +
                                      (segment.dcRefinement ? segment.blocks / 8 : 0);
            stretches.push_back({nullptr, zeros});
            streamSize += end - copied + zeros;
            segmentMarkers.push_back(streamSize);
            copied = end;
        }
    }
    stretches.push_back({bytes + copied, std::size_t(data.size()) - copied});
    if (!layout.endMarker) stretches.push_back({kEndMarker, 2});
    std::vector<bool> zerosLeft(segmentMarkers.size(), false);

    jpeg_decompress_struct info{};
    TrialErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = stopDecoding;
    errors.manager.emit_message = noteMessage;
    errors.manager.output_message = printNothing;
    errors.damaged = false;
    PieceSource source{};
    source.manager.init_source = startSource;
    source.manager.fill_input_buffer = nextPiece;
    source.manager.skip_input_data = skipBytes;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = endSource;
    source.stretches = &stretches;
    if (layout.arithmetic) {
        errors.source = &source;
        errors.segmentMarkers = &segmentMarkers;
        errors.zerosLeft = &zerosLeft;
    }
    const bool clean = decodeAtOneEighth(info, errors, source);
    jpeg_destroy_decompress(&info);
    return clean && std::all_of(zerosLeft.begin(), zerosLeft.end(), [](bool left) { return left; });
}

} // namespace vexa::picture
