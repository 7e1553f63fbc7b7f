#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

#include <optional>

namespace plotwell {

/// The colour of six hexadecimal digits, red, green, blue ("CD6A80", any case, surrounding
/// white space and a "0x" prefix allowed). Anything else of the wrong length, a leading "#"
/// included, gives grey; never fails. A pair without a leading hexadecimal digit reads as 0.
[[nodiscard]] QColor colorWithHexString(QStringView text);

/// "#" and six upper-case hexadecimal digits of \a colour, each component clamped into [0, 1]
/// and truncated, not rounded, to a byte.
[[nodiscard]] QString hexStringFromColor(const QColor &colour);

/// The colour a slot's text names as the user types it: six hexadecimal digits, any "#" and
/// surrounding white space ignored (the chart drops "#" too). Nothing while the text is
/// incomplete or not a colour, so a swatch can keep its colour until the text is one.
[[nodiscard]] std::optional<QColor> colourOfSlotText(QStringView text);

} // namespace plotwell
