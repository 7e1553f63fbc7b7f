#include "ui/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace plotwell {

FileDrop::FileDrop(QWidget *window, std::function<void(const QString &)> open)
    : QObject(window), m_window(window), m_open(std::move(open))
{
    m_window->setAcceptDrops(true);
    qApp->installEventFilter(this);
}

QString FileDrop::droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return {};
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Later, outside the drag's own event loop: opening may ask or warn in a modal box.
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, path] { m_open(path); }, Qt::QueuedConnection);
    return true;
}

} // namespace plotwell
