#include "cli/InputPicture.h"

#include "cli/QuietStandardError.h"

namespace vexa::cli {

picture::LoadedPicture readInputPicture(const base::FilePath& path, QString& failure,
                                        picture::Decoding decoding) {
    QString refusal;
    picture::LoadedPicture picture;
    {
        const QuietStandardError quiet; // libpng and libtiff print errors themselves
        picture = picture::readPictureFile(path, &refusal, decoding);
    }
    if (!picture.isNull()) return picture;
    if (refusal.isEmpty()) {
        refusal = QStringLiteral("missing, unreadable or not a picture");
    } else {
        // A sentence of its own, made part of the message's one line.
        if (refusal.endsWith(u'.')) refusal.chop(1);
        refusal[0] = refusal[0].toLower();
    }
    failure = QStringLiteral("cannot read '%1': %2").arg(path.text(), refusal);
    return {};
}

} // namespace vexa::cli
