#include "support/JpegEncoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace vexa::test {

QByteArray encodeJpeg(const QImage& picture, const JpegCoding& coding) {
    const QImage rgb =
        picture.convertToFormat(coding.gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const int components = coding.gray ? 1 : coding.cmyk ? 4 : 3;
    std::vector<unsigned char> row(std::size_t(rgb.width()) * std::size_t(components));
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // errors exit the test program: fine for a test
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = components;
    info.in_color_space = coding.gray ? JCS_GRAYSCALE : coding.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (coding.rgbCoded) jpeg_set_colorspace(&info, JCS_RGB);
    jpeg_set_quality(&info, coding.quality, TRUE);
    if (!coding.gray && !coding.cmyk && !coding.rgbCoded) {
        info.comp_info[0].h_samp_factor = coding.lumaH;
        info.comp_info[0].v_samp_factor = coding.lumaV;
        for (int c = 1; c < 3; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    }
    if (coding.progressive) jpeg_simple_progression(&info);
    std::vector<jpeg_scan_info> script;
    for (const JpegScan& scan : coding.scans) {
        jpeg_scan_info entry{};
        entry.comps_in_scan = int(scan.components.size());
        std::copy(scan.components.begin(), scan.components.end(), entry.component_index);
        entry.Ss = scan.first;
        entry.Se = scan.last;
        entry.Ah = scan.high;
        entry.Al = scan.low;
        script.push_back(entry);
    }
    if (!script.empty()) {
        info.scan_info = script.data();
        info.num_scans = int(script.size());
    }
    info.arith_code = coding.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = coding.restartRows;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uchar* in = rgb.constScanLine(int(info.next_scanline));
        if (coding.cmyk) {
            for (int x = 0; x < rgb.width(); ++x) {
                for (int c = 0; c < 3; ++c) row[std::size_t(4 * x + c)] = in[3 * x + c];
                row[std::size_t(4 * x + 3)] = 255;
            }
        } else {
            std::copy(in, in + row.size(), row.begin());
        }
        JSAMPROW rows = row.data();
        jpeg_write_scanlines(&info, &rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    return bytes;
}

} // namespace vexa::test
