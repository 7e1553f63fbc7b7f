#pragma once

#include "base/Commands.h"
#include "base/Progress.h"
#include "colour/SwatchBoard.h"
#include "convert/ConversionController.h"
#include "document/DocumentController.h"
#include "document/RecentDocuments.h"
#include "export/ChartExporter.h"
#include "export/ExportController.h"
#include "model/ChartGrid.h"
#include "platform/AppContext.h"
#include "render/ViewerLoader.h"
#include "shell/ChartWorkspace.h"
#include "shell/Launch.h"
#include "shell/ShellController.h"
#include "ui/AppearancePanel.h"
#include "ui/ChartEditing.h"
#include "ui/Popovers.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolButton;

namespace plotwell {

class ChartPictures;
class ChartViewer;
class GridView;
class SwatchView;
class WorkCard;

/// The three chart viewers and the widgets that show them. A viewer without a widget (a test
/// double) gets a plain stand-in widget so the layout still has something to place.
struct ChartViewers
{
    ChartViewer *webView = nullptr;
    ChartViewer *webViewM = nullptr;
    ChartViewer *webViewL = nullptr;
    QWidget *webViewWidget = nullptr;
    QWidget *webViewMWidget = nullptr;
    QWidget *webViewLWidget = nullptr;
    /// Takes the pictures of the export viewers; without it every picture fails.
    ChartPictures *pictures = nullptr;
};

/// Three QWebEngineViews behind the viewer port and their pictures, owned by \a owner.
[[nodiscard]] ChartViewers makeWebEngineViewers(QObject *owner);

/// The main view: the sidebar with the chart title, appearance and the grid, the chart
/// viewers, the progress view and the popovers. It owns the ChartGrid and composes the
/// controllers that serve the commands.
class MasterViewController : public QWidget,
                             private ShellView,
                             private ViewLoadHost,
                             private EditingAnchors
{
    Q_OBJECT
public:
    MasterViewController(AppContext context, ChartViewers viewers, QWidget *parent = nullptr);
    ~MasterViewController() override;

    /// `loadView`: runs once, when the window first asks for the view.
    void loadView();

    [[nodiscard]] ChartWorkspace &workspace() { return *m_workspace; }
    [[nodiscard]] ChartGrid &grid() { return m_workspace->grid(); }
    [[nodiscard]] GridView &gridView() { return *m_gridView; }
    [[nodiscard]] ShellController &shell() { return *m_shell; }
    [[nodiscard]] ViewerLoader &viewerLoader() { return m_workspace->loader(); }
    [[nodiscard]] ProgressMonitor &progress() { return m_workspace->progress(); }
    [[nodiscard]] ExportController &exports() { return m_workspace->exports(); }
    [[nodiscard]] convert::ConversionController &conversions()
    {
        return m_workspace->conversions();
    }
    [[nodiscard]] SwatchBoard &swatches() { return m_workspace->swatches(); }
    [[nodiscard]] document::DocumentController &documents() { return m_workspace->documents(); }
    [[nodiscard]] document::RecentDocuments &recentDocuments()
    {
        return m_workspace->recentDocuments();
    }
    [[nodiscard]] const ChartViewers &viewers() const { return m_viewers; }
    [[nodiscard]] OptionsPopover &optionsPopover() { return *m_options; }
    /// The Appearance tab's widgets; they are built when first shown or asked for.
    [[nodiscard]] AppearancePanel &appearance()
    {
        buildSettingsPanel();
        return *m_appearance;
    }
    [[nodiscard]] ChartEditing &editing() { return *m_editing; }
    [[nodiscard]] QuickColoursStrip &quickColours()
    {
        buildSettingsPanel();
        return *m_quickColours;
    }
    /// The colour picker button with \a tag (1..108), null for other tags.
    [[nodiscard]] QAbstractButton *pickerButton(int tag) const override;
    /// The SELECT button of \a row.
    [[nodiscard]] QAbstractButton *selectButton(int row) const override;
    /// The view of swatch \a swatch (a SwatchBoard id), null for unknown ids.
    [[nodiscard]] SwatchView *swatchView(int swatch) const;
    [[nodiscard]] QWidget *progressView() const { return m_progressView; }
    [[nodiscard]] QPushButton *progressCancelButton() const { return m_progressCancel; }
    /// Over the viewer while a chart is drawn, once that has taken a moment (a large
    /// organisation); null until first needed.
    [[nodiscard]] WorkCard *drawingCard() const { return m_drawingCard; }
    /// Over the viewer while a file is exported that takes a while (a whole organisation): what
    /// is done, how far it has got, Cancel. Made when first asked for.
    [[nodiscard]] WorkCard &exportCard();
    /// Over the viewer while it shows the placeholder: Load Sample, Open CSV…, drop a file.
    [[nodiscard]] QWidget *startScreen() const { return m_startScreen; }
    [[nodiscard]] QPushButton *renderButton() const { return m_renderButton; }
    [[nodiscard]] QPushButton *hideButton() const { return m_hideButton; }
    [[nodiscard]] QToolButton *helpButton() const { return m_helpButton; }
    [[nodiscard]] QScrollArea *scrollView() const { return m_scrollView; }
    [[nodiscard]] QWidget *chartTitleView() const { return m_chartTitleView; }
    [[nodiscard]] QWidget *sideBar()
    {
        buildSettingsPanel();
        return m_sideBar;
    }
    /// The sidebar (chart title, the Rows and Appearance tabs) and the viewer, side by side.
    [[nodiscard]] QSplitter *splitter() const { return m_splitter; }
    [[nodiscard]] QTabWidget *sideTabs() const { return m_sideTabs; }
    /// The problems of the grid, under it; hidden while there are none.
    [[nodiscard]] QWidget *problemsPanel() const { return m_problemsPanel; }
    [[nodiscard]] QListView *problemsView() const { return m_problemsView; }
    /// The chart-type code read at view load.
    [[nodiscard]] QString ctype() const { return m_workspace->grid().setting(ChartSetting::Ctype); }

    /// `submitData:`: the Render Chart button.
    void submitData();
    /// `liveSample:`: the sample button.
    void liveSample();
    /// Shows the options popover with \a panel, anchored on \a anchor.
    void showOptions(OptionsPopover::Panel panel, QWidget *anchor);
    /// `myOptsAction:`: the popover on the options button, keeping its panel.
    void myOptsAction();
    void willEnterFull() { m_shell->willEnterFull(); }
    void didExitFull() { m_shell->didExitFull(); }

Q_SIGNALS:
    /// A row's SELECT button was pressed: the item picker takes it from here.
    void selectRequested(int row);
    /// A colour picker button with this tag was pressed.
    void colourPickerRequested(int tag);
    /// The help button asks for the help panel of the options popover (`help:`).
    void helpRequested(QWidget *anchor);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // ShellView
    [[nodiscard]] QSizeF viewSize() const override;
    void applyLayout(const WindowLayout &layout) override;
    void setGridButtonLook(bool gridShown) override;
    void setSideBarVisible(bool visible) override;
    void showProgressIndicator() override;
    void layoutFullScreenViewer(const FullScreenLayout &layout) override;
    void showQuickHelp() override;
    void focusChart() override;

    // ViewLoadHost
    void awakeFromNib() override;
    void removeUserInteraction() override;
    void resetProgressView(int value) override;
    void observeTextChanges() override;
    void clearFlags() override;
    void colourButtonTitles() override;
    void layOutViewer() override;
    void patternBackgrounds() override;
    void autoScrollInit() override;
    void registerCommandObservers() override;
    void initializeButtons() override;
    void initializeSwatches() override;
    void getCtype() override;

    void buildHeader();
    void buildSideBar();
    void buildProgressView();
    void buildStartScreen();
    void showDrawingCard();
    /// The overlays of the viewer's pane (start screen, progress) follow the pane's size.
    void placeProgressCard();
    QWidget *buildChartColours(QWidget *parent);
    /// The Appearance tab's contents: appearance, chart colours, quick colours.
    void buildSettingsPanel();
    /// The Rows tab: the grid, and the problems list under it.
    QWidget *buildRowsPage();
    void showSwatch(int swatch);
    /// A swatch and its picker button just built take the colour and the button's set-up.
    void showNewSwatch(int swatch);
    /// Builds the grid's rows down to the bottom of what its scroll area shows.
    void showRowsInView();
    /// A swatch's view and the picker button beside it.
    struct SwatchWidgets
    {
        SwatchView *swatch = nullptr;
        QAbstractButton *picker = nullptr;
    };
    /// Whether asking for a swatch's widgets builds them when they are not built yet.
    enum class Building { IfNeeded, None };
    [[nodiscard]] SwatchWidgets swatchWidgets(int swatch,
                                              Building building = Building::IfNeeded) const;
    /// Gives the picker button with \a tag, once built, its tag, name and image.
    void initializePickerButton(int tag);
    /// The tag of the picker button whose swatch is \a swatch.
    [[nodiscard]] static int pickerTagForSwatch(int swatch);
    /// Every controller's handlers, by name; the one place where controllers are added.
    void collectHandlers(HandlerTable &table);
    void appearanceChanged(AppearancePanel::Setting which, int index, const QString &value);
    void applyMultiColourState(int index);
    /// The combo boxes show the delegate's appearance values.
    void showAppearanceValues();

    AppContext m_context;
    ChartViewers m_viewers;
    std::unique_ptr<QWidget> m_exportHost;     // keeps webViewM off screen
    std::unique_ptr<QWidget> m_fullScreenHost; // and webViewL
    std::unique_ptr<ChartPictures> m_ownPictures;
    std::unique_ptr<ChartWorkspace> m_workspace;
    std::unique_ptr<ShellController> m_shell;
    bool m_loaded = false;
    bool m_buttonsInitialized = false;
    WindowLayout m_layout;

    QWidget *m_header = nullptr;
    QPushButton *m_renderButton = nullptr;
    QPushButton *m_sampleButton = nullptr;
    QPushButton *m_hideButton = nullptr;
    QToolButton *m_helpButton = nullptr;
    QToolButton *m_quickHelpButton = nullptr;
    QToolButton *m_infoButton = nullptr;
    QToolButton *m_optsButton = nullptr;
    QWidget *m_chartTitleView = nullptr;
    QLineEdit *m_chartTitle = nullptr;
    QScrollArea *m_scrollView = nullptr;
    QScrollArea *m_settingsScroll = nullptr;
    QWidget *m_sideBar = nullptr;
    QSplitter *m_splitter = nullptr;
    QTabWidget *m_sideTabs = nullptr;
    QWidget *m_sideColumn = nullptr;
    QWidget *m_viewerPane = nullptr;
    QWidget *m_startScreen = nullptr;
    AppearancePanel *m_appearance = nullptr;
    GridView *m_gridView = nullptr;
    QWidget *m_problemsPanel = nullptr;
    QListView *m_problemsView = nullptr;
    QWidget *m_progressView = nullptr;
    QWidget *m_innerProgressView = nullptr;
    QLabel *m_progressLabel = nullptr;
    QLabel *m_progressPercent = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_progressCancel = nullptr;
    WorkCard *m_drawingCard = nullptr;
    WorkCard *m_exportCard = nullptr;
    QString m_drawingText;
    QTimer *m_drawingDelay = nullptr;
    QPushButton *m_exitFullscreenButton = nullptr;
    QLabel *m_bugTitleView = nullptr;
    struct ChartColourWidgets
    {
        SwatchView *swatch = nullptr;
        QLineEdit *hex = nullptr;
        QToolButton *picker = nullptr;
    };
    ChartColourWidgets m_chartColours[4];
    OptionsPopover *m_options = nullptr;
    QuickHelpPopover *m_quickHelp = nullptr;
    QuickColoursStrip *m_quickColours = nullptr;
    ChartEditing *m_editing = nullptr;
};

} // namespace plotwell
