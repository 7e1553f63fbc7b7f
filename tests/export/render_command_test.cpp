// `plotwell render`: both samples to PNG and PDF, small and high resolution, off screen.
#include "PdfFacts.h"
#include "PlotwellProcess.h"
#include "TestFiles.h"
#include "WideChart.h"
#include "base/DocumentNames.h"
#include "colour/SwatchBoard.h"
#include "document/CompanionEntries.h"
#include "model/ChartGrid.h"
#include "platform/qt/QtPorts.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace plotwell;

namespace {

using Run = plotwell::testing::ProcessRun;
using plotwell::testing::runPlotwell;

/// How many pixels have exactly \a colour.
int pixelsOf(const QImage &image, QColor colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] & 0xffffff) == (colour.rgb() & 0xffffff);
    }
    return count;
}

/// A chart document as Save writes one: the chart title, then each row's quoted title and
/// parent, 31 rows to a line's page.
QString chartDocument(const QString &chartTitle, const std::function<QString(int)> &titleOf,
                      const std::function<QString(int)> &parentOf)
{
    QString text = chartTitle + QString(kValueFieldCount, QLatin1Char(','));
    for (int row = 1; row <= kRowCount; ++row)
        text += QStringLiteral("\r\n\"") + titleOf(row) + QStringLiteral("\",\"") + parentOf(row) +
                QLatin1Char('"') + QLatin1String(row % kPageSize ? "," : "");
    return text;
}

} // namespace

class RenderCommandTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Every run reads a preferences store of its own, never the one of whoever runs the tests;
    // and as on a desktop, the runtime folder is there (a warning of its own without) and no
    // logging rules are set.
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        qunsetenv("QT_LOGGING_RULES");
    }

    void samplesAsPngAndPdf()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("chart.png"));
        const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
        const QString large = dir.filePath(QStringLiteral("large.png"));
        const QString second = dir.filePath(QStringLiteral("second.png"));

        for (const QStringList &arguments :
             {QStringList{"render", "--sample", "1", "-o", png},
              QStringList{"render", "--sample", "1", "-o", pdf},
              QStringList{"render", "--sample", "1", "-o", large, "--hires"},
              QStringList{"render", "--sample", "2", "-o", second}}) {
            const Run run = runPlotwell(arguments);
            // A normal run says nothing on standard error: scripts read it as trouble.
            QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.err));
            QCOMPARE(run.out, QFileInfo(arguments.at(4)).absoluteFilePath());
        }

        // The PDF: one page, the chart's size, its text selectable.
        const plotwell::testing::PdfFacts facts = plotwell::testing::pdfFacts(pdf);
        QCOMPARE(facts.pages, 1);
        QVERIFY(facts.text.contains(QStringLiteral("Niall Brent")));
        const QSizeF page = facts.pageSize;

        // The PNG: the chart plus the export viewer's 20-pixel margin, the PDF's page in pixels.
        const QImage picture(png);
        QVERIFY(!picture.isNull());
        QVERIFY(std::abs(picture.width() - (page.width() / 0.75 + 20)) <= 2);
        QVERIFY(std::abs(picture.height() - (page.height() / 0.75 + 20)) <= 2);
        // Row 1's start-up colour fills the root box; the corner shows the background colour.
        const QStringList colours = plotwell::startupSlotTexts();
        const QColor root(colours.value(0));
        const QColor background(colours.value(93));
        QCOMPARE(picture.pixelColor(1, 1).name(), background.name());
        QVERIFY2(pixelsOf(picture, root) > 1000, qPrintable(root.name()));

        const QImage hires(large);
        QVERIFY(hires.width() >= 2 * picture.width());
        QVERIFY(hires.height() >= 2 * picture.height());
        // Sample 2 is a chart of another shape.
        QVERIFY(QImage(second).size() != picture.size());
    }

    // A 10,000-character chart title and a 10 KB title, with CRLF line ends as another editor
    // leaves them: once gigabytes and a crash. A device without end is refused at once.
    void aLargeDocumentDrawsWithinTheLargestPictureAndDevZeroIsRefused()
    {
        QTemporaryDir dir;
        const QString text = chartDocument(
            QString(10000, QLatin1Char('T')),
            [](int row) {
                return row == 1   ? QStringLiteral("Ann")
                       : row == 2 ? QString(10240, QLatin1Char('x'))
                                  : QString();
            },
            [](int row) { return row == 2 ? QStringLiteral("1") : QString(); });
        const QString file = dir.filePath(QStringLiteral("large.csv"));
        testing::writeFile(file, text.toUtf8());
        const QString png = dir.filePath(QStringLiteral("large.png"));
        QCOMPARE(runPlotwell({"render", file, "-o", png}).exitCode, 0);
        const QImage picture(png);
        QVERIFY(picture.width() <= 16000 && picture.height() <= 16000);
        QVERIFY(pixelsOf(picture, picture.pixel(0, 0)) < picture.width() * picture.height());

        const Run zero = runPlotwell({"render", "/dev/zero", "-o", png});
        QCOMPARE(zero.exitCode, 1);
        QVERIFY(zero.err.contains(QStringLiteral("larger than 16 MB")));
    }

    // 92 people under one head: wider than the largest picture, so printed on sheets, where
    // one page would have shrunk every name out of reach.
    void aWideChartIsPrintedOnSheetsWithEveryName()
    {
        QTemporaryDir dir;
        const QString file = plotwell::testing::writeWideChart(QDir(dir.path()));
        const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
        const Run run = runPlotwell({"render", file, "-o", pdf});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const plotwell::testing::PdfFacts facts = plotwell::testing::pdfFacts(pdf);
        QVERIFY2(facts.pages > 1, qPrintable(run.err));
        QCOMPARE(plotwell::testing::missingPeople(facts.text), QStringList());
    }

    // A document of an earlier version keeps its colours and node width in the preferences, as
    // the window stored them: the command draws it with them and leaves the store as it was.
    void anOlderDocumentIsDrawnInTheLookTheWindowStored()
    {
        QTemporaryDir dir;
        QString text = QStringLiteral("Team") + QString(kValueFieldCount, QLatin1Char(','));
        for (int row = 1; row <= kRowCount; ++row) {
            text += QLatin1String(row == 1   ? "\n\"Ann\",\"\""
                                  : row == 2 ? "\n\"Bo\",\"1\""
                                             : "\n\"\",\"\"") +
                    QLatin1String(row % kPageSize ? "," : "");
        }
        const QString file =
            testing::writeFile(dir.filePath(QStringLiteral("team.csv")), text.toUtf8());
        const QString urlText = document::urlTextOfLocalFile(file);
        const QColor stored(0x12, 0x34, 0x56);
        SettingsPreferences preferences;
        document::storeCompanionEntries(preferences, document::documentName(urlText),
                                        {stored.name(), QString(), QStringLiteral("300"),
                                         QStringLiteral("4"), QStringLiteral("1")},
                                        document::companionName(urlText));
        const QByteArray before = testing::readFile(m_config.filePath("Orvanta/Plotwell.conf"));
        QVERIFY(!before.isEmpty());

        const QString png = dir.filePath(QStringLiteral("team.png"));
        const Run run = runPlotwell({"render", file, "-o", png});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage picture(png);
        QVERIFY(pixelsOf(picture, stored) > 1000);
        QCOMPARE(testing::readFile(m_config.filePath("Orvanta/Plotwell.conf")), before);
    }

    void badArgumentsAreRefused()
    {
        QTemporaryDir dir;
        QCOMPARE(runPlotwell({"render", "--sample", "3", "-o", dir.filePath("x.png")}).exitCode, 2);
        QCOMPARE(runPlotwell({"render", "--sample", "1", "-o", dir.filePath("x.gif")}).exitCode, 2);
        const Run last = runPlotwell({"render", "--sample", "1", "-o"});
        QVERIFY2(last.exitCode == 2 &&
                     last.err.contains(QStringLiteral("Missing value after '-o'.")),
                 qPrintable(last.err));
        // Both forms of the command are in its help.
        const Run help = runPlotwell({"render", "--help"});
        QVERIFY2(help.exitCode == 0 && help.out.contains(QStringLiteral("--sample")) &&
                     help.out.contains(QStringLiteral("--staff")),
                 qPrintable(help.out));
        QVERIFY(QDir(dir.path()).isEmpty());
        // A staff list is not drawn as a row of its column titles: the user is shown its way.
        const QString staff = dir.filePath(QStringLiteral("staff.csv"));
        testing::writeFile(staff, "Employee Name;Reports To\r\nAnn Lee;\r\nBo Li;Ann Lee\r\n");
        const Run run = runPlotwell({"render", staff, "-o", dir.filePath("x.png")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("render --staff")) &&
                     run.err.contains(QStringLiteral("Import Staff List")),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("x.png")));
        // Titles below an empty row 1 draw nothing, and the command says why.
        const QString chart = dir.filePath(QStringLiteral("no top.csv"));
        testing::writeFile(
            chart,
            chartDocument(
                {}, [](int row) { return row == 2 ? QStringLiteral("Bo Li(CTO)") : QString(); },
                [](int) { return QString(); })
                .toUtf8());
        const Run empty = runPlotwell({"render", chart, "-o", dir.filePath("x.png")});
        QCOMPARE(empty.exitCode, 1);
        QVERIFY2(empty.err.contains(QStringLiteral("Row 1 has no title")), qPrintable(empty.err));
        QVERIFY(!QFile::exists(dir.filePath("x.png")));
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_runtime;
};

QTEST_GUILESS_MAIN(RenderCommandTest)
#include "render_command_test.moc"
