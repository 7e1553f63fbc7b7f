#pragma once

#include "platform/AppContext.h"

#include <QSizeF>

namespace plotwell {

class ProgressMonitor;

/// The delegate's part of launch, as the window system provides it.
class LaunchHost
{
public:
    virtual ~LaunchHost() = default;
    virtual void setDefaultFont() = 0;
    /// The close button asks the quit confirmation instead of closing.
    virtual void redirectCloseButton() = 0;
    [[nodiscard]] virtual QSizeF windowFrame() const = 0;
    virtual void registerDelegateObservers() = 0;
    /// Creates the view controller; its initialiser reads the chart type.
    virtual void createViewController() = 0;
    /// Puts the view controller's view into the window, which loads it (see loadView).
    virtual void installView() = 0;
};

/// The view controller's part: what loading its view does on screen.
class ViewLoadHost
{
public:
    virtual ~ViewLoadHost() = default;
    virtual void awakeFromNib() = 0;
    virtual void removeUserInteraction() = 0;
    /// Hides the progress view and sets the indicator to \a value.
    virtual void resetProgressView(int value) = 0;
    virtual void observeTextChanges() = 0;
    /// Clears the window flags and makes the view controller the viewer's load delegate.
    virtual void clearFlags() = 0;
    virtual void colourButtonTitles() = 0;
    /// The layout pass (`resizeWebView:`).
    virtual void layOutViewer() = 0;
    virtual void patternBackgrounds() = 0;
    /// Corner radii, grid scrolled to its top, chart-type label set, `webViewL` hidden.
    virtual void autoScrollInit() = 0;
    virtual void registerCommandObservers() = 0;
    virtual void initializeButtons() = 0;
    virtual void initializeSwatches() = 0;
    virtual void getCtype() = 0;
};

/// `applicationDidFinishLaunching:`, under the launch guard. Ends by posting
/// `openExistingDocument` with the file the application was started with, if any.
void applicationDidFinishLaunching(LaunchHost &host, AppContext context);

/// `loadView`: the view controller's start-up in its fixed order.
void loadView(ViewLoadHost &host, AppContext context, ProgressMonitor &progress);

} // namespace plotwell
