#pragma once

#include <QString>

namespace plotwell {

/// The name and version the application reports (About, --version).
QString applicationName();
QString applicationVersion();

} // namespace plotwell
