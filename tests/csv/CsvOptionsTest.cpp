// Each option alone, and the pairs that meet: escapes with quotes, comments with trimming, the
// leading equal sign with sanitizing.
#include "CsvTestSupport.h"

using namespace plotwell::csv;
using namespace plotwell::csv::test;

namespace {

/// The field values of a parse, one list per record; comments as "#text".
QList<QStringList> rowsOf(const QByteArray &text, CsvOptions options, QChar delimiter = u',')
{
    QList<QStringList> rows;
    for (const QString &e : eventsOf(text, {options, delimiter})) {
        if (e.startsWith("line "))
            rows.append(QStringList());
        else if (e.startsWith("field "))
            rows.last() << e.mid(e.indexOf('[') + 1).chopped(1);
        else if (e.startsWith("comment "))
            rows.append(QStringList{"#" + e.mid(9).chopped(1)});
        else if (e.startsWith("fail"))
            rows.append(QStringList{e});
    }
    return rows;
}

} // namespace

TEST(CsvBackslashEscapes, TakeTheNextCharacterLiterally)
{
    const QByteArray plain = "a\\,b,c\\\nd,e\\\\";
    EXPECT_EQ(rowsOf(plain, {}), QList<QStringList>({{"a\\", "b", "c\\"}, {"d", "e\\\\"}}));
    EXPECT_EQ(rowsOf(plain, BackslashEscapes), QList<QStringList>({{"a\\,b", "c\\\nd", "e\\\\"}}));
    EXPECT_EQ(rowsOf(plain, BackslashEscapes | SanitizeFields),
              QList<QStringList>({{"a,b", "c\nd", "e\\"}}));

    const QByteArray quoted = "\"q\\\"uote\",x";
    EXPECT_EQ(rowsOf(quoted, BackslashEscapes), QList<QStringList>({{"\"q\\\"uote\"", "x"}}));
    EXPECT_EQ(rowsOf(quoted, BackslashEscapes | SanitizeFields),
              QList<QStringList>({{"q\"uote", "x"}}));
    // Without escapes the backslash is text and the quote after it closes the field.
    EXPECT_TRUE(rowsOf(quoted, SanitizeFields).last().first().startsWith("fail"));
}

TEST(CsvBackslashEscapes, MeetDoubledQuotes)
{
    // An escaped quote followed by a doubled one, then the closing quote.
    EXPECT_EQ(rowsOf("\"\\\"\"\"\"", BackslashEscapes | SanitizeFields),
              QList<QStringList>({{"\"\""}}));
    // A backslash just before the end leaves the quoted field open.
    EXPECT_EQ(rowsOf("\"ab\\", BackslashEscapes | SanitizeFields), QList<QStringList>({{"ab"}}));
}

TEST(CsvComments, OnlyAtTheStartOfARecord)
{
    const QByteArray text = "#note\nx,#y\n\n#  spaced  \n  z  ";
    EXPECT_EQ(rowsOf(text, RecognizeComments),
              QList<QStringList>({{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"  z  "}}));
    EXPECT_EQ(rowsOf(text, {}),
              QList<QStringList>({{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"  z  "}}));
    // Trimming applies to fields, never to comment text.
    EXPECT_EQ(rowsOf(text, RecognizeComments | TrimWhitespace),
              QList<QStringList>({{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"z"}}));
    // A comment must start the line: after white space it is a field.
    EXPECT_EQ(rowsOf(" #a", RecognizeComments | TrimWhitespace), QList<QStringList>({{"#a"}}));
}

TEST(CsvComments, EscapedLineBreakContinuesTheComment)
{
    EXPECT_EQ(rowsOf("#a\\\nb\r\n#c\nd", RecognizeComments | BackslashEscapes),
              QList<QStringList>({{"#a\\\nb"}, {"#c"}, {"d"}}));
    EXPECT_EQ(rowsOf("#only", RecognizeComments), QList<QStringList>({{"#only"}}));
}

TEST(CsvTrimWhitespace, TrimsBothEndsOfEveryValue)
{
    const QByteArray text = " a \t,\xc2\xa0"
                            "b\xe2\x80\x83,\" c \"  \n";
    EXPECT_EQ(rowsOf(text, {}), QList<QStringList>({{" a \t",
                                                     QString::fromUtf8("\xc2\xa0"
                                                                       "b\xe2\x80\x83"),
                                                     "\" c \"  "}}));
    EXPECT_EQ(rowsOf(text, TrimWhitespace), QList<QStringList>({{"a", "b", "\" c \""}}));
    EXPECT_EQ(rowsOf(text, TrimWhitespace | SanitizeFields),
              QList<QStringList>({{"a", "b", " c "}}));
}

TEST(CsvLeadingEqualSign, OpensAQuotedField)
{
    const QByteArray text = "=\"001\",=5, =\"x\"\"y\" ,=";
    EXPECT_EQ(rowsOf(text, {}), QList<QStringList>({{"=\"001\"", "=5", " =\"x\"\"y\" ", "="}}));
    EXPECT_EQ(rowsOf(text, SanitizeFields),
              QList<QStringList>({{"=\"001\"", "=5", " =\"x\"\"y\" ", "="}}));
    EXPECT_EQ(rowsOf(text, RecognizeLeadingEqualSign),
              QList<QStringList>({{"=\"001\"", "=5", " =\"x\"\"y\" ", "="}}));
    EXPECT_EQ(rowsOf(text, RecognizeLeadingEqualSign | SanitizeFields),
              QList<QStringList>({{"001", "=5", " x\"y ", "="}}));
    EXPECT_EQ(rowsOf(text, RecognizeLeadingEqualSign | SanitizeFields | TrimWhitespace),
              QList<QStringList>({{"001", "=5", "x\"y", "="}}));
}

TEST(CsvLeadingEqualSign, QuotedPartMustStillClose)
{
    const QList<QStringList> rows = rowsOf("=\"a\"b", RecognizeLeadingEqualSign);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], QStringList({"=\"a\""}));
    EXPECT_TRUE(rows[1][0].startsWith("fail com.quillfen.csv 1"));
}
