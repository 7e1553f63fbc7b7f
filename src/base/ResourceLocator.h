#pragma once

#include <QString>

namespace plotwell {

/// Folder of the chart page, the sample file and the help document:
/// `resources/` beside the executable in a build tree, `<prefix>/share/plotwell/`
/// once installed, found from the executable's own place so that the prefix can move.
/// PLOTWELL_RESOURCE_DIR overrides both (tests use it).
QString resourceDirectory();

/// Absolute path of a file in the resource folder.
QString resourcePath(const QString &fileName);

} // namespace plotwell
