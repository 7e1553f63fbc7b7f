#pragma once

class QWidget;

namespace plotwell {

/// A wheel turned over \a widget scrolls what holds it unless the widget has the focus: a person
/// scrolling the grid or the Appearance tab does not change a row's position or a setting on the
/// way. A click still gives the widget the focus, and then the wheel is its own.
void scrollPastUnlessFocused(QWidget *widget);

} // namespace plotwell
