#include "core/project/ProjectManifest.h"

#include "core/cover/CoverFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

namespace vexa::project {

namespace {

constexpr char kFormatName[] = "VEXA project";
// The largest count a JSON number holds exactly.
constexpr double kMaxExactCount = 9007199254740992.0;

QString coverPhrase(cover::CoverKind kind) {
    return QStringLiteral("the %1 cover").arg(cover::coverName(cover::coverFormat(kind)));
}

QJsonObject originJson(const picture::PictureOrigin& origin) {
    return QJsonObject{{QStringLiteral("path"), origin.path.text()},
                       {QStringLiteral("size"), origin.size},
                       {QStringLiteral("sha256"), QString::fromLatin1(origin.sha256.toHex())}};
}

QJsonObject coverJson(const CoverEntry& entry) {
    QJsonObject json{{QStringLiteral("entry"), QString::fromLatin1(entry.entry)},
                     {QStringLiteral("sha256"), QString::fromLatin1(entry.sha256.toHex())},
                     {QStringLiteral("bytes"), entry.bytes},
                     {QStringLiteral("width"), entry.pixels.width()},
                     {QStringLiteral("height"), entry.pixels.height()},
                     {QStringLiteral("edited"), entry.edited}};
    if (entry.original.isKnown())
        json.insert(QStringLiteral("original"), originJson(entry.original));
    json.insert(QStringLiteral("fit"), cover::fitKey(entry.framing.fit));
    json.insert(QStringLiteral("crop"), QJsonArray{entry.framing.crop.x(), entry.framing.crop.y()});
    return json;
}

QJsonObject printJson(const PrintChoices& print) {
    QJsonArray chosen;
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        if (print.chosen.testFlag(kind.id)) chosen.append(QString::fromLatin1(kind.key));
    return QJsonObject{{QStringLiteral("covers"), chosen},
                       {QStringLiteral("paper"), cover::paperChoiceText(print.paper)},
                       {QStringLiteral("marks"), print.trim.marks},
                       {QStringLiteral("bleed"), print.trim.bleedMm},
                       {QStringLiteral("sheets"), cover::sheetLayoutText(print.sheets.layout)},
                       {QStringLiteral("copies"), print.sheets.copies}};
}

// Reads the values of one JSON object, keeping the first thing that is wrong with them.
class Reader {
public:
    explicit Reader(QString& problem) : m_problem(problem) {}

    bool failed() const { return !m_problem.isEmpty(); }
    void fail(const QString& what) {
        if (!failed()) m_problem = QStringLiteral("its project.json is damaged (%1)").arg(what);
    }

    // `key` of `object` when it is there and of the type; `where` names the object.
    std::optional<QJsonValue> value(const QJsonObject& object, const char* key,
                                    QJsonValue::Type type, const QString& where, bool required) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            if (required) fail(QStringLiteral("%1 has no \"%2\"").arg(where, QLatin1String(key)));
            return std::nullopt;
        }
        if (value.type() != type) {
            fail(QStringLiteral("\"%1\" of %2 is not %3")
                     .arg(QLatin1String(key), where, typeName(type)));
            return std::nullopt;
        }
        return value;
    }

    qint64 count(const QJsonObject& object, const char* key, const QString& where) {
        const std::optional<QJsonValue> number =
            value(object, key, QJsonValue::Double, where, true);
        if (!number) return 0;
        const double d = number->toDouble();
        if (d < 0 || d > kMaxExactCount || std::floor(d) != d) {
            fail(QStringLiteral("\"%1\" of %2 is not a count").arg(QLatin1String(key), where));
            return 0;
        }
        return qint64(d);
    }

    QByteArray sha256(const QJsonObject& object, const QString& where) {
        const std::optional<QJsonValue> text =
            value(object, "sha256", QJsonValue::String, where, true);
        if (!text) return {};
        const QString hex = text->toString();
        const bool isHex = hex.size() == 64 && std::all_of(hex.begin(), hex.end(), [](QChar c) {
                               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
                           });
        if (!isHex) {
            fail(QStringLiteral("the SHA-256 of %1 is not 64 hexadecimal digits").arg(where));
            return {};
        }
        return QByteArray::fromHex(hex.toLatin1());
    }

private:
    static QString typeName(QJsonValue::Type type) {
        switch (type) {
        case QJsonValue::Bool:
            return QStringLiteral("true or false");
        case QJsonValue::Double:
            return QStringLiteral("a number");
        case QJsonValue::String:
            return QStringLiteral("text");
        case QJsonValue::Array:
            return QStringLiteral("a list");
        default:
            return QStringLiteral("an object");
        }
    }

    QString& m_problem;
};

