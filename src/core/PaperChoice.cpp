#include "PaperChoice.h"

#include <ProfileFile.h>
#include <Settings.h>

namespace vexa::print {

namespace {
const QString kSection = QStringLiteral("PRINT");
const QString kKey = QStringLiteral("Paper");
} // namespace

PaperChoice paperChoiceFromText(const QString& text) {
    return text.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0 ? PaperChoice::A4
                                                                       : PaperChoice::LetterLegal;
}

QString paperChoiceText(PaperChoice choice) {
    return choice == PaperChoice::A4 ? QStringLiteral("A4") : QStringLiteral("Letter");
}

int paperFor(const CoverFormat& kind, PaperChoice choice) {
    return choice == PaperChoice::A4 ? kPaperA4 : kind.paper;
}

QPageSize pageSizeForPaper(int code) {
    switch (code) {
    case kPaperLetter:
        return QPageSize(QPageSize::Letter);
    case kPaperLegal:
        return QPageSize(QPageSize::Legal);
    case kPaperA4:
        return QPageSize(QPageSize::A4);
    default:
        return QPageSize();
    }
}

QString paperName(int code) {
    switch (code) {
    case kPaperLetter:
        return QStringLiteral("Letter");
    case kPaperLegal:
        return QStringLiteral("Legal");
    case kPaperA4:
        return QStringLiteral("A4");
    default:
        return QString();
    }
}

const char* pwgMediaName(int code) {
    switch (code) {
    case kPaperLetter:
        return "na_letter_8.5x11in";
    case kPaperLegal:
        return "na_legal_8.5x14in";
    case kPaperA4:
        return "iso_a4_210x297mm";
    default:
        return "";
    }
}

PaperChoice rememberedPaper() {
    return paperChoiceFromText(ProfileFile(settingsFilePath()).read(kSection, kKey));
}

void rememberPaper(PaperChoice choice) {
    // Like every setting, a file that cannot be written loses the choice silently.
    ProfileFile(settingsFilePath()).write(kSection, kKey, paperChoiceText(choice));
}

} // namespace vexa::print
