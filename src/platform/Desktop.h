#pragma once

#include <QSizeF>
#include <QString>
#include <QUrl>

namespace plotwell {

/// What the core needs of the window and the desktop around it.
class Desktop
{
public:
    virtual ~Desktop() = default;
    virtual void setWindowTitle(const QString &title) = 0;
    [[nodiscard]] virtual QString windowTitle() const = 0;
    /// Marks the title while the chart has changes that are not saved.
    virtual void setWindowModified(bool modified) = 0;
    /// Size of the visible frame of the last screen in the platform's list.
    [[nodiscard]] virtual QSizeF lastScreenAvailableSize() const = 0;
    virtual void noteRecentDocument(const QString &path) = 0;
    virtual void openExternalUrl(const QUrl &url) = 0;
};

} // namespace plotwell