picture::PictureOrigin readOrigin(Reader& reader, const QJsonObject& json, const QString& where) {
    picture::PictureOrigin origin;
    if (const auto path = reader.value(json, "path", QJsonValue::String, where, true))
        origin.path = base::FilePath::fromText(path->toString());
    origin.size = reader.count(json, "size", where);
    origin.sha256 = reader.sha256(json, where);
    if (!reader.failed() && origin.path.isEmpty())
        reader.fail(where + QStringLiteral(" has no path"));
    return origin;
}

// The cover's fit and crop; a file written before covers had them stretches, centred.
void readFraming(Reader& reader, const QJsonObject& json, const QString& where,
                 cover::Framing& framing) {
    if (const auto fit = reader.value(json, "fit", QJsonValue::String, where, false)) {
        if (const std::optional<cover::CoverFit> known = cover::fitForKey(fit->toString()))
            framing.fit = *known;
        else
            reader.fail(QStringLiteral("the fit \"%1\" of %2 is none VEXA knows")
                            .arg(fit->toString(), where));
    }
    if (const auto crop = reader.value(json, "crop", QJsonValue::Array, where, false)) {
        const QJsonArray xy = crop->toArray();
        const auto fraction = [](const QJsonValue& v) {
            return v.isDouble() && v.toDouble() >= 0 && v.toDouble() <= 1;
        };
        if (xy.size() != 2 || !fraction(xy[0]) || !fraction(xy[1]))
            reader.fail(QStringLiteral("the crop of %1 is not two fractions").arg(where));
        else
            framing.crop = QPointF(xy[0].toDouble(), xy[1].toDouble());
    }
}

std::optional<CoverEntry> readCover(Reader& reader, const QJsonObject& json,
                                    cover::CoverKind kind) {
    const QString where = coverPhrase(kind);
    CoverEntry entry;
    if (const auto name = reader.value(json, "entry", QJsonValue::String, where, true)) {
        entry.entry = name->toString().toUtf8();
        if (!isPlainEntryName(entry.entry) || entry.entry == kManifestName)
            reader.fail(QStringLiteral("the entry of %1 is not a plain file name").arg(where));
    }
    entry.sha256 = reader.sha256(json, where);
    entry.bytes = reader.count(json, "bytes", where);
    const qint64 width = reader.count(json, "width", where);
    const qint64 height = reader.count(json, "height", where);
    if (!reader.failed() && (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX))
        reader.fail(QStringLiteral("the pixel size of %1 is no picture's").arg(where));
    entry.pixels =
        QSize(int(std::min<qint64>(width, INT_MAX)), int(std::min<qint64>(height, INT_MAX)));
    if (const auto edited = reader.value(json, "edited", QJsonValue::Bool, where, true))
        entry.edited = edited->toBool();
    if (const auto original = reader.value(json, "original", QJsonValue::Object, where, false))
        entry.original =
            readOrigin(reader, original->toObject(), QStringLiteral("the original of ") + where);
    readFraming(reader, json, where, entry.framing);
    // An unchanged picture is stored as its file's bytes: the two records must agree.
    if (!reader.failed() && !entry.edited && entry.original.isKnown() &&
        (entry.original.size != entry.bytes || entry.original.sha256 != entry.sha256))
        reader.fail(QStringLiteral("%1 is unchanged but not its original's bytes").arg(where));
    if (reader.failed()) return std::nullopt;
    return entry;
}

