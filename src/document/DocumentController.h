#pragma once

#include "document/DocumentFormat.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace plotwell {
class Alerts;
class ChartEditor;
class ChartGrid;
class ChartViewer;
class CommandCenter;
class HandlerTable;
class Desktop;
class FilePanels;
class Preferences;
class SwatchBoard;
class UnsavedChanges;
struct AppState;
} // namespace plotwell

namespace plotwell::convert {
class TablePreviewJob;
struct TablePreview;
} // namespace plotwell::convert

namespace plotwell::document {

class RecentDocuments;
struct StoredEntries;

/// Everything the document flows read, change or ask. Not owned.
struct DocumentContext
{
    ChartGrid &grid;
    SwatchBoard &swatches;
    AppState &state;
    Preferences &preferences;
    RecentDocuments &recent;
    Alerts &alerts;
    FilePanels &panels;
    Desktop &desktop;
    CommandCenter &commands;
    /// The visible chart viewer, where the table preview goes; may be null (headless).
    ChartViewer *viewer = nullptr;
    /// Where open, import and New are kept as one undoable step each; may be null.
    ChartEditor *editor = nullptr;
    /// Whether the chart has unsaved changes, asked about before an open replaces it; may be
    /// null (nothing is asked).
    const UnsavedChanges *unsaved = nullptr;
};

/// What the window does for the document flows; any of them may be left empty.
struct DocumentHooks
{
    /// Width offered to the table preview; a default width without it.
    std::function<int()> htmlWidth;
    /// Shows the progress view ("Working..") with the indicator at a value.
    std::function<void(int value)> showProgress;
    /// Offers Cancel in the progress view while the preview counts; empty takes it away.
    std::function<void(std::function<void()> cancel)> offerCancel;
    /// While a preview counts its file, the share read so far; empty once it is done.
    std::function<void(std::function<int()> percent)> followPreview;
    /// A saved chart brought back node settings: the controls should show them.
    std::function<void()> appearanceRestored;
    /// A saved chart has been put into the grid: it can be drawn.
    std::function<void()> chartRestored;
};

/// The document commands: save, open, the reopen request, new, and the sample download. Each
/// talks to the desktop only through the ports of its context, so tests drive it with fakes.
class DocumentController : public QObject
{
    Q_OBJECT
public:
    explicit DocumentController(DocumentContext context, QObject *parent = nullptr);
    ~DocumentController() override;

    void setHooks(DocumentHooks hooks);

    /// Serves `saveData:`, `openExistingDocument:`, `openRecentDocument:` and `clearAlert:`.
    void addHandlers(HandlerTable &table);

    /// `application:openFile:`: a file handed over by the system or an Open Recent entry. A
    /// relative path is taken from the current folder.
    void openFileRequest(const QString &path);

    /// Saves as `saveData:` does; true when the document was written (false when the user
    /// cancelled the panel or the write failed).
    bool save();
    /// Asks \a question before unsaved changes are replaced or left: Save (true once the
    /// document is written), Don't Save (true) or Cancel (false).
    bool offerToSave(const QString &question, const QString &consequence);
    /// Before something replaces a chart with unsaved changes (an open, New, a sample, an
    /// import): asks \a question with Save (it goes on once the chart is written), Don't Save
    /// and Cancel. True when it may go on; with nothing unsaved, true without asking.
    bool mayReplaceChart(const QString &question);

    // Command handlers.
    void saveData() { save(); }
    void openExistingDocument(const QVariant &object);
    /// The refresh request of settings changes: re-styles the table preview when the viewer
    /// shows it. The grid is never touched, and without an imported file nothing happens.
    void openRecentDocument();
    /// Asks (to save first, when there are unsaved changes), then empties the chart and
    /// forgets the document.
    void clearAlert();

    /// Reads one document given by its URL text. A missing file (a stale Open Recent entry) or
    /// a binary one is refused with an alert before anything changes.
    void openAction(const QString &urlText);
    /// The import of an ordinary CSV file: its first record becomes the row titles.
    void showCSVColumns(const QString &urlText);
    /// Offers the bundled sample file for saving.
    void downloadTemplate();

    /// Whether the visible viewer shows the table preview of the imported file.
    [[nodiscard]] bool isPreviewShown() const;
    /// Whether a table preview is being built, to replace the viewer's page once it is whole.
    [[nodiscard]] bool isPreviewPending() const;
    /// Forgets the preview being built: the viewer has been given another page meanwhile.
    void discardPendingPreview();

Q_SIGNALS:
    /// A table preview has just been loaded into the viewer.
    void tablePreviewShown();
    /// The chart is now what a file holds, or the empty chart of New: it was saved, or opened,
    /// or the grid was cleared.
    void documentSettled();

private:
    void openDocument(const QString &urlText);
    /// Runs \a change as one step of the editor when there is one.
    void recordEdit(const QString &text, const std::function<void()> &change);
    bool isOpenable(const QString &path);
    bool savePanelPath();
    bool saveStraight();
    /// Writes the document and, only once it is on disk, its companion entries.
    bool writeDocument(const QString &urlText);
    void restoreChart(const SavedChart &chart, const StoredEntries &entries,
                      const QString &urlText);
    /// Builds the preview of the imported file, on a thread of its own, and loads it into the
    /// viewer; `afterImport` also tells the user when the file holds no record (a refresh does
    /// not ask again).
    void showTablePreview(bool afterImport);
    void tablePreviewBuilt(const convert::TablePreview &preview);
    void alertWriteFailure(const QString &path, const QString &reason);

    DocumentContext m_context;
    DocumentHooks m_hooks;
    bool m_previewLoaded = false;
    bool m_importedData = false; // the open file is a data file, not a chart document
    std::unique_ptr<convert::TablePreviewJob> m_previewJob;
    /// The preview being built belongs to an import and should report a file without records.
    bool m_previewAfterImport = false;
};

} // namespace plotwell::document
