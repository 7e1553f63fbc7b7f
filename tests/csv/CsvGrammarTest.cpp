// How records and fields are found, alone and with each option and the pairs that meet: quotes,
// delimiters, line breaks, escapes, comments, trimming, the leading equal sign; errors,
// cancelling and a quote left open. Every input is parsed in one piece and split at every byte.
#include "CsvTestSupport.h"

using namespace plotwell::csv;
using namespace plotwell::csv::test;

namespace {

using Rows = QList<QStringList>;

/// The field values of a parse, one list per record; comments as "#text", a failure as its event.
Rows rowsOf(const QByteArray &text, CsvOptions options, QChar delimiter = u',')
{
    Rows rows;
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

const QString kGotC = QStringLiteral(
    "fail com.quillfen.csv 1 Unexpected delimiter. Expected ',' (0x2C), but got 'c' (0x63)");

} // namespace

TEST(CsvGrammar, FieldsAndRecordsUnderEachOption)
{
    constexpr CsvOptions none;
    constexpr CsvOptions S = SanitizeFields, T = TrimWhitespace, E = BackslashEscapes,
                         C = RecognizeComments, L = RecognizeLeadingEqualSign;
    const QByteArray spaced = " \"x\" ,y";
    const QByteArray backslashes = "a\\,b,c\\\nd,e\\\\";
    const QByteArray comments = "#note\nx,#y\n\n#  spaced  \n  z  ";
    const QByteArray padded = " a \t,\xc2\xa0"
                              "b\xe2\x80\x83,\" c \"  \n";
    const QByteArray equals = "=\"001\",=5, =\"x\"\"y\" ,=";
    const Rows equalsRaw = {{"=\"001\"", "=5", " =\"x\"\"y\" ", "="}};
    const struct
    {
        QByteArray text;
        CsvOptions options;
        Rows rows;
        QChar delimiter = u',';
    } cases[] = {
        // Only a quote that opens the field quotes it; sanitizing takes the quotes off.
        {"a,\"b,c\",d", none, {{"a", "\"b,c\"", "d"}}},
        {"a,\"b,c\",d", S, {{"a", "b,c", "d"}}},
        {"a\"b\",c", S, {{"a\"b\"", "c"}}},
        {"\"say \"\"hi\"\"\",\"\"\"\"\n", S, {{"say \"hi\"", "\""}}},
        {"\"say \"\"hi\"\"\",\"\"\"\"\n", none, {{"\"say \"\"hi\"\"\"", "\"\"\"\""}}},
        {"\"one\r\ntwo,\n\nthree\",x\ny", S, {{"one\r\ntwo,\n\nthree", "x"}, {"y"}}},
        // Sanitizing alone keeps the white space outside the quotes, trimming drops it.
        {spaced, none, {{" \"x\" ", "y"}}},
        {spaced, S, {{" x ", "y"}}},
        {spaced, S | T, {{"x", "y"}}},
        {spaced, T, {{"\"x\"", "y"}}},
        {"\" in \"", S | T, {{" in "}}},
        {"x\n\"ab\"c,d\ne", none, {{"x"}, {"\"ab\""}, {kGotC}}},
        // Runs of line breaks make no empty records; a blank first line is one empty field.
        // Only CR and LF end a record: vertical tab, form feed, NEL, U+2028 and U+2029 pasted
        // into a value stay in it.
        {"a,b\r\n\r\n\nc\rd\xc2\x85"
         "e\xe2\x80\xa8"
         "f\r\ng\vh,i\fj\xe2\x80\xa9k\r\n",
         none,
         {{"a", "b"},
          {"c"},
          {"d\xc2\x85"
           "e\xe2\x80\xa8"
           "f"},
          {"g\vh", "i\fj\xe2\x80\xa9k"}}},
        {"\n,,\na,\n,b,c,d", none, {{""}, {"", "", ""}, {"a", ""}, {"", "b", "c", "d"}}},
        {"", none, {}},
        // NUL is an ordinary character, inside quotes too.
        {QByteArray("a\0b,\"x\0\"\n", 9),
         S,
         {{QString("a") + QChar(0) + "b", QString("x") + QChar(0)}}},
        // Other delimiters; a white-space delimiter is not skipped as leading white space.
        {"a;b,c\n", none, {{"a", "b,c"}}, u';'},
        {"a\t\tb\n\t", none, {{"a", "", "b"}, {"", ""}}, u'\t'},
        {" a \t \"b\" \t", S | T, {{"a", "b", ""}}, u'\t'},
        {"x\xc2\xa7y", none, {{"x", "y"}}, QChar(0xA7)},
        // A backslash takes the next character literally, a quote or a doubled quote too.
        {backslashes, none, {{"a\\", "b", "c\\"}, {"d", "e\\\\"}}},
        {backslashes, E, {{"a\\,b", "c\\\nd", "e\\\\"}}},
        {backslashes, E | S, {{"a,b", "c\nd", "e\\"}}},
        {"\"q\\\"uote\",x", E, {{"\"q\\\"uote\"", "x"}}},
        {"\"q\\\"uote\",x", E | S, {{"q\"uote", "x"}}},
        {"\"\\\"\"\"\"", E | S, {{"\"\""}}},
        {"\"ab\\", E | S, {{"ab"}}}, // the quoted field stays open
        // Comments only at the start of a record; trimming never touches their text.
        {comments, C, {{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"  z  "}}},
        {comments, none, {{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"  z  "}}},
        {comments, C | T, {{"#note"}, {"x", "#y"}, {"#  spaced  "}, {"z"}}},
        {" #a", C | T, {{"#a"}}},
        {"#a\\\nb\r\n#c\nd", C | E, {{"#a\\\nb"}, {"#c"}, {"d"}}},
        {"#only", C, {{"#only"}}},
        {padded,
         none,
         {{" a \t",
           QString::fromUtf8("\xc2\xa0"
                             "b\xe2\x80\x83"),
           "\" c \"  "}}},
        {padded, T, {{"a", "b", "\" c \""}}},
        {padded, T | S, {{"a", "b", " c "}}},
        // The leading equal sign opens a quoted field, only when sanitizing.
        {equals, none, equalsRaw},
        {equals, S, equalsRaw},
        {equals, L, equalsRaw},
        {equals, L | S, {{"001", "=5", " x\"y ", "="}}},
        {equals, L | S | T, {{"001", "=5", "x\"y", "="}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rowsOf(c.text, c.options, c.delimiter), c.rows)
            << c.text.toStdString() << " options " << c.options.toInt();

    // Without escapes the backslash is text and the quote after it closes the field; an equal
    // sign's quoted part must close as well.
    EXPECT_TRUE(rowsOf("\"q\\\"uote\",x", S).last().first().startsWith("fail"));
    EXPECT_TRUE(rowsOf("=\"a\"b", L).value(1).value(0).startsWith("fail com.quillfen.csv 1"));
}

TEST(CsvCancel, StopsEventsButStillEndsTheDocument)
{
    // Every split, so that the cancelling event comes from each of the parser's paths.
    const QByteArray text = "a,b,c\nd,e\n#x\n";
    const QStringList events = {"begin",       "line 1",    "field 0 [a]", "field 1 [b]",
                                "field 2 [c]", "endline 1", "line 2"};
    for (qsizetype split = 1; split <= text.size(); ++split)
        for (auto options : {CsvOptions{}, CsvOptions{RecognizeComments}})
            for (qsizetype at : {3, 5, 6}) {
                CsvParser parser(std::make_unique<PieceReader>(text, QList<qsizetype>{split, 100}));
                parser.applyOptions(options);
                RecordingDelegate delegate;
                delegate.cancelOn = events[at];
                parser.setDelegate(&delegate);
                parser.parse();
                EXPECT_EQ(delegate.events, events.first(at + 1) + QStringList{"end"})
                    << split << " " << at;
                EXPECT_TRUE(parser.isCancelled());
            }
}

TEST(CsvUnterminatedQuote, IsReportedWithWhatWasRead)
{
    const ParseOutcome raw = parseEveryWay("a,\"bc\n\"\"d");
    EXPECT_EQ(raw.events, QStringList({"begin", "line 1", "field 0 [a]", "field 1 [\"bc\n\"\"d]",
                                       "endline 1", "end"}));
    EXPECT_TRUE(raw.endedInsideQuotes);

    const ParseOutcome clean = parseEveryWay("a, \"bc\n\"\"d", {SanitizeFields});
    EXPECT_EQ(clean.events[3], "field 1 [ bc\n\"d]");
    EXPECT_FALSE(parseEveryWay("a,\"bc\"").endedInsideQuotes);
}
