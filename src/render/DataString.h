#pragma once

#include "base/AppState.h"
#include "model/ChartGrid.h"
#include "platform/Alerts.h"

#include <QString>

namespace plotwell {

/// What a render asks of the window.
struct RenderResult
{
    enum Kind {
        Load,            ///< load dataString into the viewers
        NoLoad,          ///< nothing to draw; the viewer keeps its page
        ReassignParents, ///< show reassignParentsAlert() and load nothing
    };
    Kind kind = NoLoad;
    QString dataString; ///< the escaped data string; set for Load only
};

inline const QString kReassignParentsMessage = QStringLiteral("Reassign Parents");
inline const QString kReassignParentsInformative = QStringLiteral(
    "Please reassign all your Org Chart Parents to render your chart, Simply Click on the "
    "'SELECT' button & Click on the Parent to initialize Id's for each item. It appears like the "
    "relationships are NOT set correctly.");
/// Logged when a render stops without loading anything.
inline const QString kRenderStoppedLine = QStringLiteral("Exception occured at did exit");

[[nodiscard]] AlertSpec reassignParentsAlert();
/// Why a grid with titles draws nothing: the chart starts at row 1, and it is empty.
[[nodiscard]] AlertSpec noTopBoxAlert();

/// One row's piece: title, parent, position, colour and row number joined by "_", ending in "*".
/// Row 1 gets an empty field before its number when none of its fields holds "_".
[[nodiscard]] QString rowPiece(const ChartRow &row, int number);

/// The query-safe form of a data string: "~" and "+" become "~tilde~" and "~plus~", spaces "+",
/// and "&", "=", "[", "]", "|", "%" the tokens "~amp~", "~eq~", "~lbra~", "~rbra~", "~pipe~",
/// "~pct~".
[[nodiscard]] QString escapeDataString(QString text);

/// The render: strips the parent references in the grid, settles the chart title sent and
/// builds the data string of the 93 rows, or says why nothing is loaded.
[[nodiscard]] RenderResult submitData(ChartGrid &grid, AppState &state);

} // namespace plotwell
