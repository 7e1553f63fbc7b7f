// Input larger than the read blocks: long fields across many reads, and whole records taken at
// every alignment of the fast path.
#include "CsvTestSupport.h"
#include "csv/CsvAggregator.h"

using namespace plotwell::csv;
using namespace plotwell::csv::test;

TEST(CsvStreaming, FieldLongerThanManyBlocksArrivesWhole)
{
    QByteArray field;
    for (int i = 0; i < 30000; ++i)
        field += "line " + QByteArray::number(i) + (i % 7 ? ", \"\"q\"\"" : "\r\n");
    const QByteArray bytes = "head,\"" + field + "\",tail\nnext";
    QByteArray expected = field;
    expected.replace("\"\"", "\"");

    for (qsizetype piece : {qsizetype(1 << 20), qsizetype(4093), qsizetype(3)}) {
        CsvParser parser(std::make_unique<PieceReader>(bytes, QList<qsizetype>{piece}));
        parser.setSanitizesFields(true);
        CsvAggregator aggregator;
        parser.setDelegate(&aggregator);
        parser.parse();
        ASSERT_EQ(aggregator.lines().size(), 2) << piece;
        EXPECT_EQ(aggregator.lines()[0][1], QString::fromLatin1(expected)) << piece;
        EXPECT_EQ(aggregator.lines()[0][2], "tail");
        EXPECT_EQ(parser.totalBytesRead(), bytes.size());
    }
}

TEST(CsvStreaming, WholeRecordsMatchFieldEventsAtEveryAlignment)
{
    // A field that needs a closer look (quoted, with doubled quotes or line breaks or six
    // thousand characters long, a quote inside or after the closing one, padded, a comment, a
    // leading equal sign, an escape) or none (other characters beyond ASCII); the last one is an
    // error. After runs of plain fields of every length about one and about four thousand
    // characters long, at the start of a record or inside one: so it
    // falls at every place of a 64-character word, and across the pieces of text the plain
    // fields are taken in.
    const QByteArray plain = QByteArray("abcdefg,hij,k\n").repeated(300);
    const QByteArray longQuoted = "\"" + QByteArray("a,b\r\nc\"\"d ").repeated(500) + "\"";
    const QByteArray kinds[] = {"\"q,1\"",
                                "\"a\"\"b\"",
                                "\"x\ny,\r\nz\"",
                                "\"\"",
                                "\" in \"",
                                "ab\"c",
                                "\"d\" ",
                                " sp",
                                "\t",
                                "=\"e\"",
                                "#c",
                                "\\x",
                                "\xC2\xA0nb",
                                "\xE3\x80\x80i",
                                "\xC3\xA9t",
                                "\xE2\x80\xA8",
                                longQuoted,
                                "\"f\"g"};
    for (const QByteArray &ending : {QByteArray(","), QByteArray("\n"), QByteArray("\r\n")}) {
        for (qsizetype run = 940; run < 4200; run += run == 1100 ? 2900 : 1) {
            QByteArray bytes = "\"h\"," + plain.left(run - ending.size()) + ending;
            for (const QByteArray &kind : kinds)
                bytes += kind + ",z\n";
            for (const CsvOptions options :
                 {CsvOptions(), CsvOptions(SanitizeFields | TrimWhitespace),
                  CsvOptions(RecognizeComments | RecognizeLeadingEqualSign)}) {
                const ParseSetup setup{options};
                const ParseOutcome fieldByField =
                    parseWith(std::make_unique<MemoryByteReader>(bytes), setup);
                EXPECT_EQ(parseWith(std::make_unique<MemoryByteReader>(bytes), setup, true),
                          fieldByField)
                    << "run " << run << ", ending " << ending.toStdString() << ", options "
                    << options.toInt();
            }
        }
    }
}

TEST(CsvStreaming, WholeRecordsMatchFieldEventsAcrossRefills)
{
    // Records of every kind straddle the reads: plain, quoted with doubled quotes and line breaks,
    // padded, escaped, and a field long enough to make the text buffer grow mid-record.
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        bytes += QByteArray::number(i) + ",plain " + QByteArray::number(i * 7);
        if (i % 3 == 0)
            bytes += ",\"q \"\"" + QByteArray::number(i) + "\"\"\r\nmore\"";
        if (i % 5 == 0)
            bytes += ",  padded  ,a\\,b";
        if (i == 1500)
            bytes += ",\"" + QByteArray("long ").repeated(40000) + "\"";
        bytes += ",Zürich,end\n";
    }
    for (const CsvOptions options : {CsvOptions(), CsvOptions(SanitizeFields | TrimWhitespace),
                                     CsvOptions(SanitizeFields | BackslashEscapes)}) {
        const ParseSetup setup{options};
        const ParseOutcome fieldByField =
            parseWith(std::make_unique<MemoryByteReader>(bytes), setup);
        ASSERT_GT(fieldByField.events.size(), 3000 * 5);
        for (qsizetype piece : {qsizetype(3), qsizetype(509), qsizetype(1 << 20)}) {
            EXPECT_EQ(parseWith(std::make_unique<PieceReader>(bytes, QList<qsizetype>{piece}),
                                setup, true),
                      fieldByField)
                << "pieces of " << piece << ", options " << options.toInt();
        }
    }
}
