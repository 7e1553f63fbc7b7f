#include "ui/MasterViewController.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Log.h"
#include "base/ResourceLocator.h"
#include "colour/PickerTags.h"
#include "platform/Alerts.h"
#include "platform/ChartViewer.h"
#include "platform/Desktop.h"
#include "platform/Preferences.h"
#include "platform/qt/WebEngineChartPictures.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/Appearance.h"
#include "render/DataString.h"
#include "ui/ChartBoxEdits.h"
#include "ui/GridView.h"
#include "ui/OrganisationFile.h"
#include "ui/StaffImportDialog.h"
#include "ui/Style.h"
#include "ui/TypingSteps.h"
#include "ui/WorkCard.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <algorithm>
#include <map>

namespace plotwell {

ChartViewers makeWebEngineViewers(QObject *owner)
{
    ChartViewers viewers;
    auto *webView = new QWebEngineView;
    auto *webViewM = new QWebEngineView;
    auto *webViewL = new QWebEngineView;
    webView->setObjectName(QStringLiteral("webView"));
    webViewM->setObjectName(QStringLiteral("webViewM"));
    webViewL->setObjectName(QStringLiteral("webViewL"));
    useWindowSurround(*webView);
    auto *onScreen = new WebEngineChartViewer(webView, owner);
    onScreen->setDrawsInPlace(true);
    viewers.webView = onScreen;
    viewers.webViewM = new WebEngineChartViewer(webViewM, owner);
    viewers.webViewL = new WebEngineChartViewer(webViewL, owner);
    viewers.webViewWidget = webView;
    viewers.webViewMWidget = webViewM;
    viewers.webViewLWidget = webViewL;
    viewers.pictures = new WebEngineChartPictures(owner);
    return viewers;
}

namespace {

/// A panel named \a name, in \a parent (none: placed later), that the style sheet paints.
QWidget *styledPanel(QWidget *parent, const QString &name)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAttribute(Qt::WA_StyledBackground);
    return panel;
}

/// Stands in when no picture taker is given: every picture fails, and says so.
class NoPictures final : public ChartPictures
{
public:
    [[nodiscard]] QSizeF viewerSize(const ChartViewer &) const override { return {}; }
    void takePicture(ChartViewer &, double, ImageDone done) override { done({}); }
    void printToPdf(ChartViewer &, PdfDone done) override { done({}); }
};

/// Makes \a widget a window that paints but never appears: a hidden web view draws nothing,
/// and the pictures need what the export viewers draw. A web view is shown with its first page:
/// a shown one starts a page process at once, which at launch would hold up the window's own.
std::unique_ptr<QWidget> offscreenHost(QWidget *widget)
{
    std::unique_ptr<QWidget> host(widget);
    host->setParent(nullptr);
    if (auto *web = qobject_cast<QWebEngineView *>(widget)) {
        keepOffScreen(*web);
    } else {
        host->setAttribute(Qt::WA_DontShowOnScreen);
        host->show();
    }
    return host;
}

QWidget *standIn(QWidget *widget, const char *name)
{
    if (widget)
        return widget;
    auto *placeholder = new QWidget;
    placeholder->setObjectName(QLatin1String(name));
    return placeholder;
}

QPushButton *headerButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QToolButton *headerToolButton(const QString &text, const QString &name, const QString &tip,
                              QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

MasterViewController::MasterViewController(AppContext context, ChartViewers viewers,
                                           QWidget *parent)
    : QWidget(parent), m_context(context), m_viewers(viewers)
{
    setObjectName(QStringLiteral("everythingView"));
    m_viewers.webViewWidget = standIn(m_viewers.webViewWidget, "webView");
    m_viewers.webViewMWidget = standIn(m_viewers.webViewMWidget, "webViewM");
    m_viewers.webViewLWidget = standIn(m_viewers.webViewLWidget, "webViewL");
    // The export viewer lays a chart out at its full size for pictures and is never shown;
    // the full-screen viewer lays it out at the screen's size for the large pictures.
    m_exportHost = offscreenHost(m_viewers.webViewMWidget);
    m_fullScreenHost = offscreenHost(m_viewers.webViewLWidget);
    if (!m_viewers.pictures) {
        m_ownPictures = std::make_unique<NoPictures>();
        m_viewers.pictures = m_ownPictures.get();
    }
    m_workspace =
        std::make_unique<ChartWorkspace>(m_context,
                                         WorkspaceViewers{*m_viewers.webView, *m_viewers.webViewM,
                                                          *m_viewers.webViewL, *m_viewers.pictures},
                                         this);
    // Sheets are printed by an engine of their own: only where the viewers are the engine's.
    if (qobject_cast<QWebEngineView *>(m_viewers.webViewWidget))
        m_workspace->exporter().setSheetPrinter(gridSheetPrinter(this));
    m_shell = std::make_unique<ShellController>(m_context, grid(), viewerLoader(),
                                                static_cast<ShellView &>(*this));
    m_shell->setEditor(&m_workspace->editor());
    m_shell->setAskBeforeReplacing(
        [this](const QString &question) { return documents().mayReplaceChart(question); });
    // The first page's load starts the engine's page process, which takes about as long as
    // building the widgets below: asked for now, the two run side by side.
    m_shell->showPlaceholderIfEmpty();
    // An undone look is a settings change like a picked one: a shown table preview follows it.
    connect(&m_workspace->editor(), &ChartEditor::appearanceRestored, this, [this] {
        showAppearanceValues();
        m_shell->refreshUnlessConverting();
    });
    connect(m_workspace.get(), &ChartWorkspace::chartRecovered, this,
            [this] { showAppearanceValues(); });
    m_workspace->setHtmlWidth([this] { return m_shell->htmlWidth(); });
    document::DocumentHooks documentHooks;
    documentHooks.htmlWidth = [this] { return m_shell->htmlWidth(); };
    documentHooks.showProgress = [this](int value) { progress().showWorking(value); };
    documentHooks.offerCancel = [this](std::function<void()> cancel) {
        progress().offerCancel(std::move(cancel));
    };
    documentHooks.followPreview = [this](std::function<int()> percent) {
        progress().followPercent(std::move(percent));
    };
    documentHooks.appearanceRestored = [this] { showAppearanceValues(); };
    documentHooks.chartRestored = [this] { submitData(); };
    documents().setHooks(documentHooks);
    connect(&viewerLoader(), &ViewerLoader::exportViewerSized, this,
            [this](QSizeF size) { m_exportHost->resize(size.toSize()); });
    // The initialiser reads the chart type before the label exists: nothing matches yet.
    getCtype();

    buildHeader();
    buildSideBar();
    buildProgressView();
    buildStartScreen();

    m_exitFullscreenButton = new QPushButton(QStringLiteral("Exit Full Screen"), this);
    m_exitFullscreenButton->setObjectName(QStringLiteral("exitFullscreenButton"));
    m_exitFullscreenButton->hide();
    connect(m_exitFullscreenButton, &QPushButton::clicked, this,
            [this] { m_context.commands.post(command::toggleFullScreen); });

    m_bugTitleView = new QLabel(this);
    m_bugTitleView->setObjectName(QStringLiteral("bugTitleView"));
    m_bugTitleView->hide();

    connect(&swatches(), &SwatchBoard::swatchChanged, this, &MasterViewController::showSwatch);

    m_options = new OptionsPopover(this);
    m_quickHelp = new QuickHelpPopover(this);

    m_editing = new ChartEditing(m_context, grid(), m_workspace->editor(), swatches(),
                                 static_cast<EditingAnchors &>(*this), this);
    connect(this, &MasterViewController::selectRequested, m_editing, &ChartEditing::myPopAction);
    connect(m_gridView, &GridView::parentTyped, m_editing, &ChartEditing::pickParentSearching);
    connect(this, &MasterViewController::colourPickerRequested, m_editing,
            &ChartEditing::buttonClicked);

    if (auto *web = qobject_cast<QWebEngineView *>(m_viewers.webViewWidget)) {
        auto *boxEdits = new ChartBoxEdits(*m_gridView, m_workspace->editor(), this);
        boxEdits->attach(web);
        // A box dropped in the chart is seen there at once ("update as I edit" would redraw it
        // a moment later anyway). Queued: the page gets its answer before it is replaced.
        connect(
            boxEdits, &ChartBoxEdits::chartChanged, this,
            [this] {
                if (!m_workspace->liveUpdate().isEnabled())
                    m_workspace->renderLive();
            },
            Qt::QueuedConnection);
    }
}

MasterViewController::~MasterViewController() = default;

void MasterViewController::buildHeader()
{
    m_header = styledPanel(this, QStringLiteral("toolbarView"));
    auto *row = new QHBoxLayout(m_header);
    row->setContentsMargins(12, 6, 16, 6);
    row->setSpacing(8);

    m_renderButton =
        headerButton(QStringLiteral("Render Chart"), QStringLiteral("renderButton"), m_header);
    m_renderButton->setToolTip(QStringLiteral("Draw the chart from the grid (Ctrl+R)"));
    m_renderButton->setDefault(true);
    m_sampleButton =
        headerButton(QStringLiteral("Load Sample"), QStringLiteral("sampleButton"), m_header);
    m_sampleButton->setToolTip(QStringLiteral("Fill the grid with a sample chart"));
    m_hideButton =
        headerButton(QStringLiteral("Hide Grid"), QStringLiteral("hideButton"), m_header);
    m_hideButton->setProperty("tag", 1);

    m_infoButton = headerToolButton(QStringLiteral("How to"), QStringLiteral("infoButton"),
                                    QStringLiteral("Creating an Org Chart"), m_header);
    m_quickHelpButton =
        headerToolButton(QStringLiteral("Quick Help"), QStringLiteral("quickHelpButton"),
                         QStringLiteral("What the grid, SELECT and Render do"), m_header);
    m_helpButton = headerToolButton(QStringLiteral("Help"), QStringLiteral("myHelpButton"),
                                    QStringLiteral("Help and the help document"), m_header);
    m_optsButton = headerToolButton(QStringLiteral("Options"), QStringLiteral("myOptsButton"),
                                    QStringLiteral("Options"), m_header);

    row->addWidget(m_renderButton);
    row->addWidget(m_sampleButton);
    row->addWidget(m_hideButton);
    row->addStretch(1);
    row->addWidget(m_infoButton);
    row->addWidget(m_quickHelpButton);
    row->addWidget(m_helpButton);
    row->addWidget(m_optsButton);

    connect(m_renderButton, &QPushButton::clicked, this, &MasterViewController::submitData);
    connect(m_sampleButton, &QPushButton::clicked, this, &MasterViewController::liveSample);
    connect(m_hideButton, &QPushButton::clicked, this, [this] { m_shell->hideGrid(); });
    connect(m_infoButton, &QToolButton::clicked, this, [this] { m_shell->showInfo(); });
    connect(m_quickHelpButton, &QToolButton::clicked, this, [this] { m_shell->myHelpAction(); });
    connect(m_helpButton, &QToolButton::clicked, this,
            [this] { Q_EMIT helpRequested(m_helpButton); });
    connect(m_optsButton, &QToolButton::clicked, this, &MasterViewController::myOptsAction);
}

void MasterViewController::buildSideBar()
{
    m_chartTitleView = new QWidget;
    m_chartTitleView->setObjectName(QStringLiteral("chartTitleView"));
    auto *titleRow = new QHBoxLayout(m_chartTitleView);
    titleRow->setContentsMargins(0, 2, 0, 4);
    titleRow->setSpacing(8);
    auto *titleLabel = new QLabel(QStringLiteral("Chart title"), m_chartTitleView);
    titleLabel->setObjectName(QStringLiteral("fieldLabel"));
    m_chartTitle = new QLineEdit(m_chartTitleView);
    m_chartTitle->setObjectName(QStringLiteral("chartTitle"));
    m_chartTitle->setPlaceholderText(QStringLiteral("Shown above the chart"));
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(m_chartTitle, 1);
    bindTypingSteps(m_chartTitle, m_workspace->editor(), [this](const QString &text) {
        m_workspace->editor().setSetting(ChartSetting::ChartTitle, text);
    });
    connect(&grid(), &ChartGrid::settingChanged, this, [this](ChartSetting which) {
        if (which == ChartSetting::ChartTitle &&
            m_chartTitle->text() != grid().setting(ChartSetting::ChartTitle))
            m_chartTitle->setText(grid().setting(ChartSetting::ChartTitle));
    });

    m_scrollView = new QScrollArea;
    m_scrollView->setObjectName(QStringLiteral("scrollView"));
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setWidgetResizable(true);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("sidebar"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The settings have a tab of their own, so that the grid gets the sidebar's full height.
    // Its contents are built when it is first shown (or asked for): until then nothing there
    // is seen, and building and styling them would hold up the window's first paint.
    m_settingsScroll = new QScrollArea;
    m_settingsScroll->setObjectName(QStringLiteral("settingsScroll"));
    m_settingsScroll->setFrameShape(QFrame::NoFrame);
    m_settingsScroll->setWidgetResizable(true);
    m_settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_settingsScroll->installEventFilter(this);

    m_gridView = new GridView(grid(), m_workspace->editor(), content);
    connect(m_gridView, &GridView::selectClicked, this, &MasterViewController::selectRequested);
    connect(m_gridView, &GridView::rowShown, this, [this](QWidget *line) {
        m_scrollView->ensureWidgetVisible(line, 0, GridView::rowHeight());
    });
    connect(m_gridView, &GridView::editRefused, this, [this](const QString &message) {
        m_context.alerts.runModal({message, {}, {}, AlertSpec::Style::Warning});
    });
    connect(m_gridView, &GridView::pickerClicked, this,
            [this](int row) { Q_EMIT colourPickerRequested(pickerTagForSwatch(row)); });
    connect(m_gridView, &GridView::rowBuilt, this, [this](int row) { showNewSwatch(row); });
    // The rows the scroll area is about to show are built before it paints them.
    m_scrollView->viewport()->installEventFilter(this);
    connect(m_scrollView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &MasterViewController::showRowsInView);

    column->addWidget(m_gridView);

    m_sideTabs = new QTabWidget;
    m_sideTabs->setObjectName(QStringLiteral("sideTabs"));
    m_sideTabs->setDocumentMode(true);
    m_sideTabs->addTab(buildRowsPage(), QStringLiteral("Rows"));
    m_sideTabs->addTab(m_settingsScroll, QStringLiteral("Appearance"));

    m_sideColumn = new QWidget;
    m_sideColumn->setObjectName(QStringLiteral("sideColumn"));
    auto *side = new QVBoxLayout(m_sideColumn);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(4);
    m_chartTitleView->setParent(m_sideColumn);
    side->addWidget(m_chartTitleView);
    side->addWidget(m_sideTabs, 1);

    // The viewer's pane holds the progress view over the chart; it follows the pane's size.
    m_viewerPane = new QWidget;
    m_viewerPane->setObjectName(QStringLiteral("viewerPane"));
    auto *pane = new QVBoxLayout(m_viewerPane);
    pane->setContentsMargins(0, 0, 0, 0);
    m_viewers.webViewWidget->setParent(m_viewerPane);
    pane->addWidget(m_viewers.webViewWidget);
    m_viewerPane->installEventFilter(this);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("mainSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(int(kSideGap));
    m_splitter->addWidget(m_sideColumn);
    m_splitter->addWidget(m_viewerPane);
    m_splitter->setStretchFactor(1, 1);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (m_sideColumn->isVisible())
            m_shell->setSideBarWidth(m_sideColumn->width());
    });
    // Last: handing the rows to the scroll area asks them for their sizes, which styles every
    // one of their widgets, and each later move of a styled tree into a new parent restyles all
    // of it (some 900 widgets, 170 ms a time).
    m_scrollView->setWidget(content);
}

void MasterViewController::buildSettingsPanel()
{
    if (m_sideBar)
        return;
    m_sideBar = styledPanel(nullptr, QStringLiteral("settingsPanel"));
    auto *settings = new QVBoxLayout(m_sideBar);
    settings->setContentsMargins(12, 10, 12, 12);
    auto *appearanceTitle = new QLabel(QStringLiteral("Appearance"), m_sideBar);
    appearanceTitle->setObjectName(QStringLiteral("sectionTitle"));
    m_appearance = new AppearancePanel(m_sideBar);
    settings->addWidget(appearanceTitle);
    settings->addWidget(m_appearance);
    settings->addSpacing(6);
    auto *coloursTitle = new QLabel(QStringLiteral("Chart colours"), m_sideBar);
    coloursTitle->setObjectName(QStringLiteral("sectionTitle"));
    settings->addWidget(coloursTitle);
    settings->addWidget(buildChartColours(m_sideBar));
    settings->addSpacing(6);
    auto *quickTitle = new QLabel(QStringLiteral("Quick colours"), m_sideBar);
    quickTitle->setObjectName(QStringLiteral("sectionTitle"));
    settings->addWidget(quickTitle);
    m_quickColours = new QuickColoursStrip(m_sideBar);
    settings->addWidget(m_quickColours);
    settings->addStretch(1);
    m_settingsScroll->setWidget(m_sideBar);
    connect(m_quickColours, &QuickColoursStrip::pickerClicked, this,
            [this](int n) { Q_EMIT colourPickerRequested(pickerTagForSwatch(bSwatch(n))); });
    connect(m_appearance, &AppearancePanel::selectionChanged, this,
            &MasterViewController::appearanceChanged);
    connect(m_quickColours->animateCheckmark(), &QCheckBox::toggled, m_editing,
            &ChartEditing::animateCheckClicked);
    // What these widgets show was set while they were not there.
    showAppearanceValues();
    for (int swatch = 1; swatch <= kSwatchCount; ++swatch) {
        if (!isValidRow(swatch)) {
            showNewSwatch(swatch);
        }
    }
}

QWidget *MasterViewController::buildRowsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("rowsPage"));
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_scrollView, 1);

    // Under the grid, and only while there is something to say: a few lines, each naming its
    // row; a click selects that row.
    m_problemsPanel = styledPanel(page, QStringLiteral("problemsPanel"));
    auto *panel = new QVBoxLayout(m_problemsPanel);
    panel->setContentsMargins(8, 6, 8, 6);
    panel->setSpacing(4);
    auto *title = new QLabel(m_problemsPanel);
    title->setObjectName(QStringLiteral("problemsTitle"));
    m_problemsView = new QListView(m_problemsPanel);
    m_problemsView->setObjectName(QStringLiteral("problemsList"));
    m_problemsView->setModel(&m_workspace->problems());
    m_problemsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_problemsView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_problemsView->setCursor(Qt::PointingHandCursor);
    m_problemsView->setUniformItemSizes(true);
    panel->addWidget(title);
    panel->addWidget(m_problemsView);
    column->addWidget(m_problemsPanel);

    ProblemListModel &problems = m_workspace->problems();
    const auto showProblems = [this, title, &problems] {
        const int count = problems.rowCount();
        title->setText(count == 1 ? QStringLiteral("1 problem")
                                  : QStringLiteral("%1 problems").arg(count));
        const int line = m_problemsView->fontMetrics().height() + 4;
        m_problemsView->setFixedHeight(std::clamp(count, 1, 4) * line + 4);
        m_problemsPanel->setVisible(count > 0);
    };
    connect(&problems, &ProblemListModel::problemsChanged, this, showProblems);
    showProblems();
    connect(m_problemsView, &QListView::clicked, this, [this, &problems](const QModelIndex &at) {
        m_gridView->selectRow(problems.gridRowAt(at.row()));
    });
    return page;
}

