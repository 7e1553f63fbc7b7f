#include "base/DocumentNames.h"

#include <gtest/gtest.h>

using namespace plotwell::document;

TEST(DocumentName, LastPieceOfTheUrlWithEscapesKept)
{
    EXPECT_EQ(documentName(QStringLiteral("file:///Users/x/My%20Chart.csv")),
              QStringLiteral("My%20Chart.csv"));
    EXPECT_EQ(baseName(QStringLiteral("My%20Chart.csv")), QStringLiteral("My%20Chart"));
    EXPECT_EQ(baseName(QStringLiteral("a.b.c.csv")), QStringLiteral("a.b.c"));
    EXPECT_EQ(baseName(QStringLiteral("README")), QStringLiteral("README"));
    EXPECT_EQ(pathExtension(QStringLiteral("README")), QString());
    EXPECT_EQ(readableName(QStringLiteral("My%20Chart")), QStringLiteral("My Chart"));
    EXPECT_EQ(readableName(QStringLiteral("%C3%9Cbersicht")), QStringLiteral("Übersicht"));
    EXPECT_EQ(readableName(QStringLiteral("100%25")), QStringLiteral("100%"));
}

TEST(DocumentName, SavePanelChoicesGetTheirTypesExtensionUnlessTyped)
{
    const QStringList sql = {QStringLiteral("sql")};
    EXPECT_EQ(withTypeExtension("/d/out.txt", sql), "/d/out.txt.sql");
    EXPECT_EQ(withTypeExtension("/d/out", sql), "/d/out.sql");
    EXPECT_EQ(withTypeExtension("/d/out.SQL", sql), "/d/out.SQL");
    EXPECT_EQ(withTypeExtension("/d/outsql", sql), "/d/outsql.sql");
    EXPECT_EQ(withTypeExtension("/d/a.png", {"pdf", "png"}), "/d/a.png");
}

// The five keys of one name are checked where a save stores them (document_flows_test).
TEST(CompanionKeys, EveryDotIsReplaced)
{
    const CompanionKeys dotted = companionKeys(QStringLiteral("q1.team.v2.csv"));
    EXPECT_EQ(dotted.colours, QStringLiteral("q1teamv2csv"));
    EXPECT_EQ(dotted.nodeRadius, QStringLiteral("q1NULLteamNULLv2NULLcsv"));
}

TEST(UrlFromPath, PlainPathGetsFileSchemeAndUrlTextKeepsItsFormWithSpacesEscaped)
{
    const QString url = urlTextFromPath(QStringLiteral("/Users/x/Team Chart.csv"));
    EXPECT_EQ(url, QStringLiteral("file:////Users/x/Team%20Chart.csv"));
    EXPECT_EQ(localFileOfUrlText(url), QStringLiteral("/Users/x/Team Chart.csv"));
    EXPECT_EQ(urlTextFromPath(QStringLiteral("file:///tmp/a b.csv")),
              QStringLiteral("file:///tmp/a%20b.csv"));
    EXPECT_EQ(urlTextFromPath(QStringLiteral("file:///tmp/a%20b.csv")),
              QStringLiteral("file:///tmp/a%20b.csv"));
    // The same document name as the open panel gives.
    for (const QString &path :
         {QStringLiteral("/home/u/Übersicht Team.csv"), QStringLiteral("/home/u/q1.team.v2.csv"),
          QStringLiteral("/home/u/100% (final)#2.csv")}) {
        const QString fromPanel = urlTextOfLocalFile(path);
        EXPECT_EQ(documentName(urlTextFromPath(path)), documentName(fromPanel))
            << path.toStdString();
        EXPECT_EQ(localFileOfUrlText(urlTextFromPath(path)), path);
        EXPECT_EQ(localFileOfUrlText(fromPanel), path);
    }
}

TEST(ExtensionGate, OnlyCsvInOneOfTwoCasesIsImported)
{
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.csv")), FileKind::Csv);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.CSV")), FileKind::Csv);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart. csv")), FileKind::Csv);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.Csv")), FileKind::Invalid);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.tsv")), FileKind::Tsv);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.TSV")), FileKind::Tsv);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("plan.txt")), FileKind::Invalid);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("csv")), FileKind::Invalid);
    EXPECT_EQ(classifyDocumentName(QStringLiteral("chart.csv.bak")), FileKind::Invalid);
}

TEST(ExportFileName, ChartTitleThenDocumentThenADefault)
{
    const struct
    {
        const char *title;
        const char *document;
        const char *proposed;
    } cases[] = {
        {"Board 2026", "file:///home/a/people.csv", "Board 2026"},
        {"  Sales / Ops: Q3?  ", "", "Sales Ops Q3"},
        {"", "file:///home/a/My%20People.csv", "My People"},
        {"   ", "/home/a/team.list.csv", "team.list"},
        {"", "", "Org Chart"},
        {"<|>", "", "Org Chart"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(exportFileName(QString::fromUtf8(c.title), QString::fromUtf8(c.document)),
                  QString::fromUtf8(c.proposed))
            << c.title;
}
