#pragma once

#include <QtGlobal>

namespace vexa {

// The status values through which the picture writer reports a failure. The numbers are
// those of the Windows imaging library whose role the writer plays, so that a listener of
// PictureWriter::Error sees the familiar codes; 0 is success.
enum class GdiStatus : qint32 {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

} // namespace vexa