QWidget *MasterViewController::buildChartColours(QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(6);
    const struct
    {
        int slot;
        const char *label;
        ChartSetting setting;
        const char *fieldName;
    } entries[] = {
        {kBackgroundSlot, "Background", ChartSetting::HexBackBg, "hexBackBg"},
        {kLabelSlot, "Labels", ChartSetting::HexLabels, "hexLabels"},
        {kItemSlot, "Items", ChartSetting::HexItems, "hexItems"},
        {kLineSlot, "Lines", ChartSetting::HexLine, "hexLine"},
    };
    int index = 0;
    for (const auto &entry : entries) {
        ChartColourWidgets &w = m_chartColours[entry.slot - kBackgroundSlot];
        auto *label = new QLabel(QLatin1String(entry.label), box);
        w.swatch = new SwatchView(box);
        w.hex = new QLineEdit(grid().slotText(entry.slot), box);
        w.hex->setObjectName(QLatin1String(entry.fieldName));
        w.hex->setFixedWidth(colourFieldWidth(*w.hex));
        auto *picker = w.picker = new QToolButton(box);
        picker->setObjectName(QStringLiteral("pickerButton"));
        picker->setText(QStringLiteral("\u25BE"));
        picker->setToolTip(
            QStringLiteral("Pick the %1 colour").arg(QString::fromLatin1(entry.label).toLower()));
        layout->addWidget(label, index, 0);
        layout->addWidget(w.swatch, index, 1);
        layout->addWidget(w.hex, index, 2);
        layout->addWidget(picker, index, 3);
        ++index;
        const int slot = entry.slot;
        const ChartSetting setting = entry.setting;
        bindTypingSteps(w.hex, m_workspace->editor(), [this, slot](const QString &text) {
            m_workspace->editor().setColour(slot, text);
        });
        connect(&grid(), &ChartGrid::settingChanged, w.hex,
                [this, setting, slot, hex = w.hex](ChartSetting which) {
                    if (which == setting && hex->text() != grid().slotText(slot))
                        hex->setText(grid().slotText(slot));
                });
        connect(picker, &QToolButton::clicked, this,
                [this, slot] { Q_EMIT colourPickerRequested(pickerTagForSwatch(slot)); });
    }
    layout->setColumnStretch(4, 1);
    return box;
}

