#include "imageio/WriteResult.h"

#include "core/base/SaveTarget.h"

#include <QtGlobal>

#include <cerrno>

namespace vexa::imageio {

WriteResult writeFailure(int systemError) {
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // over the file size limit: to the user, the same as a full disk
        return {WriteStatus::DiskFull, systemError};
    case ENOMEM:
        return {WriteStatus::OutOfMemory, systemError};
    default:
        return {WriteStatus::WriteFailed, systemError};
    }
}

QString writeFailureText(const WriteResult& result) {
    switch (result.status) {
    case WriteStatus::Written:
        return QString();
    case WriteStatus::UnknownFormat:
        return QStringLiteral(
            "its extension names no picture format (use .bmp, .jpg, .png, .gif or .tif)");
    case WriteStatus::NoPicture:
        return QStringLiteral("there is no picture to write");
    case WriteStatus::InvalidQuality:
        return QStringLiteral("the JPEG quality must be from 0 to 100");
    case WriteStatus::TooLarge:
        return QStringLiteral("the picture is too large for its format");
    case WriteStatus::OutOfMemory:
        return QStringLiteral("not enough memory");
    case WriteStatus::EncoderFailed:
        return QStringLiteral("the picture could not be encoded in its format");
    case WriteStatus::FolderMissing:
        return QStringLiteral("its folder does not exist");
    case WriteStatus::FolderNotWritable:
        return QStringLiteral("its folder is not writable");
    case WriteStatus::FileNotWritable:
        return QStringLiteral("the file is not writable");
    case WriteStatus::NotRegularFile:
        return base::saveRefusalText(base::SaveRefusal::NotRegularFile);
    case WriteStatus::LinkLoop:
        return base::saveRefusalText(base::SaveRefusal::LinkLoop);
    case WriteStatus::DiskFull:
        return QStringLiteral("not enough space on the disk");
    case WriteStatus::WriteFailed:
        break;
    }
    if (result.systemError == 0) return QStringLiteral("the data could not be written");
    QString reason = qt_error_string(result.systemError);
    if (!reason.isEmpty()) reason[0] = reason[0].toLower();
    return reason;
}

} // namespace vexa::imageio
