// A process that does to project files what VEXA does, for the tests to kill it at the worst
// moment:
//   project_child save PATH     saves a large project to PATH, says "writing" once part of
//                               the file is written, and stops there until killed;
//   project_child hold FOLDER   takes a recovery slot in FOLDER, writes the set of
//                               tests/support/ProjectFixtures.h into it, says "held" and waits
//                               until killed.
#include "support/ProjectFixtures.h"

#include "core/project/ProjectSave.h"
#include "core/project/RecoveryCopy.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

using namespace vexa;

namespace {

[[noreturn]] void waitToBeKilled(const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
    for (;;) ::pause();
}

int save(const QString& path) {
    // A picture of 64 MB stored as it is: the file takes many pieces to write.
    project::Project project;
    picture::LoadedPicture big;
    big.pixels = test::patternImage(8, 8);
    big.bytes = QByteArray(64 << 20, 'v');
    big.format = "jpeg";
    project.covers[cover::CoverKind::Dvd] = big;
    project::EncodedPictures encoded;
    const QString failure = project::saveProject(base::FilePath::fromText(path), project, encoded,
                                                 [](qint64, qint64) { waitToBeKilled("writing"); });
    std::fprintf(stderr, "the save did not stop: %s\n", qPrintable(failure));
    return 1;
}

int hold(const QString& folder) {
    const project::RecoverySlot slot(folder);
    QTemporaryDir originals;
    project::EncodedPictures encoded;
    const QString failure = slot.write(test::sampleProject(originals.path()), encoded,
                                       base::FilePath::fromText("/home/someone/covers.vexa"));
    if (!slot.isHeld() || !failure.isEmpty()) {
        std::fprintf(stderr, "no copy: %s\n", qPrintable(failure));
        return 1;
    }
    waitToBeKilled("held");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments[1] == "save") return save(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == "hold") return hold(arguments[2]);
    std::fprintf(stderr, "usage: project_child save PATH | hold FOLDER\n");
    return 2;
}
