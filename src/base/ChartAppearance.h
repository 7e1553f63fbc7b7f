#pragma once

#include <QString>

#include <optional>

namespace plotwell {

/// How the chart looks. Every page request, the HTML table of a conversion and a chart's
/// companion entries carry it; the window starts with these values.
struct ChartAppearance
{
    // A classic humanist sans that Debian ships (fonts-linuxlibertine), in the spirit of the
    // Optima the chart was designed with, which Linux lacks: the default is what is drawn.
    QString fontFamily = QStringLiteral("Linux Biolinum O");
    int fontSize = 14;
    int nodeWidth = 0; ///< 0: each box as wide as its text needs
    int cornerRadius = 3;
    int colourMode = 1; ///< 0: every box in the item colour; 1: each row its own colour

    bool operator==(const ChartAppearance &) const = default;
};

/// A setting's number as a combo box or a stored entry holds it ("120"); nothing for text that
/// is not a whole number, so that a damaged entry leaves the setting as it was.
[[nodiscard]] inline std::optional<int> appearanceNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace plotwell
