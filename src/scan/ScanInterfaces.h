#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace vexa::scan {

// What a scan gave: the picture, or why there is none.
struct AcquiredScan {
    enum class Status { Scanned, Cancelled, NoScanner };
    Status status = Status::Cancelled;
    QImage picture; // null unless Scanned
};

// The scanner as the Scan tab's commands see it (the SANE adapter, or a fake in tests).
class ScannerAccess {
public:
    virtual ~ScannerAccess() = default;
    virtual void selectImageSource() = 0;
    virtual AcquiredScan acquire() = 0;
};

// The questions and messages of the Scan tab's commands (message boxes and the save dialog,
// or a script in tests).
class UserPrompts {
public:
    enum class Icon { Information, Error };

    virtual ~UserPrompts() = default;
    virtual void message(const QString& text, const QString& title, Icon icon) = 0;
    // True only when the answer is Yes.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // The save-as dialog with an empty name and `filter` ("BMP|*.BMP|GIF|*.GIF", the first
    // entry selected); the name exactly as typed, or nothing when cancelled.
    virtual std::optional<QString> saveFileName(const QString& filter) = 0;
};

} // namespace vexa::scan
