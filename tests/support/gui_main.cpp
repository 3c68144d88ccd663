// main() of the test programs that create windows: one QApplication for all their tests,
// on the offscreen platform unless the caller chose another (a real X server, say).
#include "core/base/ProcessEnd.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int runTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The recovery copies of the sets that tests leave unsaved go to a folder of this run.
    QTemporaryDir state;
    if (state.isValid()) qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace

// Ends as the program does, without the libraries' exit handlers (see endProcess).
int main(int argc, char** argv) {
    vexa::base::endProcess(runTests(argc, argv));
}
