#pragma once

#include <QImage>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

namespace vexa::test {

// Points SANE at a private configuration folder that enables only the "test" backend
// (two virtual scanners, test:0 and test:1) with small, colour, 50 dpi scans, so that tests
// never touch the machine's real or network scanners. Must run before the first SANE call
// of the process; later calls return the same folder.
QString usePrivateSaneConfig();

// Puts a test scanner back to the configured settings (the backend keeps settings while
// the process lives), then applies `changes` ({"depth", 16}, ...). Fails the test when the
// scanner refuses one.
void resetTestScanner(const QString& deviceName,
                      std::initializer_list<std::pair<const char*, QVariant>> changes = {});

// Once the next acquire dialog is ready, picks 50 dpi and colour or gray and clicks Scan.
void clickScanWhenReady(bool gray = false);

// True when every pixel has equal red, green and blue.
bool isGray(const QImage& picture);

} // namespace vexa::test
