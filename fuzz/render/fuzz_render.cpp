// Any text in any field of the grid, any colour text and any colour line: the render, the page
// requests and the colour conversions must neither crash nor produce an unusable URL.
#include "colour/ColorLine.h"
#include "colour/Colour.h"
#include "model/ParentReferences.h"
#include "render/DataString.h"
#include "render/PageRequest.h"

#include <cstdint>
#include <cstdlib>

using namespace plotwell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList fields = input.split(QChar(0));

    ChartGrid grid;
    AppState state;
    SwatchBoard board;
    grid.setSetting(ChartSetting::ChartTitle, fields.value(0));
    grid.setSetting(ChartSetting::XaxisLabel, fields.value(1));
    for (int i = 2; i < fields.size(); ++i) {
        const int row = (i - 2) / 4 % kRowCount + 1;
        grid.setField(row, RowField((i - 2) % 4), fields.at(i));
        (void)colorWithHexString(fields.at(i));
    }
    (void)searchParents(initializeParents(grid), fields.value(3));
    applyColorLine(grid, board, input, false);
    (void)hexStringFromColor(board.colour(1));

    const RenderResult result = submitData(grid, state);
    const RequestSettings settings = gatherRequestSettings(grid, state, QStringLiteral("/r/p?d="));
    for (const QString &request : {viewerRequest(settings, result.dataString),
                                   exportRequest(settings, result.dataString, 1, 2)}) {
        if (!requestUrl(request).isValid())
            std::abort();
    }
    return 0;
}
