// Arguments that can never work are refused with the documented messages.
#include "CsvTestSupport.h"
#include "csv/CsvRecords.h"

#include <QBuffer>

using namespace plotwell::csv;

namespace {

template <typename F> std::string messageOf(F &&f)
{
    try {
        f();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(CsvMisuse, ConstructorChecksSourceThenDelimiter)
{
    EXPECT_EQ(messageOf([] { CsvParser p(std::unique_ptr<ByteReader>{}, QChar()); }),
              "Invalid parameter not satisfying: stream");
    EXPECT_EQ(messageOf([] { CsvParser p(QByteArray("a"), QChar()); }),
              "Invalid parameter not satisfying: delimiter");
    for (char16_t lineBreak : {u'\n', u'\r', char16_t(0x0B), char16_t(0x85), char16_t(0x2029)})
        EXPECT_EQ(messageOf([&] { CsvParser p(QByteArray("a"), QChar(lineBreak)); }),
                  "The field delimiter may not be a newline");
    EXPECT_EQ(messageOf([] { CsvParser p(QByteArray("a"), u'"'); }),
              "The field delimiter may not be a double quote");
    EXPECT_EQ(messageOf([] { (void)csvRecordsFromUrl(QUrl()); }),
              "Invalid parameter not satisfying: fileURL");
    EXPECT_THROW((void)csvRecordsFromString("a", UseKeyedAggregator), std::invalid_argument);
}

TEST(CsvMisuse, OptionsThatClashWithTheDelimiterAreStoredThenRefused)
{
    CsvParser backslash(QByteArray("a"), u'\\');
    EXPECT_EQ(messageOf([&] { backslash.setRecognizesBackslashesAsEscapes(true); }),
              "Cannot recognize backslashes as escapes when using '\\' as the delimiter");
    EXPECT_TRUE(backslash.recognizesBackslashesAsEscapes());
    CsvParser hash(QByteArray("a"), u'#');
    EXPECT_EQ(messageOf([&] { hash.setRecognizesComments(true); }),
              "Cannot recognize comments when using '#' as the delimiter");
    EXPECT_NO_THROW(hash.setRecognizesComments(false));
    CsvParser equal(QByteArray("a"), u'=');
    EXPECT_EQ(messageOf([&] { equal.setRecognizesLeadingEqualSign(true); }),
              "Cannot recognize leading equal sign when using '=' as the delimiter");
    EXPECT_THROW((void)csvRecordsFromString("a", RecognizeComments, u'#'), CsvInconsistencyError);
}

TEST(CsvMisuse, DeviceIsOpenedAndClosedByTheParserOnlyIfItWasClosed)
{
    QByteArray data("a,b\n");
    QBuffer closed(&data);
    {
        CsvParser parser(&closed);
        EXPECT_TRUE(closed.isOpen());
    }
    EXPECT_FALSE(closed.isOpen());
    QBuffer open(&data);
    open.open(QIODevice::ReadOnly);
    {
        CsvParser parser(&open);
        test::RecordingDelegate delegate;
        parser.setDelegate(&delegate);
        parser.parse();
        EXPECT_EQ(delegate.events.size(), 6);
    }
    EXPECT_TRUE(open.isOpen());
}
