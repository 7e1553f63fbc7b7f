#include "colour/ColorLine.h"

#include "base/Log.h"
#include "colour/Colour.h"

#include <algorithm>

namespace plotwell {

const QString &defaultPalette()
{
    static const QString palette = QStringLiteral(
        "#FFFFFF#CD6A80#504DCD#FF8C00#8E388E#00ae00#ff6e01#935c24#388E8E#5483a2#B0171F#912CEE"
        "#00ae00#00868B#698B22#FFA500#7171C6#418cf0#00BFFF#4682B4#FF8C00#0000EE#6E7B8B#FF6103"
        "#FFE4E1#808000#9BCD9B#87CEFA#D02090#308014#9ACD32#418cf0#CD6A80#504DCD#FF8C00#8E388E"
        "#00ae00#ff6e01#935c24#388E8E#5483a2#B0171F#912CEE#00ae00#00868B#698B22#FFA500#7171C6"
        "#418cf0#00BFFF#4682B4#FF8C00#0000EE#6E7B8B#FF6103#FFE4E1#808000#9BCD9B#87CEFA#D02090"
        "#308014#9ACD32#418cf0#CD6A80#504DCD#FF8C00#8E388E#00ae00#ff6e01#935c24#388E8E#5483a2"
        "#B0171F#912CEE#00ae00#00868B#698B22#FFA500#7171C6#418cf0#00BFFF#4682B4#FF8C00#0000EE"
        "#6E7B8B#FF6103#FFE4E1#808000#9BCD9B#87CEFA#D02090#308014#9ACD32#ffffff#104E8B#FFFFFF"
        "#3388DD");
    return palette;
}

QString buildColorLine(const ChartGrid &grid)
{
    QString line;
    for (int slot = 1; slot <= kColourSlotCount; ++slot) {
        line += QLatin1Char('#');
        line += QString(grid.slotText(slot)).remove(QLatin1Char('#'));
    }
    return line;
}

QStringList splitColorLine(const QString &line)
{
    QStringList pieces = line.split(QLatin1Char('#'));
    pieces.removeFirst();
    return pieces;
}

int applyColorLine(ChartGrid &grid, SwatchBoard &board, const QString &line, bool writeDiagnostics)
{
    const QStringList entries = splitColorLine(line);
    int slot = 0;
    for (const QString &entry : entries) {
        ++slot;
        if (writeDiagnostics)
            diag(QStringLiteral("_COLOR: %1_%2").arg(slot).arg(entry));
        if (slot > kColourSlotCount)
            continue;
        grid.setSlotText(slot, QLatin1Char('#') + entry);
        board.setColour(slot, colorWithHexString(entry));
    }
    return std::min(slot, kColourSlotCount);
}

void resetColors(ChartGrid &grid, SwatchBoard &board)
{
    applyColorLine(grid, board, defaultPalette(), true);
}

} // namespace plotwell