void MasterViewController::buildProgressView()
{
    m_progressView = styledPanel(m_viewerPane, QStringLiteral("progressView"));
    m_innerProgressView = styledPanel(m_progressView, QStringLiteral("innerProgressView"));
    QVBoxLayout *card = workCardColumn(m_innerProgressView);
    m_progressLabel = new QLabel(QStringLiteral("Working.."), m_innerProgressView);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressBar = new QProgressBar(m_innerProgressView);
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressPercent = new QLabel(ProgressMonitor::doneLabel(0), m_innerProgressView);
    m_progressPercent->setObjectName(QStringLiteral("progressPercent"));
    m_progressCancel = new QPushButton(QStringLiteral("Cancel"), m_innerProgressView);
    m_progressCancel->setObjectName(QStringLiteral("progressCancel"));
    m_progressCancel->hide();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_progressPercent, 1);
    bottom->addWidget(m_progressCancel);
    card->addWidget(m_progressLabel);
    card->addWidget(m_progressBar);
    card->addLayout(bottom);
    connect(m_progressCancel, &QPushButton::clicked, &progress(), &ProgressMonitor::cancel);
    connect(&progress(), &ProgressMonitor::cancellableChanged, m_progressCancel,
            &QWidget::setVisible);

    connect(&progress(), &ProgressMonitor::activity, this, [this](int value, const QString &label) {
        m_progressBar->setValue(value);
        m_progressPercent->setText(label);
    });
    connect(&progress(), &ProgressMonitor::progressViewShown, this,
            [this](const QString &label, int value) {
                m_progressLabel->setText(label);
                m_progressBar->setValue(value);
                m_progressPercent->setText(ProgressMonitor::doneLabel(value));
                m_progressView->show();
                m_progressView->raise();
            });
    connect(&progress(), &ProgressMonitor::progressViewHidden, m_progressView, &QWidget::hide);
    connect(&viewerLoader(), &ViewerLoader::viewerLoadFinished, this,
            [this] { progress().isProgressDone = true; });

    // A large organisation leaves the viewer empty for seconds while the engine builds and
    // paints it. Once that has taken a moment (a small one is on screen sooner), a card says
    // what is being drawn, until it is on screen.
    m_drawingDelay = new QTimer(this);
    m_drawingDelay->setSingleShot(true);
    m_drawingDelay->setInterval(400);
    connect(m_drawingDelay, &QTimer::timeout, this, &MasterViewController::showDrawingCard);
    connect(&viewerLoader(), &ViewerLoader::drawingStarted, this, [this](int people) {
        m_drawingText = ViewerLoader::drawingLabel(people);
        m_drawingDelay->start();
    });
    connect(&viewerLoader(), &ViewerLoader::drawingEnded, this, [this] {
        m_drawingDelay->stop();
        if (m_drawingCard)
            m_drawingCard->finish();
    });
}

