#include "scan/ScannerDevice.h"

#include "scan/ScanFrames.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexa::scan {

namespace {

// Beyond this one frame is refused rather than exhausting memory (a 1200 dpi colour A4
// page is about 400 MB).
constexpr qint64 kMaxFrameBytes = qint64(2) << 30;
constexpr SANE_Int kReadChunk = 64 * 1024;

double numberOf(const SANE_Option_Descriptor& d, SANE_Word word) {
    return d.type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : double(word);
}

QString pickMode(const QStringList& modes, std::initializer_list<const char*> exact,
                 std::initializer_list<const char*> parts) {
    for (const char* name : exact)
        for (const QString& mode : modes)
            if (mode.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return mode;
    for (const char* part : parts)
        for (const QString& mode : modes)
            if (mode.contains(QLatin1String(part), Qt::CaseInsensitive)) return mode;
    return QString();
}

} // namespace

QString colourModeName(const QStringList& modes) {
    return pickMode(modes, {"Color", "Colour"}, {"color", "colour"});
}

QString grayModeName(const QStringList& modes) {
    return pickMode(modes, {"Gray", "Grey"}, {"gray", "grey"});
}

QList<int> resolutionsInRange(int min, int max, int quant, int current) {
    static constexpr int kSteps[] = {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400, 4800};
    QList<int> values;
    for (int v : kSteps)
        if (v >= min && v <= max && (quant <= 0 || (v - min) % quant == 0)) values.append(v);
    if (current >= min && current <= max) values.append(current);
    if (values.isEmpty()) values = {min, max};
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

bool ScannerDevice::open(const QString& name, QString* error) {
    close();
    if (!m_backend.isReady()) {
        *error = m_backend.failure();
        return false;
    }
    SANE_Handle handle = nullptr;
    const SANE_Status status = m_backend.open(name, &handle);
    if (status != SANE_STATUS_GOOD) {
        *error =
            QStringLiteral("The scanner \"%1\" cannot be opened: %2").arg(name, statusText(status));
        return false;
    }
    m_handle = handle;
    return true;
}

void ScannerDevice::close() {
    if (m_handle) m_backend.close(m_handle);
    m_handle = nullptr;
}

ScannerDevice::Option ScannerDevice::find(const QByteArray& name) {
    if (!m_handle) return {};
    SANE_Int count = 0;
    if (m_backend.controlOption(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
        SANE_STATUS_GOOD)
        return {};
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = m_backend.optionDescriptor(m_handle, i);
        if (d && d->name && name == d->name) return {i, d};
    }
    return {};
}

bool ScannerDevice::setOption(const QByteArray& name, const QVariant& value, QString* error) {
    const Option found = find(name);
    const SANE_Option_Descriptor* d = found.descriptor;
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) {
        *error =
            QStringLiteral("The scanner has no setting \"%1\".").arg(QString::fromLatin1(name));
        return false;
    }
    const size_t words = std::max<size_t>(1, static_cast<size_t>(d->size) / sizeof(SANE_Word));
    std::vector<SANE_Word> number;
    QByteArray text;
    void* data = nullptr;
    switch (d->type) {
    case SANE_TYPE_BOOL:
        number.assign(1, value.toBool() ? SANE_TRUE : SANE_FALSE);
        data = number.data();
        break;
    case SANE_TYPE_INT:
        number.assign(words, static_cast<SANE_Word>(qRound(value.toDouble())));
        data = number.data();
        break;
    case SANE_TYPE_FIXED:
        number.assign(words, SANE_FIX(value.toDouble()));
        data = number.data();
        break;
    case SANE_TYPE_STRING:
        text = value.toString().toLocal8Bit();
        if (text.size() >= d->size) {
            *error = QStringLiteral("The value \"%1\" is too long for the scanner.")
                         .arg(value.toString());
            return false;
        }
        text.resize(d->size, '\0');
        data = text.data();
        break;
    default:
        *error = QStringLiteral("The scanner setting \"%1\" takes no value.")
                     .arg(QString::fromLatin1(name));
        return false;
    }
    const SANE_Status status =
        m_backend.controlOption(m_handle, found.index, SANE_ACTION_SET_VALUE, data, nullptr);
    if (status != SANE_STATUS_GOOD) {
        *error = QStringLiteral("The scanner refused the setting \"%1\": %2")
                     .arg(QString::fromLatin1(name), statusText(status));
        return false;
    }
    return true;
}

QVariant ScannerDevice::option(const QByteArray& name) {
    const Option found = find(name);
    const SANE_Option_Descriptor* d = found.descriptor;
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size <= 0) return {};
    // Word-aligned room for the value, whatever its type.
    std::vector<SANE_Word> buffer(static_cast<size_t>(d->size) / sizeof(SANE_Word) + 1, 0);
    if (m_backend.controlOption(m_handle, found.index, SANE_ACTION_GET_VALUE, buffer.data(),
                                nullptr) != SANE_STATUS_GOOD)
        return {};
    switch (d->type) {
    case SANE_TYPE_BOOL:
        return buffer[0] != SANE_FALSE;
    case SANE_TYPE_INT:
        return buffer[0];
    case SANE_TYPE_FIXED:
        return SANE_UNFIX(buffer[0]);
    case SANE_TYPE_STRING: {
        const char* chars = reinterpret_cast<const char*>(buffer.data());
        return QString::fromLocal8Bit(chars, qstrnlen(chars, static_cast<size_t>(d->size)));
    }
    default:
        return {};
    }
}

