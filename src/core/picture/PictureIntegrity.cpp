#include "core/picture/PictureIntegrity.h"

#include "core/picture/PictureIntegrityBmp.h"
#include "core/picture/PictureIntegrityGif.h"
#include "core/picture/PictureIntegrityJpeg.h"

namespace vexa::picture {

bool isPictureDataComplete(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8")) {
        const std::optional<JpegLayout> layout = jpegStructure(data);
        return layout && jpegScanPixels(*layout) <= kMaxJpegScanPixels &&
               jpegDecodesCleanly(data, *layout);
    }
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return gifComplete(data);
    if (data.startsWith("BM")) return bmpComplete(data);
    return true;
}

} // namespace vexa::picture
