#include "support/TestProfiles.h"

#include <gtest/gtest.h>

#include <lcms2.h>

namespace vexa::test {

namespace {

// sRGB's curve (IEC 61966-2-1) as lcms2's parametric type 4.
cmsToneCurve* srgbCurve() {
    const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

} // namespace

void writeTestProfile(TestProfile profile, const QString& path) {
    cmsHPROFILE made = nullptr;
    if (profile == TestProfile::Srgb) {
        made = cmsCreate_sRGBProfile();
    } else {
        // D65 white; Display P3's primaries with sRGB's curve, or Adobe RGB (1998)'s with its
        // gamma of 563/256.
        const cmsCIExyY white = {0.3127, 0.3290, 1.0};
        const bool p3 = profile == TestProfile::DisplayP3;
        const cmsCIExyYTRIPLE primaries =
            p3 ? cmsCIExyYTRIPLE{{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}
               : cmsCIExyYTRIPLE{{0.640, 0.330, 1}, {0.210, 0.710, 1}, {0.150, 0.060, 1}};
        cmsToneCurve* curve = p3 ? srgbCurve() : cmsBuildGamma(nullptr, 563.0 / 256);
        cmsToneCurve* curves[3] = {curve, curve, curve};
        made = cmsCreateRGBProfile(&white, &primaries, curves);
        cmsFreeToneCurve(curve);
        if (made) {
            const char* name = p3 ? "Display P3 (test)" : "Adobe RGB (test)";
            cmsMLU* description = cmsMLUalloc(nullptr, 1);
            cmsMLUsetASCII(description, "en", "US", name);
            cmsWriteTag(made, cmsSigProfileDescriptionTag, description);
            cmsMLUfree(description);
        }
    }
    ASSERT_NE(made, nullptr);
    const bool saved = cmsSaveProfileToFile(made, path.toLocal8Bit().constData());
    cmsCloseProfile(made);
    ASSERT_TRUE(saved) << path.toStdString();
}

} // namespace vexa::test
