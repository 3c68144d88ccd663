#include "update/UpdateCheckVersion.h"

#include "core/base/NumberText.h"

namespace vexa::update {

UpdateOutcome compareVersions(const QString& remote, const QString& own) {
    const auto theirs = base::textToInt16(remote);
    const auto ours = base::textToInt16(own);
    if (!theirs || !ours) return UpdateOutcome::Failed;
    if (*theirs > *ours) return UpdateOutcome::NewVersion;
    // An older release on the server means the server is wrong, not that we are up to date.
    if (*theirs < *ours) return UpdateOutcome::Failed;
    return UpdateOutcome::UpToDate;
}

UpdateNotice noticeFor(UpdateOutcome outcome) {
    switch (outcome) {
    case UpdateOutcome::UpToDate:
        return {QStringLiteral("VEXA is up to date!"), QStringLiteral("uptodate")};
    case UpdateOutcome::NewVersion:
        return {QStringLiteral("A new version of VEXA is available!"), QStringLiteral("update")};
    case UpdateOutcome::Failed:
        break;
    }
    return {QStringLiteral("Unable to check for update!"), QStringLiteral("error")};
}

} // namespace vexa::update