void MasterViewController::showDrawingCard()
{
    if (!m_drawingCard)
        m_drawingCard = new WorkCard(QStringLiteral("drawingCard"), m_viewerPane);
    m_drawingCard->showWork(m_drawingText);
}

WorkCard &MasterViewController::exportCard()
{
    if (!m_exportCard)
        m_exportCard = new WorkCard(QStringLiteral("exportCard"), m_viewerPane);
    return *m_exportCard;
}

void MasterViewController::buildStartScreen()
{
    // Over the placeholder page while the chart is empty: the ways to begin, as buttons.
    m_startScreen = styledPanel(m_viewerPane, QStringLiteral("startScreen"));
    auto *outer = new QVBoxLayout(m_startScreen);
    auto *card = styledPanel(m_startScreen, QStringLiteral("startCard"));
    auto *column = new QVBoxLayout(card);
    column->setContentsMargins(28, 24, 28, 24);
    column->setSpacing(10);
    auto *title = new QLabel(QStringLiteral("Start an org chart"), card);
    title->setObjectName(QStringLiteral("startTitle"));
    auto *hint = new QLabel(QStringLiteral("Type names into the grid, or fill it\nfrom a sample or "
                                           "a CSV file, then\npress Render Chart."),
                            card);
    hint->setObjectName(QStringLiteral("startHint"));
    auto *sample = new QPushButton(QStringLiteral("Load Sample"), card);
    sample->setObjectName(QStringLiteral("startSampleButton"));
    sample->setDefault(true);
    auto *open = new QPushButton(QStringLiteral("Open CSV\u2026"), card);
    open->setObjectName(QStringLiteral("startOpenButton"));
    auto *staffList = new QPushButton(QStringLiteral("Import Staff List\u2026"), card);
    staffList->setObjectName(QStringLiteral("startStaffButton"));
    staffList->setToolTip(QStringLiteral("One person a row with a manager column, as HR tools "
                                         "and directories export them"));
    auto *drop = new QLabel(QStringLiteral("or drop a file here"), card);
    drop->setObjectName(QStringLiteral("startDrop"));
    drop->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    column->addWidget(hint);
    column->addSpacing(6);
    column->addWidget(sample);
    column->addWidget(open);
    column->addWidget(staffList);
    column->addWidget(drop);
    card->setFixedWidth(320);
    outer->addStretch(1);
    outer->addWidget(card, 0, Qt::AlignHCenter);
    outer->addStretch(2);
    connect(sample, &QPushButton::clicked, this, &MasterViewController::liveSample);
    connect(open, &QPushButton::clicked, this, [this] {
        runDelegateAction(QStringLiteral("openFile:"), m_context.state, m_context.commands);
    });
    connect(staffList, &QPushButton::clicked, this,
            [this] { importStaffList(*this, window(), {}); });
    m_startScreen->setVisible(viewerLoader().placeholderShown());
    connect(&viewerLoader(), &ViewerLoader::placeholderShownChanged, m_startScreen,
            &QWidget::setVisible);
}

