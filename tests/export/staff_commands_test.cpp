// `plotwell import` and `plotwell render --staff`, run as a user runs them.
#include "../staff/StaffTestSupport.h"
#include "PdfFacts.h"
#include "PlotwellProcess.h"
#include "TestFiles.h"
#include "document/DocumentFormat.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using Run = plotwell::testing::ProcessRun;
using plotwell::testing::runPlotwell;
using plotwell::testing::writeFile;

/// The names of a generated staff list, as the boxes show them.
QStringList namesOf(const QByteArray &csv)
{
    QStringList names;
    static const QRegularExpression nameField(QStringLiteral("^E\\d+,\"([^\"]+)\""));
    for (const QString &line : QString::fromUtf8(csv).split(u'\n')) {
        const QRegularExpressionMatch match = nameField.match(line);
        if (match.hasMatch())
            names << match.captured(1);
    }
    return names;
}

/// What the SVG's text elements say, or nothing when it is not well-formed XML.
std::optional<QString> svgText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() &&
            (xml.name() == QLatin1String("tspan") || xml.name() == QLatin1String("text")))
            text += u' ';
        else if (xml.isCharacters())
            text += xml.text();
    }
    if (xml.hasError())
        return std::nullopt;
    return text.simplified();
}

} // namespace

class StaffCommandsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void importWritesAChartDocument()
    {
        QTemporaryDir dir;
        // A spreadsheet's export: semicolons, a byte-order mark, CRLF, a manager by name that
        // nobody has.
        const QString staff = writeFile(dir.filePath(QStringLiteral("staff.csv")),
                                        QByteArray("\xEF\xBB\xBFName;Position;Supervisor;Deputy\r\n"
                                                   "Ann Lee;Director;;\r\n"
                                                   "Bob Stone;Engineer;Ann Lee;Ann Lee\r\n"
                                                   "Cy Ortiz;Analyst;Zed Nobody;Bob Stone\r\n"));
        const QString chart = dir.filePath(QStringLiteral("chart.csv"));
        Run run = runPlotwell({"import", staff, "-o", chart});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("line 4")) && run.err.contains("Zed Nobody"),
                 qPrintable(run.err));
        const std::optional<plotwell::document::SavedChart> saved =
            plotwell::document::parseSavedDocument(plotwell::testing::readFile(chart));
        QVERIFY(saved);
        QCOMPARE(QStringList(saved->titles.begin(), saved->titles.begin() + 3),
                 (QStringList{"Ann Lee(Director)", "Bob Stone(Engineer)", "Cy Ortiz(Analyst)"}));
        QCOMPARE(saved->parents[1], QStringLiteral("1_Ann Lee(Director)"));
        QCOMPARE(saved->parents[2], QString());
    }

    void renderDrawsAThousandPeopleAsPdfSvgAndPng()
    {
        QTemporaryDir dir;
        const plotwell::staff::test::GeneratedStaff generated =
            plotwell::staff::test::generateStaff(1000);
        const QString staff =
            writeFile(dir.filePath(QStringLiteral("thousand.csv")), generated.csv);
        const QStringList names = namesOf(generated.csv);
        QCOMPARE(names.size(), 1000);

        const QString pdf = dir.filePath(QStringLiteral("org.pdf"));
        const QString svg = dir.filePath(QStringLiteral("org.svg"));
        const QString png = dir.filePath(QStringLiteral("org.png"));
        for (const QStringList &arguments :
             {QStringList{"render", "--staff", staff, "-o", pdf, "--paper", "a4"},
              QStringList{"render", "--staff", staff, "-o", svg},
              QStringList{"render", "--staff", staff, "-o", png}}) {
            const Run run = runPlotwell(arguments);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            QCOMPARE(run.out, QFileInfo(arguments.at(4)).absoluteFilePath());
        }

        // Every name selectable in the PDF, on A4 sheets; more of them than are printed in one
        // batch, so the batches are joined in order.
        const plotwell::testing::PdfFacts facts = plotwell::testing::pdfFacts(pdf);
        QVERIFY2(facts.pages > 20, qPrintable(QString::number(facts.pages)));
        QVERIFY(std::abs(facts.pageSize.width() - 841.89) < 2 ||
                std::abs(facts.pageSize.width() - 595.28) < 2);
        // In drawing order: a box's lines stay together, whatever stands beside it.
        const QString pdfText =
            plotwell::testing::toolOutput(QStringLiteral("pdftotext"), {"-raw", pdf, "-"})
                .simplified();
        const QString sheets = QString::number(facts.pages);
        for (const QString &label : {QStringLiteral("Sheet 1 of "), QStringLiteral("Sheet 21 of "),
                                     QStringLiteral("Sheet %1 of ").arg(sheets)})
            QVERIFY2(pdfText.contains(label + sheets), qPrintable(label));
        QStringList missing;
        for (const QString &name : names) {
            if (!pdfText.contains(name))
                missing << name;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.mid(0, 5).join(", ")));

        const std::optional<QString> text = svgText(svg);
        QVERIFY(text);
        for (const QString &name : names)
            QVERIFY2(text->contains(name), qPrintable(name));

        const QImage picture(png);
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() <= 16384 && picture.height() <= 16384);
        QVERIFY(picture.width() > 1000);
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 3) {
            for (int x = 0; x < picture.width(); x += 3)
                colours.insert(picture.pixel(x, y));
        }
        QVERIFY2(colours.size() > 2, "the picture shows the chart");
    }

    // Every refusal leaves the folder as it was: no chart, no partial picture.
    void badCommandLinesAndTooLargeListsAreRefused()
    {
        QTemporaryDir dir;
        const QString big = writeFile(dir.filePath(QStringLiteral("big.csv")),
                                      plotwell::staff::test::generateStaff(94).csv);
        const QString small =
            writeFile(dir.filePath(QStringLiteral("s.csv")), QByteArray("Name,Manager\nAnn,\n"));
        const QString chart = dir.filePath(QStringLiteral("chart.csv"));
        const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
        const struct
        {
            QStringList arguments;
            int exitCode;
            const char *said;
        } cases[] = {
            {{"import", big, "-o", chart}, 1, "holds 93 people"},
            {{"import", big, "-o", chart, "--name-column", "no such column"}, 1, "no such column"},
            {{"import", big}, 2, ""},
            {{"render", "--staff", small, "-o", dir.filePath("x.gif")}, 2, ""},
            {{"render", "--staff", small, "-o", pdf, "--paper", "a5"}, 2, ""},
            {{"render", "--staff", dir.filePath("none.csv"), "-o", pdf}, 1, ""},
            {{"render", "--staff"}, 2, "Missing value after '--staff'."},
            {{"render", "--staff", small, "-o", pdf, "--paper"},
             2,
             "Missing value after '--paper'."},
        };
        for (const auto &c : cases) {
            const Run run = runPlotwell(c.arguments);
            QVERIFY2(run.exitCode == c.exitCode && run.err.contains(QLatin1String(c.said)),
                     qPrintable(c.arguments.join(u' ') + QStringLiteral(": ") + run.err));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"big.csv", "s.csv"}));
    }
};

QTEST_GUILESS_MAIN(StaffCommandsTest)
#include "staff_commands_test.moc"
