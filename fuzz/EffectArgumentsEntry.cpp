#include "FuzzEntries.h"

#include "cli/EffectArguments.h"
#include "effects/Effects.h"

namespace vexa::fuzz {

int effectArgumentsEntry(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray& part : bytes.split('\0')) arguments << QString::fromUtf8(part);
    QString error;
    const auto parsed = cli::parseEffectArguments(arguments, error);
    if (!parsed) {
        if (error.isEmpty()) __builtin_trap(); // a refusal always says why
        return 0;
    }
    if (parsed->action == cli::EffectArguments::Action::Run) {
        const auto count = std::int32_t(effects::effectTable().size());
        if (parsed->effectId < 1 || parsed->effectId > count) __builtin_trap();
        // The names come back as the bytes they were given as.
        if (!arguments.contains(QString::fromUtf8(parsed->input.bytes())) ||
            !arguments.contains(QString::fromUtf8(parsed->output.bytes())))
            __builtin_trap();
    }
    return 0;
}

} // namespace vexa::fuzz
