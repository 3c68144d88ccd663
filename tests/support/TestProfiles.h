#pragma once

// ICC profiles made at test time with lcms2, for second programs to convert with.

#include <QString>

namespace vexa::test {

enum class TestProfile { Srgb, DisplayP3, AdobeRgb };

// Writes the profile into `path`; the calling test fails when it cannot.
void writeTestProfile(TestProfile profile, const QString& path);

} // namespace vexa::test
