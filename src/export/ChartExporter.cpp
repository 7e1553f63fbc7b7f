#include "export/ChartExporter.h"

#include "render/PageRequest.h"
#include "render/ViewerLoader.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace plotwell {

double hiResScale(QSizeF small, QSizeF large)
{
    double scale = 2.0;
    if (large.width() > 0 && large.height() > 0) {
        scale = std::max(
            {scale, 2.0 * small.width() / large.width(), 2.0 * small.height() / large.height()});
        const double longest = std::max(large.width(), large.height());
        scale = std::min(scale, std::max(1.0, kMaxPictureSide / longest));
    }
    return scale;
}

QByteArray pngData(const QImage &image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

QString writeBytes(const QString &path, const QByteArray &bytes, bool atomic)
{
    if (atomic) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return file.errorString();
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

ChartExporter::ChartExporter(ChartViewer &webViewM, ChartViewer &webViewL, ChartPictures &pictures)
    : m_webViewM(webViewM), m_webViewL(webViewL), m_pictures(pictures)
{}

bool ChartExporter::hasChart() const
{
    return !m_loader || m_loader->chartRequested();
}

double ChartExporter::exportScale() const
{
    return m_loader ? m_loader->exportScale() : 1.0;
}

ChartViewer &ChartExporter::viewer(Resolution resolution) const
{
    return resolution == Resolution::Small ? m_webViewM : m_webViewL;
}

double ChartExporter::pictureScale(Resolution resolution) const
{
    if (resolution == Resolution::Small)
        return 1.0;
    return hiResScale(m_pictures.viewerSize(m_webViewM), m_pictures.viewerSize(m_webViewL));
}

void ChartExporter::whenIssued(Resolution resolution, std::function<void()> next)
{
    // Both wait: the high-resolution picture's density follows the export viewer's size.
    Q_UNUSED(resolution);
    if (!m_loader || !m_loader->exportPending()) {
        next();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(m_loader, &ViewerLoader::exportViewerSized, m_loader,
                                   [connection, next](QSizeF) {
                                       QObject::disconnect(*connection);
                                       // The load itself follows the signal.
                                       QTimer::singleShot(0, next);
                                   });
}

void ChartExporter::picture(Resolution resolution, ChartPictures::ImageDone done)
{
    whenIssued(resolution, [this, resolution, done = std::move(done)] {
        m_pictures.takePicture(viewer(resolution), pictureScale(resolution), done);
    });
}

void ChartExporter::writePng(Resolution resolution, const QString &path, bool atomic, Done done)
{
    picture(resolution, [path, atomic, done = std::move(done)](const QImage &image) {
        const QByteArray png = pngData(image);
        if (png.isEmpty()) {
            done(QStringLiteral("No picture of the chart could be taken."));
            return;
        }
        done(writeBytes(path, png, atomic));
    });
}

void ChartExporter::writePdf(Resolution resolution, const QString &path, bool atomic, Done done)
{
    m_sheetNotes.clear();
    whenIssued(resolution, [this, resolution, path, atomic, done = std::move(done)] {
        if (m_sheetPrinter && m_loader && m_loader->exportBeyondPicture()) {
            m_sheetPrinter(
                m_loader->exportedData(), m_loader->exportedLook(), path,
                [this](const QString &note) { m_sheetNotes << note; }, done);
            return;
        }
        m_pictures.printToPdf(viewer(resolution), [path, atomic, done](const QByteArray &pdf) {
            if (pdf.isEmpty()) {
                done(QStringLiteral("The chart could not be printed as PDF."));
                return;
            }
            done(writeBytes(path, pdf, atomic));
        });
    });
}

} // namespace plotwell
