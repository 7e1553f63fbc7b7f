#include "ui/WheelGuard.h"

#include <QEvent>
#include <QWidget>

namespace plotwell {

namespace {

class WheelPastFilter final : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget *>(watched)->hasFocus())
            return false;
        // Not taken here: the event goes on to the widgets around, the scroll area among them.
        event->ignore();
        return true;
    }
};

} // namespace

void scrollPastUnlessFocused(QWidget *widget)
{
    static WheelPastFilter filter;
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(&filter);
}

} // namespace plotwell
