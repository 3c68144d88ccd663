#pragma once

#include <cstdint>
#include <span>

namespace vexa::editor {

// The Cover Manipulator's effect menus: which effect and parameter each item runs.
enum class EffectMenu { Normal, Special, Colors };

struct EffectMenuItem {
    EffectMenu menu;
    const char* caption; // with its access key
    const char* objectName;
    std::int32_t effectId;
    std::int32_t parameter; // colours as red + 256 green + 65536 blue
    bool separatorAfter;
};

// The items in menu order.
std::span<const EffectMenuItem> effectMenuItems();

// The menu titles, with their access keys, and their object names.
const char* effectMenuTitle(EffectMenu menu);
const char* effectMenuObjectName(EffectMenu menu);

} // namespace vexa::editor
