#pragma once

#include <QString>

namespace vexa::cups {

// Makes a named printer the default printer: the user's default destination in CUPS, which
// every program of the user (Qt included) follows at once. Remembers the default it found
// when it was created.
//
// Unlike a class that puts the old default back when it goes away, destroying an instance
// changes nothing: the temporary printer must outlive the chooser window that made it, and
// at exit the main window restores the start-up default explicitly.
class DefaultPrinter {
public:
    DefaultPrinter();

    // True when `deviceName` is the default printer afterwards. A name no installed printer
    // has is refused (Qt would quietly print elsewhere), as is any name while PRINTER or
    // LPDEST overrides the saved default; the default is then unchanged.
    bool makeDefault(const QString& deviceName);

    // The default found at creation, or empty.
    const QString& initialDeviceName() const { return m_initialDevice; }

    // The name this instance last made the default, or the one found at creation.
    const QString& currentDefault() const { return m_currentDefault; }

private:
    QString m_initialDevice;
    QString m_currentDefault;
};

} // namespace vexa::cups
