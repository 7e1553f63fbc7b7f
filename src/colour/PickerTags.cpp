#include "colour/PickerTags.h"

#include "colour/SwatchBoard.h"

namespace plotwell {

namespace {

// Tag ranges in the order the window numbers them; the swatch and text slot follow from the
// tag's offset within its range.
struct TagRange
{
    int firstTag;
    int lastTag;
    int firstSwatch;
    int firstTextSlot;
    const char *namePrefix; // "button" + place + suffix, or a fixed name when place is unused
    const char *nameSuffix;
    bool numbered;
};

constexpr TagRange kRanges[] = {
    {1, 31, 1, 1, "button", "", true},
    {32, 42, bSwatch(1), 1, "button", "b", true},
    {43, 43, kBackgroundSlot, kBackgroundSlot, "button", "", false},
    {44, 44, kLabelSlot, kLabelSlot, "buttonLabels", "", false},
    {45, 75, 32, 32, "button", "c", true},
    {76, 106, 63, 63, "button", "d", true},
    {107, 107, kItemSlot, kItemSlot, "buttonItems", "", false},
    {108, 108, kLineSlot, kLineSlot, "buttonLine", "", false},
};

const TagRange *rangeOf(int tag)
{
    for (const TagRange &range : kRanges) {
        if (tag >= range.firstTag && tag <= range.lastTag)
            return &range;
    }
    return nullptr;
}

} // namespace

std::optional<PickerTarget> pickerTarget(int tag)
{
    const TagRange *range = rangeOf(tag);
    if (!range)
        return std::nullopt;
    const int offset = tag - range->firstTag;
    return PickerTarget{range->firstSwatch + offset, range->firstTextSlot + offset};
}

QString pickerButtonName(int tag)
{
    const TagRange *range = rangeOf(tag);
    if (!range)
        return {};
    QString name = QLatin1String(range->namePrefix);
    if (range->numbered)
        name += QString::number(tag - range->firstTag + 1);
    return name + QLatin1String(range->nameSuffix);
}

} // namespace plotwell
