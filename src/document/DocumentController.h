#pragma once

#include "document/DocumentFormat.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace plotwell {
class Alerts;
class ChartGrid;
class ChartViewer;
class CommandCenter;
class Desktop;
class FilePanels;
class Preferences;
class SwatchBoard;
struct AppState;
} // namespace plotwell

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
};

/// What the window does for the document flows; any of them may be left empty.
struct DocumentHooks
{
    /// The table preview page of a file, styled with the current settings.
    std::function<QString(const QString &fileUrl)> buildTablePreview;
    /// Shows the progress view with a text and an indicator value.
    std::function<void(const QString &text, int value)> showProgress;
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

    /// Observes `saveDocument`, `openExistingDocument`, `openRecentDocument` and `newDocument`,
    /// each under its own guard line.
    void registerCommands();

    // Menu actions: set the shared state and post their command.
    void saveFile();
    void saveAsFile();
    void openFile();
    void newFile();
    /// A file handed over by the system or the command line (also an Open Recent entry).
    /// A relative path is taken from the current folder.
    void openFileRequest(const QString &path);
    /// End of launch: a file handed over before the window existed is opened now.
    void openPendingRequest();

    // Command handlers.
    void saveData();
    void openExistingDocument(const QVariant &object);
    /// The refresh request of settings changes: re-styles the table preview when the viewer
    /// shows it. The grid is never touched, and without an imported file nothing happens.
    void openRecentDocument();
    /// Asks, then empties the chart and forgets the document.
    void clearAlert();

    /// Reads one document given by its URL text.
    void openAction(const QString &urlText);
    /// The import of an ordinary CSV file: its first record becomes the row titles.
    void showCSVColumns(const QString &urlText);
    /// Offers the bundled sample file for saving.
    void downloadTemplate();

    /// Whether the visible viewer shows the table preview of the imported file.
    [[nodiscard]] bool isPreviewShown() const;

private:
    void savePanelPath();
    void saveStraight();
    /// Writes the document and, only once it is on disk, its companion entries.
    bool writeDocument(const QString &urlText);
    void restoreChart(const SavedChart &chart, const StoredEntries &entries);
    void showTablePreview();
    void alertWriteFailure(const QString &path, const QString &reason);

    DocumentContext m_context;
    DocumentHooks m_hooks;
    bool m_previewLoaded = false;
};

} // namespace plotwell::document
