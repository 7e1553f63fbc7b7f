#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

namespace plotwell {

/// Files dropped anywhere on a window, the chart viewer included, are opened as the system's
/// open-file request opens them: a saved chart comes back whole, any other CSV is imported.
/// Filters the application's events, because the web view would otherwise take a dropped file
/// and load it as a page.
class FileDrop : public QObject
{
    Q_OBJECT
public:
    /// \a open gets the dropped file's absolute path.
    FileDrop(QWidget *window, std::function<void(const QString &)> open);

    /// The local file of a drag, or an empty string when it brings none.
    [[nodiscard]] static QString droppedFile(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void(const QString &)> m_open;
};

} // namespace plotwell
