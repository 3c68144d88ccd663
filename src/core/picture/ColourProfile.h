#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

namespace vexa::picture {

// Colour conversions through lcms2: pictures with an ICC profile into sRGB, which VEXA's
// pixels are everywhere (the screen, the editor, the pages it writes). Rendering intent
// perceptual, without black point compensation, as lcms2's jpgicc and tificc do by default.

// The colours an ICC profile describes, as lcms2 reads it; None when lcms2 cannot read it or
// it is neither grey, RGB nor CMYK. A PDF page takes a profile as ICCBased with 1, 3 or 4
// components.
enum class ProfileColours { None, Grey, Rgb, Cmyk };
ProfileColours iccProfileColours(const QByteArray& icc);

// The picture (Format_RGB32, Format_ARGB32 or Format_Grayscale8) converted from `icc` into
// sRGB, grey staying grey (with sRGB's curve). The same picture when the profile does not
// describe the picture's colours or cannot be read. The result has no colour space set: it is
// sRGB as every untagged picture is taken to be.
QImage convertedToSrgb(const QImage& picture, const QByteArray& icc);

// A picture Qt tagged with a colour space (a pasted bitmap, a PNG's gAMA and cHRM) in sRGB,
// untagged; an untagged picture as it is.
QImage untaggedSrgb(const QImage& picture);

// The standard CMYK profile for CMYK pictures without their own: Ghostscript's default CMYK
// profile (a SWOP press), from libgs-common.
QString standardCmykProfilePath();

// Converts rows of CMYK samples into sRGB pixels through the picture's own profile or, without
// one, the standard one. `inverted` when the samples are stored inverted, as every CMYK JPEG
// with an Adobe marker (Photoshop's and ImageMagick's) stores them. Without any usable profile
// (the standard one missing) the colours are the plain complement of the inks, as other
// readers show such files.
class CmykToSrgb {
public:
    CmykToSrgb(const QByteArray& icc, bool inverted);
    ~CmykToSrgb();
    CmykToSrgb(const CmykToSrgb&) = delete;
    CmykToSrgb& operator=(const CmykToSrgb&) = delete;

    // `width` pixels: 4 bytes a pixel in, one opaque QRgb a pixel out.
    void convert(const uchar* cmyk, QRgb* out, int width) const;
    bool throughProfile() const;

private:
    struct Transform;
    std::unique_ptr<Transform> m_transform;
    bool m_inverted;
};

} // namespace vexa::picture
