// Which encoding the first bytes select, and decoding across reads (every test parses every
// split, so characters cut by a read are covered).
#include "CsvTestSupport.h"
#include "LogCapture.h"

#include <QStringEncoder>

using namespace plotwell::csv;
using namespace plotwell::csv::test;

namespace {

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

const QString kSample =
    QString::fromUtf8("n\xc3\xa4me,\"\xf0\x9f\x98\x80 ok\"\r\n\xe4\xb8\xad,x\n");
const QStringList kSampleEvents = {"begin",
                                   "line 1",
                                   QString::fromUtf8("field 0 [n\xc3\xa4me]"),
                                   QString::fromUtf8("field 1 [\"\xf0\x9f\x98\x80 ok\"]"),
                                   "endline 1",
                                   "line 2",
                                   QString::fromUtf8("field 0 [\xe4\xb8\xad]"),
                                   "field 1 [x]",
                                   "endline 2",
                                   "end"};

} // namespace

TEST(CsvEncodingMarks, EachMarkSelectsItsEncodingAndIsRemoved)
{
    const struct
    {
        QByteArray mark;
        QStringConverter::Encoding encoding;
        CsvEncoding expected;
    } cases[] = {
        {"\xef\xbb\xbf", QStringConverter::Utf8, CsvEncoding::Utf8},
        {"\xff\xfe", QStringConverter::Utf16LE, CsvEncoding::Utf16LE},
        {"\xfe\xff", QStringConverter::Utf16BE, CsvEncoding::Utf16BE},
        {QByteArray("\xff\xfe\x00\x00", 4), QStringConverter::Utf32LE, CsvEncoding::Utf32LE},
        {QByteArray("\x00\x00\xfe\xff", 4), QStringConverter::Utf32BE, CsvEncoding::Utf32BE},
    };
    for (const auto &c : cases) {
        const QByteArray bytes = c.mark + encoded(kSample, c.encoding);
        const ParseOutcome outcome = parseEveryWay(bytes);
        EXPECT_EQ(outcome.encoding, c.expected) << c.mark.toHex().constData();
        EXPECT_EQ(outcome.events, kSampleEvents) << c.mark.toHex().constData();
        EXPECT_EQ(outcome.bytesRead, bytes.size());
        EXPECT_EQ(outcome.replacements, 0);
    }
    // Only one mark is taken off.
    EXPECT_EQ(parseEveryWay("\xef\xbb\xbf\xef\xbb\xbf"
                            "a")
                  .events[2],
              QStringLiteral("field 0 [\uFEFFa]"));
}

TEST(CsvEncodingMarks, Iso2022KrByItsMark)
{
    // "\x0e\x30\x21\x0f" is the first Hangul syllable, shifted out and back in.
    const ParseOutcome outcome = parseEveryWay("\x1b$)Ca,\x0e\x30\x21\x0f"
                                               "b\n");
    EXPECT_EQ(outcome.encoding, CsvEncoding::Iso2022Kr);
    EXPECT_EQ(outcome.events,
              QStringList({"begin", "line 1", "field 0 [a]", QStringLiteral("field 1 [\uAC00b]"),
                           "endline 1", "end"}));
}

TEST(CsvEncodingSniffing, UnmarkedTextIsUtf8Utf16Windows1252OrMacRomanAndAGuessIsSaid)
{
    const QString firstFields = QString::fromUtf8("Jos\xc3\xa9 K\xc3\xb6ln");
    const struct
    {
        QByteArray bytes;
        CsvEncoding expected;
        QString field; // field 0 of line 2
    } cases[] = {
        // Spreadsheet exports: euro sign, accents and smart quotes of Windows-1252.
        {"a,b\n\x80 Jos\xe9 K\xf6ln \x93q\x94 \x91s\x92,x\n", CsvEncoding::Windows1252,
         QStringLiteral("\u20ac Jos\u00e9 K\u00f6ln \u201cq\u201d \u2018s\u2019")},
        // 0x8D and 0x90 mean nothing in Windows-1252: Mac OS Roman (\u00e7, \u00ea).
        {"a,b\n\x8d\x90 \x8e,x\n", CsvEncoding::MacRoman, QStringLiteral("\u00e7\u00ea \u00e9")},
        {"a,b\nJos\xc3\xa9 K\xc3\xb6ln,x\n", CsvEncoding::Utf8, firstFields},
        {encoded("a,b\n" + firstFields + ",x\n", QStringConverter::Utf16LE), CsvEncoding::Utf16LE,
         firstFields},
        {encoded("a,b\n" + firstFields + ",x\n", QStringConverter::Utf16BE), CsvEncoding::Utf16BE,
         firstFields},
    };
    for (const auto &c : cases) {
        const ParseOutcome outcome = parseEveryWay(c.bytes);
        EXPECT_EQ(outcome.encoding, c.expected) << c.bytes.toHex().constData();
        EXPECT_EQ(outcome.events.value(6), "field 0 [" + c.field + "]")
            << c.bytes.toHex().constData();
        EXPECT_EQ(outcome.replacements, 0);
    }

    // A character cut by the first step still leaves the text UTF-8; a short file ending in a
    // broken one does not.
    const ParseOutcome cut =
        parseWith(std::make_unique<MemoryByteReader>(QByteArray(511, 'a') + "\xc3\xa9,b"), {});
    EXPECT_EQ(cut.encoding, CsvEncoding::Utf8);
    EXPECT_EQ(cut.replacements, 0);
    EXPECT_EQ(parseEveryWay("Caf\x8e").encoding, CsvEncoding::Windows1252);
    EXPECT_EQ(parseEveryWay("Caf\xc3").encoding, CsvEncoding::Windows1252);

    plotwell::testing::LogCapture log;
    const CsvParser parser(QByteArray("Caf\x8e"));
    EXPECT_TRUE(parser.encodingWasGuessed());
    EXPECT_FALSE(CsvParser(QByteArray("Caf\xc3\xa9")).encodingWasGuessed());
    EXPECT_EQ(log.lines, QStringList({"no byte-order mark and not UTF-8; assuming Windows-1252"}));
}