PrintChoices readPrint(Reader& reader, const QJsonObject& json) {
    const QString where = QStringLiteral("the print choices");
    PrintChoices print;
    if (const auto chosen = reader.value(json, "covers", QJsonValue::Array, where, true)) {
        for (const QJsonValue& key : chosen->toArray()) {
            if (!key.isString()) {
                reader.fail(QStringLiteral("the chosen covers are not all names"));
                break;
            }
            // A kind this VEXA does not know is left out.
            if (const cover::CoverFormat* kind = cover::coverFormatForKey(key.toString()))
                print.chosen |= kind->id;
        }
    }
    if (const auto paper = reader.value(json, "paper", QJsonValue::String, where, true)) {
        const QString text = paper->toString();
        if (text == cover::paperChoiceText(cover::PaperChoice::A4))
            print.paper = cover::PaperChoice::A4;
        else if (text != cover::paperChoiceText(cover::PaperChoice::LetterLegal))
            reader.fail(QStringLiteral("the paper \"%1\" is none VEXA knows").arg(text));
    }
    if (const auto marks = reader.value(json, "marks", QJsonValue::Bool, where, true))
        print.trim.marks = marks->toBool();
    if (const auto bleed = reader.value(json, "bleed", QJsonValue::Double, where, true)) {
        const double mm = bleed->toDouble();
        if (std::find(std::begin(cover::kBleedChoicesMm), std::end(cover::kBleedChoicesMm), mm) ==
            std::end(cover::kBleedChoicesMm))
            reader.fail(QStringLiteral("a bleed of %1 mm is none VEXA offers").arg(mm));
        else
            print.trim.bleedMm = mm;
    }
    // Files written before sheets were chosen print one cover a page, once.
    if (const auto sheets = reader.value(json, "sheets", QJsonValue::String, where, false)) {
        const QString text = sheets->toString();
        print.sheets.layout = cover::sheetLayoutFromText(text);
        if (cover::sheetLayoutText(print.sheets.layout) != text)
            reader.fail(QStringLiteral("the sheets \"%1\" are none VEXA knows").arg(text));
    }
    if (const auto copies = reader.value(json, "copies", QJsonValue::Double, where, false)) {
        const double count = copies->toDouble();
        if (count < cover::kMinCopies || count > cover::kMaxCopies || std::floor(count) != count)
            reader.fail(QStringLiteral("the copies are not a whole number from 1 to 20"));
        else
            print.sheets.copies = int(count);
    }
    return print;
}

} // namespace

QByteArray manifestJson(const Manifest& manifest) {
    QJsonObject covers;
    for (std::size_t row = 0; row < cover::kCoverKindCount; ++row)
        if (const std::optional<CoverEntry>& entry = manifest.covers[row])
            covers.insert(QString::fromLatin1(cover::kCoverFormats[row].key), coverJson(*entry));
    QJsonObject json{{QStringLiteral("format"), QLatin1String(kFormatName)},
                     {QStringLiteral("version"), kProjectFormatVersion},
                     {QStringLiteral("covers"), covers},
                     {QStringLiteral("print"), printJson(manifest.print)}};
    if (!manifest.savedAs.isEmpty())
        json.insert(QStringLiteral("savedAs"), manifest.savedAs.text());
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

std::optional<Manifest> parseManifest(const QByteArray& json, QString& problem) {
    problem.clear();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        problem = QStringLiteral("its project.json is damaged (no JSON object)");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormatName)) {
        problem = QStringLiteral("it is not a VEXA project (its project.json says otherwise)");
        return std::nullopt;
    }
    Reader reader(problem);
    const QString where = QStringLiteral("the project");
    const std::optional<QJsonValue> version =
        reader.value(root, "version", QJsonValue::Double, where, true);
    if (!version) return std::nullopt;
    if (version->toDouble() > kProjectFormatVersion) {
        problem = QStringLiteral("it was saved by a newer VEXA (project format %1; this VEXA "
                                 "reads format %2 and older)")
                      .arg(version->toDouble())
                      .arg(kProjectFormatVersion);
        return std::nullopt;
    }
    if (version->toDouble() < 1 || std::floor(version->toDouble()) != version->toDouble()) {
        reader.fail(QStringLiteral("its format version is none VEXA wrote"));
        return std::nullopt;
    }

    Manifest manifest;
    if (const auto covers = reader.value(root, "covers", QJsonValue::Object, where, true)) {
        const QJsonObject object = covers->toObject();
        for (auto it = object.begin(); it != object.end() && !reader.failed(); ++it) {
            // A kind this VEXA does not know is left out.
            const cover::CoverFormat* kind = cover::coverFormatForKey(it.key());
            if (!kind) continue;
            if (!it.value().isObject()) {
                reader.fail(QStringLiteral("%1 is not an object").arg(coverPhrase(kind->id)));
                break;
            }
            manifest.covers[cover::coverIndex(kind->id)] =
                readCover(reader, it.value().toObject(), kind->id);
        }
    }
    if (const auto print = reader.value(root, "print", QJsonValue::Object, where, true))
        manifest.print = readPrint(reader, print->toObject());
    if (const auto savedAs = reader.value(root, "savedAs", QJsonValue::String, where, false))
        manifest.savedAs = base::FilePath::fromText(savedAs->toString());
    if (reader.failed()) return std::nullopt;
    return manifest;
}

bool isPlainEntryName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > 255 || name.startsWith('.') || name.contains(".."))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

QByteArray coverEntryName(cover::CoverKind kind, const QByteArray& format) {
    QByteArray extension = format.toLower();
    if (extension == "jpeg") extension = "jpg";
    if (extension == "tiff") extension = "tif";
    if (!isPlainEntryName("x." + extension)) extension = "bin";
    return QByteArray(cover::coverFormat(kind).key).toLower() + '.' + extension;
}

} // namespace vexa::project
