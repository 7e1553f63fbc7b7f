#pragma once

#include <QString>

namespace plotwell {

/// Hands a file to the desktop mail client as the attachment of a new message.
class Mailer
{
public:
    virtual ~Mailer() = default;
    /// Returns an empty string on success, otherwise what went wrong, for the user.
    [[nodiscard]] virtual QString attachToNewMessage(const QString &filePath) = 0;
};

} // namespace plotwell
