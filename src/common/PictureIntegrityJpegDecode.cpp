// The trial decode of a JPEG file with libjpeg, kept apart because libjpeg reports errors
// by longjmp: nothing with a destructor may live in the function that calls setjmp.

#include "PictureIntegrityJpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
// jerror.h defines the message codes only while JMESSAGE is undefined.
#include <jerror.h>

namespace vexa {

namespace {

// A picture may use up to this much memory for its coefficients while it is checked (a
// progressive file keeps all of them); more ends the check as a failure.
constexpr long kMaxCheckMemory = 1L << 30;

struct TrialErrors {
    jpeg_error_mgr manager; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf escape;
    bool damaged;
};

TrialErrors& errorsOf(j_common_ptr info) {
    return *reinterpret_cast<TrialErrors*>(info->err);
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

void stopDecoding(j_common_ptr info) {
    std::longjmp(errorsOf(info).escape, 1);
}

// Every warning is looked at, not only the first one libjpeg would print.
void noteMessage(j_common_ptr info, int level) {
    if (level >= 0) return; // trace messages
    TrialErrors& errors = errorsOf(info);
    ++errors.manager.num_warnings;
    if (refusesPicture(errors.manager.msg_code)) errors.damaged = true;
}

void printNothing(j_common_ptr) {}

// libjpeg-turbo's fast Huffman decoder, used while at least 512 bytes per block of an MCU
// are buffered, decodes a code no table holds as zero without a warning; fed in smaller
// pieces it takes its careful path, which warns. So the data is handed over in pieces.
constexpr std::size_t kPieceBytes = 256;

struct PieceSource {
    jpeg_source_mgr manager; // first, as for the errors
    const JOCTET* data;
    std::size_t size;
    std::size_t position;
};

PieceSource& sourceOf(j_decompress_ptr info) {
    return *reinterpret_cast<PieceSource*>(info->src);
}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

boolean nextPiece(j_decompress_ptr info) {
    PieceSource& source = sourceOf(info);
    static const JOCTET kEnd[] = {0xFF, JPEG_EOI};
    if (source.position >= source.size) {
        // Out of data: say so, and end the picture as libjpeg's own memory source does.
        info->err->msg_code = JWRN_JPEG_EOF;
        (*info->err->emit_message)(reinterpret_cast<j_common_ptr>(info), -1);
        source.manager.next_input_byte = kEnd;
        source.manager.bytes_in_buffer = 2;
        return TRUE;
    }
    const std::size_t piece = std::min(kPieceBytes, source.size - source.position);
    source.manager.next_input_byte = source.data + source.position;
    source.manager.bytes_in_buffer = piece;
    source.position += piece;
    return TRUE;
}

void skipBytes(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr& manager = sourceOf(info).manager;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > manager.bytes_in_buffer) {
        remaining -= manager.bytes_in_buffer;
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

bool jpegDecodesCleanly(const QByteArray& data) {
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
    source.data = reinterpret_cast<const JOCTET*>(data.constData());
    source.size = static_cast<std::size_t>(data.size());
    source.position = 0;
    const bool clean = decodeAtOneEighth(info, errors, source);
    jpeg_destroy_decompress(&info);
    return clean;
}

} // namespace vexa
