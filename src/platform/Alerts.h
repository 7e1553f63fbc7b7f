#pragma once

#include <QString>
#include <QStringList>

namespace plotwell {

/// A modal question or refusal: message, informative text and buttons in the order added.
struct AlertSpec
{
    enum class Style { Informational, Warning, Critical };

    QString message;
    QString informativeText;
    QStringList buttons; // empty: one default "OK" button
    Style style = Style::Informational;
};

/// The code of the first button; button i answers kFirstButton + i.
inline constexpr int kFirstButton = 1000;

/// Shows alerts and answers which button was pressed.
class Alerts
{
public:
    virtual ~Alerts() = default;
    /// Runs the alert modally and returns kFirstButton plus the pressed button's position.
    virtual int runModal(const AlertSpec &alert) = 0;
};

} // namespace plotwell
