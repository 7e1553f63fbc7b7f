#pragma once

#include "base/Progress.h"
#include "colour/SwatchBoard.h"
#include "convert/ConversionController.h"
#include "document/ChartRecovery.h"
#include "document/DocumentController.h"
#include "document/RecentDocuments.h"
#include "export/ChartExporter.h"
#include "export/ExportController.h"
#include "model/ChartEditor.h"
#include "model/ChartGrid.h"
#include "model/ChartProblems.h"
#include "model/UnsavedChanges.h"
#include "platform/AppContext.h"
#include "render/DataString.h"
#include "render/ViewerLoader.h"
#include "shell/LiveUpdate.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace plotwell {

class ChartPictures;
class ChartViewer;
class HandlerTable;

/// The three chart viewers a workspace draws into and what takes their pictures.
struct WorkspaceViewers
{
    ChartViewer &webView;  ///< the one the user sees
    ChartViewer &webViewM; ///< lays the chart out at its full size, for pictures
    ChartViewer &webViewL; ///< lays it out at the screen's size, for the large pictures
    ChartPictures &pictures;
};

/// One chart being worked on: the grid with its 97 colour slots and every controller that
/// serves the commands on it (documents, exports, conversions, the viewers' loading). The
/// window, `plotwell render` and `plotwell request` each make one; only the window adds widgets.
/// The shared state and the command centre come with the context: the delegate keeps them for
/// the life of the process, and observes commands before any workspace exists.
class ChartWorkspace : public QObject
{
    Q_OBJECT
public:
    ChartWorkspace(AppContext context, WorkspaceViewers viewers, QObject *parent = nullptr);
    ~ChartWorkspace() override;

    [[nodiscard]] AppContext context() const { return m_context; }
    [[nodiscard]] AppState &state() const { return m_context.state; }
    [[nodiscard]] ChartGrid &grid() { return m_grid; }
    [[nodiscard]] SwatchBoard &swatches() { return m_swatches; }
    [[nodiscard]] ProgressMonitor &progress() { return m_progress; }
    [[nodiscard]] ViewerLoader &loader() { return *m_loader; }
    [[nodiscard]] ChartExporter &exporter() { return *m_exporter; }
    [[nodiscard]] ExportController &exports() { return *m_export; }
    /// The name a save panel proposes for a picture of the chart: its title, else the
    /// document's name.
    [[nodiscard]] QString proposedExportName() const;
    [[nodiscard]] convert::ConversionController &conversions() { return *m_conversions; }
    [[nodiscard]] document::DocumentController &documents() { return *m_documents; }
    [[nodiscard]] document::RecentDocuments &recentDocuments() { return *m_recent; }
    /// Every edit of the chart, undoable; the samples, open, import and New go through it too.
    /// Its edited() signal also brings the swatches in line with the colour texts.
    [[nodiscard]] ChartEditor &editor() { return *m_editor; }
    /// The problems list, kept up to date with the grid.
    [[nodiscard]] ProblemListModel &problems() { return *m_problems; }
    /// "Update as I edit": its redrawDue() runs renderLive().
    [[nodiscard]] LiveUpdate &liveUpdate() { return *m_live; }
    /// Whether the chart has changes that are not saved; the window's title shows it. Saved
    /// again by every save, open and New; the window marks its launch chart saved itself.
    [[nodiscard]] UnsavedChanges &unsavedChanges() { return *m_unsaved; }

    /// The width the HTML table of a conversion and the table preview take; the window's
    /// viewer width once a window sets it, the converters' default before.
    void setHtmlWidth(std::function<int()> width);

    /// What Render means: the grid's data string goes to the viewers, or the user is asked to
    /// reassign parents (through the alerts), or there is nothing to draw (said through the
    /// alerts when the grid has titles but row 1 has none).
    RenderResult render();
    /// A render that replaces the chart on show instead of adding to the viewer's history (the
    /// first chart is loaded as usual). Asks nothing: a grid that cannot be drawn is left alone.
    RenderResult renderLive();

    /// Fills the grid with sample 1 or 2 (false for any other number), as one undoable step.
    bool loadSample(int sample);

    /// Fills the grid from a file as Open would without asking anything: a chart document we
    /// wrote is restored, any other CSV gives its first record as titles. Returns what went
    /// wrong, for the user; empty on success.
    [[nodiscard]] QString loadChartFile(const QString &path);

    /// Every controller's handlers, by name: the one place where controllers are added. The
    /// workspace serves `undoEdit` and `redoEdit` itself.
    void addHandlers(HandlerTable &table);

    /// Asks before the window closes, when the chart has unsaved changes: Save (the window
    /// closes only once the document is written), Don't Save, or Cancel. True when the window
    /// may close; the recovery copy is then given up.
    bool confirmQuit();

    /// Keeps a copy of the chart in \a path while it has unsaved changes, for a run that ends
    /// before they are saved (document::ChartRecovery). The window gives the path; commands keep
    /// none. A copy an earlier run left there stays until recovered or discarded.
    void keepRecoveryCopyIn(const QString &path);
    /// Whether an earlier run left a copy of a chart it did not save.
    [[nodiscard]] bool hasRecoveryCopy() const;
    /// Puts that copy into the grid as one undoable step: an untitled chart with unsaved
    /// changes. False when there is none to read.
    bool recoverChart();
    void discardRecoveryCopy();

Q_SIGNALS:
    /// recoverChart() brought a chart back, its look with it.
    void chartRecovered();

private:
    AppContext m_context;
    ChartGrid m_grid;
    SwatchBoard m_swatches;
    ProgressMonitor m_progress;
    std::function<int()> m_htmlWidth;
    std::unique_ptr<ViewerLoader> m_loader;
    std::unique_ptr<document::RecentDocuments> m_recent;
    std::unique_ptr<document::DocumentController> m_documents;
    std::unique_ptr<ChartExporter> m_exporter;
    std::unique_ptr<ExportController> m_export;
    std::unique_ptr<convert::ConversionController> m_conversions;
    std::unique_ptr<ChartEditor> m_editor;
    /// Follows the editor; the document controller asks it before an open replaces the chart.
    std::unique_ptr<UnsavedChanges> m_unsaved;
    std::unique_ptr<ProblemListModel> m_problems;
    std::unique_ptr<LiveUpdate> m_live;
    std::unique_ptr<document::ChartRecovery> m_recovery;
    /// Writes the recovery copy once edits pause, not at every keystroke.
    QTimer m_recoveryTimer;
    /// Whether this run wrote the copy: one left by an earlier run waits for the user.
    bool m_recoveryWritten = false;
};

} // namespace plotwell
