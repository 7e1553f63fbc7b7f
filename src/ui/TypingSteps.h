#pragma once

#include <QString>

#include <functional>

class QLineEdit;

namespace plotwell {

class ChartEditor;

/// Sends every keystroke in \a field through \a write (so what shows the value, a swatch or the
/// chart, keeps up), while one visit to the field stays one undo step: the step closes when the
/// field is left or Return is pressed, and a new visit never joins the step before it, even one
/// of the same value (a colour the popover just set, say). \a write must go through \a editor
/// with a merging edit.
void bindTypingSteps(QLineEdit *field, ChartEditor &editor,
                     std::function<void(const QString &)> write);

} // namespace plotwell
