#include "cli/EffectCommand.h"

#include "cli/EffectArguments.h"
#include "cli/InputPicture.h"
#include "cli/QuietStandardError.h"
#include "cli/TerminalProgress.h"
#include "core/base/PrintableText.h"
#include "effects/Effects.h"
#include "effects/QImageEffect.h"
#include "imageio/PictureWriter.h"

#include <QTextStream>

#include <cstdio>
#include <new>

namespace vexa::cli {

namespace {

constexpr qint32 kJpegQuality = 85;

void printUsage(QTextStream& out) {
    out << "usage: vexa-cli effect <EffectId or effect name> [--param N | --colour R,G,B] "
           "[--] INPUT OUTPUT\n"
           "       vexa-cli effect --list\n"
           "Applies one effect to the picture INPUT and writes the result to OUTPUT, in the\n"
           "format its extension names (.bmp, .jpg, .png, .gif, .tif). Without --param or\n"
           "--colour the effect's usual parameter is used; --param=N and --colour=R,G,B work\n"
           "too. After -- every argument is a name, so a file may start with -.\n";
}

QString colourText(std::int32_t packed) {
    const effects::Colour c = effects::splitColour(packed);
    return QStringLiteral("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue);
}

void printList(QTextStream& out) {
    out << "id  effect                  parameter (usual value)\n";
    for (const effects::EffectInfo& info : effects::effectTable()) {
        QString parameter = QString::fromUtf8(info.parameter);
        if (parameter != u"not used")
            parameter += QStringLiteral(" (%1)").arg(info.colourParameter
                                                         ? colourText(info.usualParameter)
                                                         : QString::number(info.usualParameter));
        out << QStringLiteral("%1  %2  %3\n")
                   .arg(info.id, 2)
                   .arg(QString::fromUtf8(info.name), -22)
                   .arg(parameter);
    }
}

int fail(const QString& message, int status) {
    QTextStream(stderr) << "vexa-cli effect: " << base::printable(message) << "\n";
    return status;
}

constexpr const char* kNoMemory = "not enough memory";

int runEffect(const EffectArguments& parsed) {
    QString unreadable;
    QImage picture = readInputPicture(parsed.input, unreadable).pixels;
    if (picture.isNull()) return fail(unreadable, 1);

    TerminalProgress bar(stderr);
    std::int32_t progress = 0;
    effects::EffectEngine engine; // one effect per run of vexa-cli
    const effects::EffectResult result =
        effects::applyEffect(engine, picture, parsed.effectId, parsed.parameter, progress, [&] {
            bar.show(progress);
            return true;
        });
    bar.finish();
    if (result.status != effects::EffectStatus::Done)
        return fail(QString::fromStdString(result.reason.empty() ? "the effect did not run"
                                                                 : result.reason),
                    1);

    imageio::PictureWriter writer;
    imageio::WriteResult written;
    {
        const QuietStandardError quiet;
        written = writer.write(picture, parsed.output, kJpegQuality);
    }
    if (!written)
        return fail(QStringLiteral("cannot write '%1': %2")
                        .arg(parsed.output.text(), imageio::writeFailureText(written)),
                    1);
    return 0;
}

} // namespace

int runEffectCommand(const QStringList& arguments) {
    QString error;
    const std::optional<EffectArguments> parsed = parseEffectArguments(arguments, error);
    if (!parsed) {
        if (!error.contains(u"vexa-cli"))
            error += QStringLiteral(" (see 'vexa-cli effect --help')");
        return fail(error, 2);
    }
    QTextStream out(stdout);
    if (parsed->action == EffectArguments::Action::Help) {
        printUsage(out);
        return 0;
    }
    if (parsed->action == EffectArguments::Action::List) {
        printList(out);
        return 0;
    }

    try {
        return runEffect(*parsed);
    } catch (const std::bad_alloc&) {
        return fail(QString::fromLatin1(kNoMemory), 1);
    }
}

} // namespace vexa::cli
