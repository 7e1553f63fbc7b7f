#pragma once

#include <QObject>

class QWebEngineView;

namespace plotwell {

class ChartEditor;
class GridView;

/// The chart page's way back to the grid, over the web channel: a box clicked selects its row,
/// a box dropped onto another takes that one as its parent. The page hands over row numbers
/// only, never text, so nothing it sends is run or shown as markup.
class ChartBoxEdits : public QObject
{
    Q_OBJECT
public:
    /// The name the page finds this object under (`channel.objects.chartEdits`).
    static constexpr const char *kChannelName = "chartEdits";

    ChartBoxEdits(GridView &grid, ChartEditor &editor, QObject *parent = nullptr);

    /// Gives \a view's page a channel to this object, and the channel's script to every page
    /// it loads. Only the viewer the user sees gets one, so pictures never react to a mouse.
    void attach(QWebEngineView *view);

public Q_SLOTS:
    /// Selects \a row in the grid.
    void boxClicked(int row);
    /// Makes \a parentRow the parent of \a row, as the item picker would: one undo step.
    void boxDropped(int row, int parentRow);

Q_SIGNALS:
    /// A drop changed the grid: the chart on show is out of date.
    void chartChanged();

private:
    GridView &m_grid;
    ChartEditor &m_editor;
};

} // namespace plotwell
