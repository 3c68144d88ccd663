#pragma once

#include <QString>

namespace vexa::imageio {

// How writing a picture file went.
enum class WriteStatus {
    Written,
    UnknownFormat,     // the name's extension selects none of the writer's formats
    NoPicture,         // there is nothing to write
    InvalidQuality,    // a JPEG quality outside 0 ... 100
    TooLarge,          // more than the format can hold (a GIF side over 65535 pixels)
    OutOfMemory,       // the picture could not be converted or encoded for want of memory
    EncoderFailed,     // the format's encoder gave up
    FolderMissing,     // the file's folder does not exist
    FolderNotWritable, // no file can be made in the file's folder
    FileNotWritable,   // the file exists and may not be changed
    NotRegularFile,    // the name is a FIFO, a device or a socket (also behind a link)
    LinkLoop,          // the name's links lead round in a circle
    DiskFull,          // no space left, over the quota or over the file size limit
    WriteFailed,       // the data could not be written; `systemError` says why when known
};

struct WriteResult {
    WriteStatus status = WriteStatus::Written;
    int systemError = 0; // errno of the system call that failed, 0 when none did

    bool ok() const { return status == WriteStatus::Written; }
    explicit operator bool() const { return ok(); }
};

// A failed system call's errno as a result: a full disk, no memory, or a failed write.
WriteResult writeFailure(int systemError);

// Why a write failed, to follow "cannot write 'NAME': ": "not enough space on the disk",
// "its folder does not exist", ...
QString writeFailureText(const WriteResult& result);

} // namespace vexa::imageio