ScanChoices ScannerDevice::choices() {
    ScanChoices result;
    const Option resolution = find(SANE_NAME_SCAN_RESOLUTION);
    if (const SANE_Option_Descriptor* d = resolution.descriptor;
        d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap) &&
        (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED)) {
        result.currentResolution = qRound(option(SANE_NAME_SCAN_RESOLUTION).toDouble());
        if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            const SANE_Range& r = *d->constraint.range;
            result.resolutions =
                resolutionsInRange(qRound(numberOf(*d, r.min)), qRound(numberOf(*d, r.max)),
                                   qRound(numberOf(*d, r.quant)), result.currentResolution);
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            const SANE_Word* list = d->constraint.word_list;
            for (SANE_Word i = 1; i <= list[0]; ++i)
                result.resolutions.append(qRound(numberOf(*d, list[i])));
            std::sort(result.resolutions.begin(), result.resolutions.end());
        } else {
            result.resolutions = {result.currentResolution};
        }
    }
    const Option mode = find(SANE_NAME_SCAN_MODE);
    if (const SANE_Option_Descriptor* d = mode.descriptor;
        d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap) &&
        d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
        QStringList modes;
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
            modes << QString::fromLocal8Bit(*s);
        result.colourMode = colourModeName(modes);
        result.grayMode = grayModeName(modes);
        result.currentMode = option(SANE_NAME_SCAN_MODE).toString();
    }
    return result;
}

ScanOutcome ScannerDevice::scan(const std::atomic_bool& cancel, const ScanProgress& progress) {
    ScanOutcome outcome;
    if (!m_handle) {
        outcome.error = QStringLiteral("No scanner is open.");
        return outcome;
    }
    // Every way out resets the device, after the last frame as well (SANE wants it).
    auto end = [&](ScanOutcome::Result result, const QString& error = QString()) {
        m_backend.cancel(m_handle);
        outcome.result = result;
        outcome.error = error;
        return outcome;
    };
    auto failed = [&](const QString& what, SANE_Status status) {
        return status == SANE_STATUS_CANCELLED
                   ? end(ScanOutcome::Cancelled)
                   : end(ScanOutcome::Failed, what + QStringLiteral(": ") + statusText(status));
    };

    QList<ScanFrame> frames;
    std::vector<SANE_Byte> buffer(kReadChunk);
    qint64 done = 0;
    qint64 total = -1;
    for (;;) {
        if (cancel) return end(ScanOutcome::Cancelled);
        if (const SANE_Status status = m_backend.start(m_handle); status != SANE_STATUS_GOOD)
            return failed(QStringLiteral("The scan did not start"), status);
        ScanFrame frame;
        if (const SANE_Status status = m_backend.parameters(m_handle, &frame.parameters);
            status != SANE_STATUS_GOOD)
            return failed(QStringLiteral("The scanner gave no picture size"), status);
        const SANE_Parameters& p = frame.parameters;
        if (const QString reason = unsupportedFrameReason(p); !reason.isEmpty())
            return end(ScanOutcome::Failed, reason);
        const qint64 frameBytes = p.lines > 0 ? qint64(p.bytes_per_line) * p.lines : -1;
        if (frameBytes > kMaxFrameBytes)
            return end(ScanOutcome::Failed, QStringLiteral("The scanned picture is too large."));
        if (frames.isEmpty() && frameBytes > 0)
            total = isColourBand(p) ? 3 * frameBytes : frameBytes;
        if (frameBytes > 0) frame.data.reserve(frameBytes);
        if (progress) progress(done, total);

        for (;;) {
            if (cancel) return end(ScanOutcome::Cancelled);
            SANE_Int length = 0;
            const SANE_Status status = m_backend.read(m_handle, buffer.data(), kReadChunk, &length);
            if (status == SANE_STATUS_EOF) break;
            if (status != SANE_STATUS_GOOD)
                return failed(QStringLiteral("The scan stopped"), status);
            if (frame.data.size() + length > kMaxFrameBytes)
                return end(ScanOutcome::Failed,
                           QStringLiteral("The scanned picture is too large."));
            frame.data.append(reinterpret_cast<const char*>(buffer.data()), length);
            done += length;
            if (progress) progress(done, total);
        }
        const bool last = p.last_frame || !isColourBand(p) || frames.size() >= 2;
        frames.append(std::move(frame));
        if (last) break;
    }
    m_backend.cancel(m_handle);

    QString error;
    QImage picture = assembleFrames(frames, &error);
    if (picture.isNull()) {
        outcome.error = error;
        return outcome;
    }
    if (const double dpi = option(SANE_NAME_SCAN_RESOLUTION).toDouble(); dpi > 0) {
        picture.setDotsPerMeterX(qRound(dpi / 0.0254));
        picture.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    outcome.result = ScanOutcome::Scanned;
    outcome.picture = std::move(picture);
    return outcome;
}

} // namespace vexa::scan
