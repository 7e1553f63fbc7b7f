#pragma once

namespace plotwell {

struct AppState;
class Alerts;
class CommandCenter;
class Desktop;
class FilePanels;
class Mailer;
class Preferences;

/// What every controller of the window reaches: the delegate's shared state, the command
/// centre and the desktop ports. The delegate owns them for the life of the process.
struct AppContext
{
    AppState &state;
    CommandCenter &commands;
    Preferences &preferences;
    Alerts &alerts;
    FilePanels &filePanels;
    Desktop &desktop;
    Mailer &mailer;
};

} // namespace plotwell
