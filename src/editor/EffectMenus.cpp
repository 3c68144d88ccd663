#include "editor/EffectMenus.h"

#include <array>

namespace vexa::editor {

namespace {

constexpr std::int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

constexpr std::array<EffectMenuItem, 20> kItems{{
    {EffectMenu::Normal, "&Blur", "blur", 3, 0, false},
    {EffectMenu::Normal, "&Diffuse", "diffuse", 4, 6, false},
    {EffectMenu::Normal, "S&harpen", "sharpen", 1, 2, false},
    {EffectMenu::Normal, "&Smooth", "smooth", 5, 0, false},
    {EffectMenu::Special, "&Add Noise", "addnoise", 29, 50, false},
    {EffectMenu::Special, "&Contour", "contour", 7, rgb(255, 255, 255), false},
    {EffectMenu::Special, "&Dilate", "dilate", 25, 0, false},
    {EffectMenu::Special, "&Emboss", "emboss", 8, rgb(0, 120, 120), false},
    {EffectMenu::Special, "E&ngrave", "engrave", 10, rgb(0, 120, 120), false},
    {EffectMenu::Special, "Ed&ge Detect", "edgedetect", 27, 0, false},
    {EffectMenu::Special, "Edge En&hance", "edgeenhance", 6, 1, false},
    {EffectMenu::Special, "Er&ode", "erode", 26, 0, false},
    {EffectMenu::Special, "&Relief", "relief", 13, 0, false},
    {EffectMenu::Colors, "&Black && White", "blackandwhite", 18, rgb(180, 180, 180), false},
    {EffectMenu::Colors, "&Gray Scale", "grayscale", 12, 0, false},
    {EffectMenu::Colors, "&Negative", "negative", 2, 0, true},
    {EffectMenu::Colors, "&Contrast +", "increasecontrast", 17, 10, false},
    {EffectMenu::Colors, "Con&trast -", "decreasecontrast", 17, -10, true},
    {EffectMenu::Colors, "&Saturation +", "increasesaturation", 30, 15, false},
    {EffectMenu::Colors, "Sat&uration -", "decreasesaturation", 30, -15, false},
}};

} // namespace

std::span<const EffectMenuItem> effectMenuItems() {
    return kItems;
}

const char* effectMenuTitle(EffectMenu menu) {
    switch (menu) {
    case EffectMenu::Normal:
        return "&Normal";
    case EffectMenu::Special:
        return "&Special";
    case EffectMenu::Colors:
        return "&Colors";
    }
    return "";
}

const char* effectMenuObjectName(EffectMenu menu) {
    switch (menu) {
    case EffectMenu::Normal:
        return "normal";
    case EffectMenu::Special:
        return "Special";
    case EffectMenu::Colors:
        return "colors";
    }
    return "";
}

} // namespace vexa::editor
