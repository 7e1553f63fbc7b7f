// Build tool: renders the application icon (SVG) into the PNG sizes of the hicolor theme.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "Usage: plotwell-iconpng ICON.svg OUTPUT-DIR SIZE...\n"
                               "writes OUTPUT-DIR/<size>x<size>/apps/<icon name>.png\n";
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        QTextStream(stderr) << "Cannot read the icon " << args.at(1) << '\n';
        return 1;
    }
    const QString name = QFileInfo(args.at(1)).completeBaseName() + QStringLiteral(".png");
    for (const QString &sizeText : args.mid(3)) {
        const int size = sizeText.toInt();
        if (size <= 0) {
            QTextStream(stderr) << "Not a size: " << sizeText << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        if (!QDir().mkpath(dir) || !image.save(dir + QLatin1Char('/') + name)) {
            QTextStream(stderr) << "Cannot write " << dir << '/' << name << '\n';
            return 1;
        }
    }
    return 0;
}
