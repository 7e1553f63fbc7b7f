// Build tool: renders the help source (HTML) into the help document the application offers.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "Usage: plotwell-helppdf SOURCE.html OUTPUT.pdf\n";
        return 2;
    }
    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "Cannot read " << args.at(1) << ": " << source.errorString() << '\n';
        return 1;
    }
    QTextDocument document;
    document.setHtml(QString::fromUtf8(source.readAll()));

    QPdfWriter writer(args.at(2));
    writer.setTitle(QStringLiteral("Plotwell Help"));
    writer.setCreator(QStringLiteral("Plotwell"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    writer.setResolution(96);
    document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
    document.print(&writer);
    return QFile::exists(args.at(2)) ? 0 : 1;
}
