#include "core/picture/ColourProfile.h"

#include "core/base/Log.h"

#include <QColorSpace>
#include <QFile>

#include <lcms2.h>

namespace vexa::picture {

namespace {

// lcms2's objects, ended with their owners; a context of their own keeps calls on several
// threads apart and quiet (lcms2 reports a broken profile by its return values too).
struct Context {
    cmsContext id = cmsCreateContext(nullptr, nullptr);
    Context() {
        if (id) cmsSetLogErrorHandlerTHR(id, [](cmsContext, cmsUInt32Number, const char*) {});
    }
    ~Context() {
        if (id) cmsDeleteContext(id);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

struct Profile {
    cmsHPROFILE handle = nullptr;
    explicit Profile(cmsHPROFILE h) : handle(h) {}
    ~Profile() {
        if (handle) cmsCloseProfile(handle);
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
};

Profile openProfile(const Context& context, const QByteArray& icc) {
    if (!context.id || icc.isEmpty()) return Profile(nullptr);
    return Profile(
        cmsOpenProfileFromMemTHR(context.id, icc.constData(), cmsUInt32Number(icc.size())));
}

ProfileColours coloursOf(cmsHPROFILE profile) {
    if (!profile) return ProfileColours::None;
    switch (cmsGetColorSpace(profile)) {
    case cmsSigGrayData:
        return ProfileColours::Grey;
    case cmsSigRgbData:
        return ProfileColours::Rgb;
    case cmsSigCmykData:
        return ProfileColours::Cmyk;
    default:
        return ProfileColours::None;
    }
}

// Grey with sRGB's curve and white: the grey of an sRGB picture.
cmsHPROFILE srgbGreyProfile(cmsContext context) {
    const cmsFloat64Number kSrgbCurve[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(context, 4, kSrgbCurve);
    if (!curve) return nullptr;
    cmsHPROFILE grey = cmsCreateGrayProfileTHR(context, cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    return grey;
}

// Pixels of Format_RGB32 and Format_ARGB32 as lcms2 names them: B, G, R, A bytes in memory on
// a little-endian machine.
constexpr cmsUInt32Number kRgb32Type = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;

} // namespace

ProfileColours iccProfileColours(const QByteArray& icc) {
    const Context context;
    const Profile profile = openProfile(context, icc);
    return coloursOf(profile.handle);
}

QImage convertedToSrgb(const QImage& picture, const QByteArray& icc) {
    const Context context;
    const Profile source = openProfile(context, icc);
    const ProfileColours colours = coloursOf(source.handle);
    if (picture.isNull() || !context.id) return picture;
    QImage input = picture;
    const bool grey = colours == ProfileColours::Grey;
    if (grey && input.format() != QImage::Format_Grayscale8) {
        // A grey profile on colour pixels (a grey TIFF read as RGB): its grey.
        input = input.convertToFormat(QImage::Format_Grayscale8);
    }
    const bool greyPixels = input.format() == QImage::Format_Grayscale8;
    if (grey != greyPixels || (colours != ProfileColours::Rgb && !grey)) return picture;
    if (!greyPixels && input.format() != QImage::Format_RGB32 &&
        input.format() != QImage::Format_ARGB32)
        input = input.convertToFormat(QImage::Format_RGB32);
    const Profile target(grey ? srgbGreyProfile(context.id) : cmsCreate_sRGBProfileTHR(context.id));
    if (!target.handle) return picture;
    const cmsUInt32Number type = greyPixels ? TYPE_GRAY_8 : kRgb32Type;
    cmsHTRANSFORM transform =
        cmsCreateTransformTHR(context.id, source.handle, type, target.handle, type,
                              INTENT_PERCEPTUAL, greyPixels ? 0 : cmsFLAGS_COPY_ALPHA);
    if (!transform) return picture;
    QImage output(input.size(), input.format());
    if (output.isNull()) {
        cmsDeleteTransform(transform);
        return QImage();
    }
    cmsDoTransformLineStride(transform, input.constBits(), output.bits(),
                             cmsUInt32Number(input.width()), cmsUInt32Number(input.height()),
                             cmsUInt32Number(input.bytesPerLine()),
                             cmsUInt32Number(output.bytesPerLine()), 0, 0);
    cmsDeleteTransform(transform);
    output.setDotsPerMeterX(picture.dotsPerMeterX());
    output.setDotsPerMeterY(picture.dotsPerMeterY());
    return output;
}

QImage untaggedSrgb(const QImage& picture) {
    const QColorSpace space = picture.colorSpace();
    if (!space.isValid()) return picture;
    QImage untagged = picture;
    untagged.setColorSpace(QColorSpace());
    if (space == QColorSpace(QColorSpace::SRgb)) return untagged;
    if (!space.iccProfile().isEmpty()) return convertedToSrgb(untagged, space.iccProfile());
    QImage converted = picture.convertedToColorSpace(QColorSpace::SRgb);
    converted.setColorSpace(QColorSpace());
    return converted;
}

QString standardCmykProfilePath() {
    return QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
}

struct CmykToSrgb::Transform {
    Context context;
    cmsHTRANSFORM handle = nullptr;
    ~Transform() {
        if (handle) cmsDeleteTransform(handle);
    }
};

CmykToSrgb::CmykToSrgb(const QByteArray& icc, bool inverted)
    : m_transform(std::make_unique<Transform>()), m_inverted(inverted) {
    const cmsContext context = m_transform->context.id;
    QByteArray profileData = iccProfileColours(icc) == ProfileColours::Cmyk ? icc : QByteArray();
    if (profileData.isEmpty()) {
        QFile standard(standardCmykProfilePath());
        if (standard.open(QIODevice::ReadOnly)) profileData = standard.readAll();
    }
    const Profile source = openProfile(m_transform->context, profileData);
    const Profile target(context ? cmsCreate_sRGBProfileTHR(context) : nullptr);
    if (coloursOf(source.handle) != ProfileColours::Cmyk || !target.handle) {
        qCDebug(base::lcPicture) << "no CMYK profile; inks complemented";
        return;
    }
    // lcms2's CMYK is ink amounts; inverted samples are its "reverse" (subtractive) layout.
    m_transform->handle =
        cmsCreateTransformTHR(context, source.handle, inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8,
                              target.handle, kRgb32Type, INTENT_PERCEPTUAL, 0);
}

CmykToSrgb::~CmykToSrgb() = default;

bool CmykToSrgb::throughProfile() const {
    return m_transform->handle != nullptr;
}

void CmykToSrgb::convert(const uchar* cmyk, QRgb* out, int width) const {
    if (m_transform->handle) {
        // lcms2 leaves the alpha byte it has no input for as it finds it.
        std::fill(out, out + width, qRgb(0, 0, 0));
        cmsDoTransform(m_transform->handle, cmyk, out, cmsUInt32Number(width));
        return;
    }
    for (int x = 0; x < width; ++x) {
        const uchar* in = cmyk + 4 * x;
        const auto ink = [&](int i) { return m_inverted ? 255 - in[i] : int(in[i]); };
        const int k = 255 - ink(3);
        out[x] = qRgb(k * (255 - ink(0)) / 255, k * (255 - ink(1)) / 255, k * (255 - ink(2)) / 255);
    }
}

} // namespace vexa::picture
