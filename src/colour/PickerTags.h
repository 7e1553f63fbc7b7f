#pragma once

#include <QString>

#include <optional>

namespace plotwell {

/// The 108 colour picker buttons, told apart by their tag.
inline constexpr int kPickerTagCount = 108;

/// What a picker button's tag addresses: the swatch that presets the popover and takes the
/// picked colour (an id of SwatchBoard), and the colour slot whose text takes its hex text.
/// The "b" pickers (tags 32-42) recolour their own swatch but write the text of rows 1-11.
struct PickerTarget
{
    int swatch = 0;
    int textSlot = 0;
    bool operator==(const PickerTarget &) const = default;
};

/// Nothing for tags outside 1..108.
[[nodiscard]] std::optional<PickerTarget> pickerTarget(int tag);

/// The window's name of the picker button with \a tag ("button9c", "buttonLine"); empty for
/// unknown tags.
[[nodiscard]] QString pickerButtonName(int tag);

} // namespace plotwell
