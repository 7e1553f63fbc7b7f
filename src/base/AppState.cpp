#include "base/AppState.h"

#include "base/Log.h"

namespace plotwell {

bool prepareRefreshRequest(AppState &state)
{
    if (state.conversionRunning()) {
        diag(QStringLiteral("PROGRESSING BAR VALUE %1").arg(state.barValue));
        return false;
    }
    state.openRecent = true;
    return true;
}

} // namespace plotwell