void MasterViewController::submitData()
{
    if (m_workspace->render().kind == RenderResult::Load) {
        m_exitFullscreenButton->hide();
        m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void MasterViewController::liveSample()
{
    m_shell->liveSample();
}

void MasterViewController::appearanceChanged(AppearancePanel::Setting which, int index,
                                             const QString &value)
{
    using Setting = AppearancePanel::Setting;
    static const std::map<Setting, std::pair<AppearanceSetting, QString>> settings = {
        {Setting::FontFamily, {AppearanceSetting::FontFamily, QStringLiteral("Font")}},
        {Setting::FontSize, {AppearanceSetting::FontSize, QStringLiteral("Font Size")}},
        {Setting::NodeSize, {AppearanceSetting::NodeSize, QStringLiteral("Node Width")}},
        {Setting::NodeRadius, {AppearanceSetting::NodeRadius, QStringLiteral("Corner Radius")}},
        {Setting::MultiColour, {AppearanceSetting::MultiColour, QStringLiteral("Node Colours")}},
    };
    const auto &[setting, stepName] = settings.at(which);
    bool refresh = false;
    m_workspace->editor().record(
        stepName, [&] { refresh = applyComboChange(m_context.state, setting, value, index); });
    if (which == Setting::MultiColour)
        applyMultiColourState(index);
    if (refresh)
        m_context.commands.post(command::openRecentDocument);
}

void MasterViewController::applyMultiColourState(int index)
{
    m_gridView->setRowColoursActive(index != 0);
}

void MasterViewController::showOptions(OptionsPopover::Panel panel, QWidget *anchor)
{
    m_options->setPanel(panel);
    m_options->showUnder(anchor ? anchor : m_optsButton);
}

void MasterViewController::myOptsAction()
{
    m_options->showUnder(m_optsButton);
}

void MasterViewController::collectHandlers(HandlerTable &table)
{
    m_shell->addHandlers(table);
    m_workspace->addHandlers(table);
    // A whole organisation on show has no export viewers of its own: its PNG and PDF are drawn
    // from its data, as `plotwell render --staff` draws them.
    for (const auto &[handler, suffix] : {std::pair{QStringLiteral("PNGDownload:"), "png"},
                                          std::pair{QStringLiteral("PDFDownload:"), "pdf"}}) {
        const CommandCenter::Handler grid = table.body(handler);
        table.add(handler, [this, grid, suffix = QString::fromLatin1(suffix)](const QVariant &v) {
            if (m_workspace->loader().organisationShown())
                exportOrganisation(*this, this, suffix);
            else if (grid)
                grid(v);
        });
    }
}

void MasterViewController::loadView()
{
    if (m_loaded)
        return;
    m_loaded = true;
    plotwell::loadView(static_cast<ViewLoadHost &>(*this), m_context, progress());
}

void MasterViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The layout pass follows the delegate's window notifications; between them keep the
    // heights filling the view.
    if (m_loaded)
        applyLayout(computeWindowLayout(m_context.state.winWidth, height(),
                                        m_shell->gridHidden() == 0, m_shell->sideBarWidth()));
}

// ShellView

QSizeF MasterViewController::viewSize() const
{
    return size();
}

void MasterViewController::applyLayout(const WindowLayout &layout)
{
    m_layout = layout;
    m_header->setGeometry(layout.toolbarView.toRect());
    m_chartTitleView->setVisible(layout.chartTitleVisible);
    m_sideColumn->setVisible(layout.gridVisible);
    const QRectF left = layout.gridVisible ? layout.scrollView : layout.webView;
    m_splitter->setGeometry(
        QRectF(QPointF(left.left(), kContentTop), layout.webView.bottomRight()).toRect());
    if (layout.gridVisible)
        m_splitter->setSizes({int(layout.scrollView.width()), int(layout.webView.width())});
    // At once, not at the next layout request: the handle goes with the hidden sidebar.
    m_splitter->refresh();
    m_viewers.webViewWidget->show();
    placeProgressCard();
}

void MasterViewController::placeProgressCard()
{
    const QRect pane = m_viewerPane->rect();
    m_startScreen->setGeometry(pane);
    m_progressView->setGeometry(pane);
    const QSize card(std::min(400, pane.width() - 24), m_innerProgressView->sizeHint().height());
    m_innerProgressView->setGeometry(QRect(
        QPoint((pane.width() - card.width()) / 2, (pane.height() - card.height()) / 2), card));
    for (WorkCard *work : {m_drawingCard, m_exportCard}) {
        if (work)
            work->place();
    }
}

void MasterViewController::showNewSwatch(int swatch)
{
    showSwatch(swatch);
    initializePickerButton(pickerTagForSwatch(swatch));
}

void MasterViewController::showRowsInView()
{
    QWidget *viewport = m_scrollView->viewport();
    m_gridView->showRowsReaching(m_gridView->mapFrom(viewport, QPoint(0, viewport->height())).y());
}

bool MasterViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewerPane && event->type() == QEvent::Resize)
        placeProgressCard();
    if (watched == m_scrollView->viewport() && event->type() == QEvent::Resize)
        showRowsInView();
    if (watched == m_settingsScroll && event->type() == QEvent::Show)
        buildSettingsPanel();
    return QWidget::eventFilter(watched, event);
}

