#include "JpegEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace vexa::test {

QByteArray encodeJpeg(const QImage& picture, const JpegCoding& coding) {
    const QImage rgb =
        picture.convertToFormat(coding.gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // errors exit the test program: fine for a test
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = coding.gray ? 1 : 3;
    info.in_color_space = coding.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, coding.quality, TRUE);
    if (!coding.gray) {
        info.comp_info[0].h_samp_factor = coding.lumaH;
        info.comp_info[0].v_samp_factor = coding.lumaV;
        for (int c = 1; c < 3; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    }
    if (coding.progressive) jpeg_simple_progression(&info);
    info.arith_code = coding.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = coding.restartRows;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    return bytes;
}

} // namespace vexa::test
