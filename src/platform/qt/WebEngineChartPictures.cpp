#include "platform/qt/WebEngineChartPictures.h"

#include "base/Log.h"
#include "platform/qt/WebEngineChartViewer.h"

#include <QElapsedTimer>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>
#include <memory>

namespace plotwell {

namespace {

constexpr int kPollMs = 20;

// A frame with one colour everywhere is the page's background before the chart is drawn:
// every chart, and the page's empty state, draws boxes or text on it.
bool isBlank(const QImage &image)
{
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    const int stepX = std::max(1, image.width() / 97);
    const int stepY = std::max(1, image.height() / 89);
    for (int y = 0; y < image.height(); y += stepY) {
        for (int x = 0; x < image.width(); x += stepX) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

/// Runs \a ready once \a viewer has finished its last load (at once when it is idle).
void whenLoaded(WebEngineChartViewer *viewer, int timeoutMs, std::function<void(bool)> ready)
{
    if (!viewer->isLoading()) {
        QTimer::singleShot(0, viewer, [viewer, ready] { ready(viewer->lastLoadSucceeded()); });
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    auto fired = std::make_shared<bool>(false);
    const auto once = [connection, fired, ready](bool ok) {
        if (*fired)
            return;
        *fired = true;
        QObject::disconnect(*connection);
        ready(ok);
    };
    *connection =
        QObject::connect(viewer, &ChartViewer::loadFinished, viewer, [viewer, once](bool) {
            if (!viewer->isLoading())
                once(viewer->lastLoadSucceeded());
        });
    QTimer::singleShot(timeoutMs, viewer, [once] { once(false); });
}

/// Waits until the page in \a view is laid out at \a cssSize with \a pixelRatio device pixels
/// per CSS pixel and has shown a frame of it, then grabs that frame. Chromium draws
/// asynchronously: the checks run in the page, a round trip at a time.
class PaintWait : public QObject
{
public:
    PaintWait(QWebEngineView *view, QSize cssSize, double pixelRatio, int timeoutMs,
              std::function<void(const QImage &)> done)
        : QObject(view), m_view(view), m_cssSize(cssSize), m_pixelRatio(pixelRatio),
          m_timeoutMs(timeoutMs), m_done(std::move(done))
    {
        m_clock.start();
        checkLayout();
    }

private:
    void later(void (PaintWait::*step)())
    {
        if (m_clock.elapsed() > m_timeoutMs) {
            diag(QStringLiteral("Chart picture: the page did not paint in time"));
            end({});
            return;
        }
        QTimer::singleShot(kPollMs, this, [this, step] { (this->*step)(); });
    }

    void checkLayout()
    {
        m_view->page()->runJavaScript(
            QStringLiteral("window.devicePixelRatio + ' ' + window.innerWidth + ' ' + "
                           "window.innerHeight"),
            [self = QPointer<PaintWait>(this)](const QVariant &answer) {
                if (!self)
                    return;
                const QStringList parts = answer.toString().split(QLatin1Char(' '));
                const bool laidOut = parts.size() == 3 &&
                                     std::abs(parts[0].toDouble() - self->m_pixelRatio) < 0.02 &&
                                     std::abs(parts[1].toInt() - self->m_cssSize.width()) <= 1 &&
                                     std::abs(parts[2].toInt() - self->m_cssSize.height()) <= 1;
                if (laidOut)
                    self->requestFrame();
                else
                    self->later(&PaintWait::checkLayout);
            });
    }

    // Two animation frames: once the second begins, the first has been composited.
    void requestFrame()
    {
        m_view->page()->runJavaScript(
            QStringLiteral("window.__plotwellPainted = false;"
                           "requestAnimationFrame(function () {"
                           " requestAnimationFrame(function () {"
                           " window.__plotwellPainted = true; }); }); true"),
            [self = QPointer<PaintWait>(this)](const QVariant &) {
                if (self)
                    self->later(&PaintWait::checkFrame);
            });
    }

    void checkFrame()
    {
        m_view->page()->runJavaScript(QStringLiteral("window.__plotwellPainted === true"),
                                      [self = QPointer<PaintWait>(this)](const QVariant &answer) {
                                          if (!self)
                                              return;
                                          if (!answer.toBool()) {
                                              self->later(&PaintWait::checkFrame);
                                              return;
                                          }
                                          // The frame reaches the widget through the event loop:
                                          // grab on the next turn.
                                          QTimer::singleShot(0, self, [self] {
                                              if (!self)
                                                  return;
                                              const QImage image = self->m_view->grab().toImage();
                                              if (isBlank(image))
                                                  self->later(&PaintWait::requestFrame);
                                              else
                                                  self->end(image);
                                          });
                                      });
    }

    void end(const QImage &image)
    {
        auto done = std::move(m_done);
        deleteLater();
        if (done)
            done(image);
    }

    QWebEngineView *m_view;
    QSize m_cssSize;
    double m_pixelRatio;
    int m_timeoutMs;
    std::function<void(const QImage &)> m_done;
    QElapsedTimer m_clock;
};

WebEngineChartViewer *webEngineViewer(const ChartViewer &viewer)
{
    return qobject_cast<WebEngineChartViewer *>(const_cast<ChartViewer *>(&viewer));
}

} // namespace

WebEngineChartPictures::WebEngineChartPictures(QObject *parent) : QObject(parent)
{}

QSizeF WebEngineChartPictures::viewerSize(const ChartViewer &viewer) const
{
    const WebEngineChartViewer *engine = webEngineViewer(viewer);
    return engine ? QSizeF(engine->view()->size()) : QSizeF();
}

void WebEngineChartPictures::takePicture(ChartViewer &viewer, double scale, ImageDone done)
{
    WebEngineChartViewer *engine = webEngineViewer(viewer);
    if (!engine) {
        QTimer::singleShot(0, this, [done] { done({}); });
        return;
    }
    QWebEngineView *view = engine->view();
    if (!engine->hasLoaded()) {
        // Nothing was ever rendered: the picture of the empty viewer.
        QTimer::singleShot(0, this, [view, done] { done(view->grab().toImage()); });
        return;
    }
    const int timeout = m_timeoutMs;
    whenLoaded(engine, timeout, [view, scale, timeout, done](bool loaded) {
        if (!loaded) {
            done({});
            return;
        }
        const QSize cssSize = view->size();
        const double zoom = view->zoomFactor();
        const double ratio = view->devicePixelRatioF() * zoom;
        if (scale != 1.0) {
            // A denser picture of the same layout: zoom in and grow the view alike.
            view->setZoomFactor(zoom * scale);
            view->resize((QSizeF(cssSize) * scale).toSize());
        }
        new PaintWait(view, cssSize, ratio * scale, timeout,
                      [view, cssSize, zoom, scale, done](const QImage &image) {
                          if (scale != 1.0) {
                              view->setZoomFactor(zoom);
                              view->resize(cssSize);
                          }
                          done(image);
                      });
    });
}

void WebEngineChartPictures::printToPdf(ChartViewer &viewer, PdfDone done)
{
    WebEngineChartViewer *engine = webEngineViewer(viewer);
    if (!engine) {
        QTimer::singleShot(0, this, [done] { done({}); });
        return;
    }
    QWebEngineView *view = engine->view();
    whenLoaded(engine, m_timeoutMs, [view, done](bool loaded) {
        if (!loaded) {
            done({});
            return;
        }
        view->page()->runJavaScript(
            QString::fromLatin1(kChartSizeScript), [view, done](const QVariant &answer) {
                QSizeF chart = parseChartSize(answer.toString());
                if (chart.isEmpty())
                    chart = view->size();
                // CSS pixels are 1/96 inch, PDF points 1/72.
                const QPageSize pageSize(chart * 0.75, QPageSize::Point, QString(),
                                         QPageSize::ExactMatch);
                const QPageLayout layout(pageSize, QPageLayout::Portrait, QMarginsF());
                // The page's own print rules make the chart one page; rounding of its size
                // must not add an empty second one.
                QPageRanges firstPage;
                firstPage.addPage(1);
                view->page()->printToPdf([done](const QByteArray &pdf) { done(pdf); }, layout,
                                         firstPage);
            });
    });
}

} // namespace plotwell