void MasterViewController::setGridButtonLook(bool gridShown)
{
    m_hideButton->setText(gridShown ? QStringLiteral("Hide Grid") : QStringLiteral("Show Grid"));
    m_hideButton->setToolTip(gridShown ? QStringLiteral("Hide Grid") : QStringLiteral("Show Grid"));
    m_hideButton->setProperty("gridShown", gridShown);
    m_hideButton->style()->unpolish(m_hideButton);
    m_hideButton->style()->polish(m_hideButton);
    m_hideButton->update();
}

void MasterViewController::setSideBarVisible(bool visible)
{
    m_sideTabs->setTabVisible(1, visible);
}

void MasterViewController::showProgressIndicator()
{
    m_progressBar->show();
}

void MasterViewController::layoutFullScreenViewer(const FullScreenLayout &layout)
{
    m_viewers.webViewLWidget->resize(layout.webViewL.size().toSize());
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_exitFullscreenButton->setGeometry(layout.exitButton.toRect());
    m_exitFullscreenButton->raise();
}

void MasterViewController::showQuickHelp()
{
    m_quickHelp->showUnder(m_quickHelpButton);
}

void MasterViewController::focusChart()
{
    m_viewers.webViewWidget->setFocus(Qt::ShortcutFocusReason);
}

// ViewLoadHost

