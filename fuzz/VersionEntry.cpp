#include "FuzzEntries.h"

#include "UpdateCheck.h"
#include "UpdateCheckVersion.h"

namespace vexa::fuzz {

int versionEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    const UpdateOutcome outcome = compareVersions(versionText(document));
    if (noticeFor(outcome).message.isEmpty()) __builtin_trap();
    return 0;
}

} // namespace vexa::fuzz