TEST(CsvEncodingGiven, UsedAsIsWithoutSniffing)
{
    // Unmarked UTF-16 would be sniffed as something else; the staff reader hands its text over so.
    const ParseOutcome outcome = parseEveryWay(encoded(kSample, QStringConverter::Utf16BE),
                                               {{}, u',', CsvEncoding::Utf16BE});
    EXPECT_EQ(outcome.events, kSampleEvents);
}

TEST(CsvEncodingDamage, BrokenUnitsBecomeReplacementCharacters)
{
    // Lone surrogates and a dangling odd byte in UTF-16; out-of-range values in UTF-32.
    const ParseOutcome utf16 = parseEveryWay(QByteArray("\xff\xfe"
                                                        "a\x00\x00\xdc"
                                                        "b\x00\x3d\xd8"
                                                        ",\x00\x3d\xd8"
                                                        "c",
                                                        15));
    EXPECT_EQ(utf16.events[2], QStringLiteral("field 0 [a\uFFFDb\uFFFD]"));
    EXPECT_EQ(utf16.events[3], QStringLiteral("field 1 [\uFFFD\uFFFD]"));
    EXPECT_EQ(utf16.replacements, 4);

    const ParseOutcome utf32 = parseEveryWay(
        QByteArray("\x00\x00\xfe\xff\x00\x11\x00\x00\x00\x00\xd8\x00\x00\x00\x00x\x00", 17));
    EXPECT_EQ(utf32.events[2], QStringLiteral("field 0 [\uFFFD\uFFFDx\uFFFD]"));
    EXPECT_EQ(utf32.replacements, 3);
}

TEST(CsvEncodingDamage, Utf8SequencesAfterAsciiRunsOfEveryLength)
{
    // Each kind of sequence, good and broken, after 0 to 40 ASCII bytes, so that it falls at
    // every place of the decoder's 16-byte windows (and later its wider ones). Broken ones give one
    // U+FFFD for each maximal piece that could have begun a character.
    const struct
    {
        QByteArray bytes;
        QString text;
        int replacements;
    } pieces[] = {
        {"\xc3\xa4", QString::fromUtf8("\xc3\xa4"), 0},
        {"\xe4\xb8\xad", QString::fromUtf8("\xe4\xb8\xad"), 0},
        {"\xe0\xa4\x85", QString::fromUtf8("\xe0\xa4\x85"), 0},
        {"\xf0\x9f\x98\x80", QString::fromUtf8("\xf0\x9f\x98\x80"), 0},
        {"\xed\xa0\x80", QStringLiteral("\uFFFD\uFFFD\uFFFD"), 3}, // an encoded surrogate
        {"\xc0\x80", QStringLiteral("\uFFFD\uFFFD"), 2},           // overlong forms
        {"\xe0\x80\xaf", QStringLiteral("\uFFFD\uFFFD\uFFFD"), 3},
        {"\xe4\xb8z", QStringLiteral("\uFFFDz"), 1}, // cut short
        {"\xbf", QStringLiteral("\uFFFD"), 1},       // a stray continuation
    };
    QByteArray bytes;
    QString text;
    int replacements = 0;
    for (int run = 0; run <= 40; ++run) {
        const auto &piece = pieces[run % std::size(pieces)];
        bytes += QByteArray(run, 'a') + piece.bytes;
        text += QString(run, u'a') + piece.text;
        replacements += piece.replacements;
    }
    const ParseOutcome outcome = parseEveryWay(bytes, {{}, u',', CsvEncoding::Utf8});
    EXPECT_EQ(outcome.events,
              QStringList({"begin", "line 1", "field 0 [" + text + "]", "endline 1", "end"}));
    EXPECT_EQ(outcome.replacements, replacements);

    // The same after longer runs, up to past two of the widest windows, read in one piece.
    for (int run = 41; run <= 200; ++run) {
        const auto &piece = pieces[run % std::size(pieces)];
        bytes += QByteArray(run, 'a') + piece.bytes;
        text += QString(run, u'a') + piece.text;
        replacements += piece.replacements;
    }
    const ParseOutcome longer =
        parseWith(std::make_unique<MemoryByteReader>(bytes), {{}, u',', CsvEncoding::Utf8});
    EXPECT_EQ(longer.events,
              QStringList({"begin", "line 1", "field 0 [" + text + "]", "endline 1", "end"}));
    EXPECT_EQ(longer.replacements, replacements);
}
