#include "FuzzEntries.h"

#include "update/UpdateCheck.h"
#include "update/UpdateCheckVersion.h"

namespace vexa::fuzz {

int versionEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    const update::UpdateOutcome outcome = update::compareVersions(update::versionText(document));
    if (update::noticeFor(outcome).message.isEmpty()) __builtin_trap();
    return 0;
}

} // namespace vexa::fuzz