void MasterViewController::awakeFromNib()
{
    // The widgets are built by the constructor; the window's full-screen notifications reach
    // the view through the delegate (willEnterFull, didExitFull).
}

void MasterViewController::removeUserInteraction()
{
    // Nothing left to do: a parent field is read-only from its building (parents are picked,
    // never typed), and reached by Tab like the rest of its row.
}

void MasterViewController::resetProgressView(int value)
{
    m_progressView->hide();
    m_progressBar->setValue(value);
}

void MasterViewController::observeTextChanges()
{
    // Edits reach the ChartGrid through the fields' own bindings (GridView).
}

void MasterViewController::clearFlags()
{
    m_shell->clearFlags();
}

void MasterViewController::colourButtonTitles()
{
    // The button title colours are part of the style sheet (ui/Style.cpp).
}

void MasterViewController::layOutViewer()
{
    m_shell->resizeWebView();
}

void MasterViewController::patternBackgrounds()
{
    // Backgrounds come from the style sheet as well.
}

void MasterViewController::autoScrollInit()
{
    m_scrollView->verticalScrollBar()->setValue(0);
    m_bugTitleView->hide();
    // webViewL stays in its off-screen window: hidden from the user, drawing for the pictures.
    m_bugTitleView->setText(kOrgChartTypeLabel);
    // The combo boxes show the start values just set on the delegate.
    showAppearanceValues();
}

