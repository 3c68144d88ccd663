#pragma once

#include <QString>

namespace vexa::scan {

// The scanner the user chose with "Source", kept across runs in the settings file (section
// "SCAN", key "Source", apart from the main window's own keys). Empty until one is chosen.
QString rememberedScanner();
void rememberScanner(const QString& deviceName);

} // namespace vexa::scan
