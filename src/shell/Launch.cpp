#include "shell/Launch.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/Log.h"
#include "base/Progress.h"
#include "platform/Desktop.h"
#include "platform/Preferences.h"

namespace plotwell {

void applicationDidFinishLaunching(LaunchHost &host, AppContext context)
{
    AppState &state = context.state;
    runGuarded(QStringLiteral("Error Occured at launching"), [&] {
        state.hideSideBar = 0;
        host.setDefaultFont();
        host.redirectCloseButton();
        const QSizeF frame = host.windowFrame();
        state.winWidth = frame.width();
        state.winHeight = frame.height();
        diag(QStringLiteral("window width = %1, window height = %2")
                 .arg(frame.width(), 0, 'f', 6)
                 .arg(frame.height(), 0, 'f', 6));
        host.registerDelegateObservers();
        host.createViewController();
        host.installView();
        if (state.openDoubleClicked)
            context.commands.post(command::openExistingDocument, state.doubleClickedUrl);
    });
}

void loadView(ViewLoadHost &host, AppContext context, ProgressMonitor &progress)
{
    AppState &state = context.state;
    host.awakeFromNib();
    progress.startDisplay();
    host.removeUserInteraction();
    host.resetProgressView(10);
    host.observeTextChanges();
    progress.currentBarValue = 0;
    progress.isProgressDone = false;
    host.clearFlags();
    host.colourButtonTitles();
    diag(QStringLiteral("TRIGGERING LOADVIEW LOADVIEW LOADVIEW"));
    host.layOutViewer();
    progress.startViewCheck();
    context.commands.post(command::windowResized);
    host.patternBackgrounds();
    state.appearance = ChartAppearance();
    state.barValue = 0;
    context.desktop.setWindowTitle(QStringLiteral("Untitled"));
    context.preferences.setValue(QStringLiteral("openedFilename"), QString());
    context.preferences.sync();
    host.autoScrollInit();
    host.registerCommandObservers();
    host.initializeButtons();
    host.initializeSwatches();
    host.getCtype();
}

} // namespace plotwell