void MasterViewController::showAppearanceValues()
{
    using Setting = AppearancePanel::Setting;
    const AppState &state = m_context.state;
    const ChartAppearance &look = state.appearance;
    applyMultiColourState(look.colourMode);
    if (!m_appearance)
        return;
    m_appearance->showValue(Setting::FontFamily, look.fontFamily);
    m_appearance->showValue(Setting::FontSize, QString::number(look.fontSize));
    m_appearance->showValue(Setting::NodeSize, QString::number(look.nodeWidth));
    m_appearance->showValue(Setting::NodeRadius, QString::number(look.cornerRadius));
    m_appearance->showValue(Setting::MultiColour, QString::number(look.colourMode));
}

void MasterViewController::registerCommandObservers()
{
    HandlerTable table;
    collectHandlers(table);
    for (const QString &unknown : table.unknownHandlers(viewControllerCommands()))
        qCWarning(lcPlotwell) << "handler served by no command:" << unknown;
    table.install(m_context.commands, viewControllerCommands());
}

void MasterViewController::initializeButtons()
{
    m_buttonsInitialized = true;
    for (int tag = 1; tag <= kPickerTagCount; ++tag)
        initializePickerButton(tag);
}

void MasterViewController::initializePickerButton(int tag)
{
    const std::optional<PickerTarget> target = pickerTarget(tag);
    if (!m_buttonsInitialized || !target)
        return;
    if (QAbstractButton *button = swatchWidgets(target->swatch, Building::None).picker)
        m_editing->initializePickerButton(tag, *button);
}

void MasterViewController::initializeSwatches()
{
    plotwell::initializeSwatches(swatches());
}

void MasterViewController::showSwatch(int swatch)
{
    // A swatch built later takes its colour then.
    if (SwatchView *view = swatchWidgets(swatch, Building::None).swatch)
        view->setColour(swatches().colour(swatch));
}

MasterViewController::SwatchWidgets MasterViewController::swatchWidgets(int swatch,
                                                                        Building building) const
{
    if (isValidRow(swatch)) {
        if (building == Building::None && !m_gridView->isRowBuilt(swatch))
            return {};
        const GridRowWidgets &row = m_gridView->row(swatch);
        return {row.swatch, row.picker};
    }
    if (!m_sideBar) {
        if (building == Building::None)
            return {};
        const_cast<MasterViewController *>(this)->buildSettingsPanel();
    }
    if (swatch >= kBackgroundSlot && swatch <= kLineSlot) {
        const ChartColourWidgets &w = m_chartColours[swatch - kBackgroundSlot];
        return {w.swatch, w.picker};
    }
    if (isValidSwatch(swatch)) {
        const int n = swatch - kColourSlotCount;
        return {m_quickColours->swatch(n), m_quickColours->picker(n)};
    }
    return {};
}

SwatchView *MasterViewController::swatchView(int swatch) const
{
    return swatchWidgets(swatch).swatch;
}

QAbstractButton *MasterViewController::pickerButton(int tag) const
{
    const std::optional<PickerTarget> target = pickerTarget(tag);
    return target ? swatchWidgets(target->swatch).picker : nullptr;
}

QAbstractButton *MasterViewController::selectButton(int row) const
{
    return isValidRow(row) ? m_gridView->row(row).select : nullptr;
}

int MasterViewController::pickerTagForSwatch(int swatch)
{
    for (int tag = 1; tag <= kPickerTagCount; ++tag) {
        const std::optional<PickerTarget> target = pickerTarget(tag);
        if (target && target->swatch == swatch)
            return tag;
    }
    return 0;
}

void MasterViewController::getCtype()
{
    const QString label = m_bugTitleView ? m_bugTitleView->text() : QString();
    if (const std::optional<QString> code = plotwell::getCtype(label))
        grid().setSetting(ChartSetting::Ctype, *code);
}

} // namespace plotwell
