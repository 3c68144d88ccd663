#include "FuzzEntries.h"

#include "core/cover/CoverKind.h"
#include "core/project/ProjectManifest.h"
#include "core/project/ProjectOpen.h"

namespace vexa::fuzz {

namespace {

// The description alone. What it reads, written again, reads back to the same text; what
// it refuses, it says why.
void checkDescription(const QByteArray& bytes) {
    QString problem;
    const std::optional<project::Manifest> manifest = project::parseManifest(bytes, problem);
    if (!manifest) {
        if (problem.isEmpty()) __builtin_trap();
        return;
    }
    const QByteArray json = project::manifestJson(*manifest);
    QString again;
    const std::optional<project::Manifest> reread = project::parseManifest(json, again);
    if (!reread || project::manifestJson(*reread) != json) __builtin_trap();
}

} // namespace

int projectEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDescription(bytes);
    // The whole file as the window opens it: a project or one sentence, never both.
    const project::OpenedProject opened = project::readProject(bytes, QStringLiteral("f.vexa"));
    if (opened.project.has_value() == !opened.failure.isEmpty()) __builtin_trap();
    // A print that takes JPEGs as they are refuses what the window refuses.
    const project::OpenedProject checked =
        project::readProject(bytes, QStringLiteral("f.vexa"), cover::kEveryCoverKind,
                             picture::Decoding::NotForPassThrough);
    if (checked.project.has_value() != opened.project.has_value()) __builtin_trap();
    if (!opened.project) return 0;
    // Every picture comes decoded, with the bytes it was kept as, and the size the print's
    // reading gives it.
    for (const cover::CoverKind kind : cover::kAllCoverKinds) {
        const picture::LoadedPicture& picture = opened.project->covers[kind];
        if (checked.project->covers[kind].size() != picture.size()) __builtin_trap();
        if (!picture.isNull() && (!picture.isDecoded() || picture.bytes.isEmpty()))
            __builtin_trap();
    }
    return 0;
}

} // namespace vexa::fuzz
