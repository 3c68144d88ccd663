// libFuzzer's entry, bound to one of FuzzEntries.h by VEXA_FUZZ_ENTRY at compile time.

#include "FuzzEntries.h"

#include <QCoreApplication>

namespace {
// Qt's readers log every damaged file; millions of lines would only slow the run.
void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler(dropMessage);
    // Picture format plugins and text codecs want an application object.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vexa::fuzz::VEXA_FUZZ_ENTRY(data, size);
}
