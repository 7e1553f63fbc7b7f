#pragma once

class QApplication;

namespace plotwell {

/// The application's look: Fusion with a light palette and the window's own style sheet.
void applyAppStyle(QApplication &app);

} // namespace plotwell
