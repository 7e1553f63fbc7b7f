#pragma once

#include <QString>

namespace plotwell {

/// The viewer request that rendering sample chart \a sample (1 or 2) produces in a freshly
/// started window: start-up settings and colours, this build's resource folder. Empty for any
/// other sample number.
[[nodiscard]] QString sampleViewerRequest(int sample);

/// `plotwell request [--sample 1|2]`: prints sampleViewerRequest(). \a argv[0] is "request".
int runRequestCommand(int argc, char **argv);

} // namespace plotwell
