// The aggregating delegates, the ordered dictionary and the convenience entries.
#include "CsvTestSupport.h"
#include "csv/CsvRecords.h"

#include <QFile>
#include <QTemporaryDir>

using namespace plotwell::csv;

TEST(CsvKeyedAggregator, FirstRecordGivesTheKeysAndAWrongFieldCountCancelsWithCode2)
{
    const CsvKeyedRecords records = csvKeyedRecordsFromString("b,a\n1,2\n3,4\n").value();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].allKeys(), QStringList({"b", "a"}));
    EXPECT_EQ(records[0].allValues(), QStringList({"1", "2"}));
    EXPECT_EQ(records[1].value("a"), "4");
    EXPECT_EQ(records[1].value("c"), std::nullopt);
    EXPECT_EQ(records[1][0], "3");

    CsvParser parser(QByteArray("a,b\n1,2,3\n4,5\n"));
    CsvKeyedAggregator aggregator;
    parser.setDelegate(&aggregator);
    parser.parse();
    EXPECT_TRUE(parser.isCancelled());
    ASSERT_TRUE(aggregator.error());
    EXPECT_EQ(aggregator.error()->code, IncorrectNumberOfFields);
    EXPECT_TRUE(aggregator.records().isEmpty());
    EXPECT_EQ(csvKeyedRecordsFromString("a,b\n1\n").error().code, IncorrectNumberOfFields);
}

TEST(CsvOrderedDictionary, DuplicateKeysAndEquality)
{
    const CsvOrderedDictionary d({"k", "x", "k"}, {"1", "2", "3"});
    EXPECT_EQ(d.value("k"), "3");
    EXPECT_EQ(d.count(), 2);
    EXPECT_EQ(d.valueAt(0), "1");
    const CsvOrderedDictionary same({"k", "x", "k"}, {"9", "2", "3"});
    EXPECT_EQ(d, same); // the lookups agree and so do the keys
    EXPECT_EQ(qHash(d), qHash(same));
    EXPECT_FALSE(d == CsvOrderedDictionary({"x", "k"}, {"2", "3"}));
    EXPECT_FALSE(CsvOrderedDictionary({"a", "b"}, {"1", "2"}) ==
                 CsvOrderedDictionary({"b", "a"}, {"2", "1"}));
}

TEST(CsvEntries, FileUrlAndStringFormsAgree)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("people.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xef\xbb\xbf name ;\"x;y\"\r\n#c\r\n1;2\r\n");
    file.close();

    const CsvOptions options = SanitizeFields | TrimWhitespace | RecognizeComments;
    const QList<QStringList> expected{{"name", "x;y"}, {"1", "2"}};
    EXPECT_EQ(csvRecordsFromFile(path, options, u';').value(), expected);
    EXPECT_EQ(csvRecordsFromUrl(QUrl::fromLocalFile(path), options, u';').value(), expected);
    EXPECT_EQ(csvRecordsFromString(" name ;\"x;y\"\r\n#c\r\n1;2", options, u';').value(), expected);
    EXPECT_EQ(csvKeyedRecordsFromFile(path, options, u';').value()[0].value("name"), "1");
    // No options: fields exactly as they stand.
    EXPECT_EQ(csvRecordsFromFile(path, {}, u';').value()[0], QStringList({" name ", "\"x;y\""}));
}
