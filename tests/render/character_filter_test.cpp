#include "render/PageRequest.h"

#include <gtest/gtest.h>

using namespace plotwell;
using namespace Qt::StringLiterals;

TEST(CharacterFilter, RemovesMarkedLatinLettersSpanishMarksPunctuationAndCurrency)
{
    EXPECT_EQ(lang(QStringLiteral("Ångström Müller-Lüdenscheidt")), "ngstrm Mller-Ldenscheidt");
    EXPECT_EQ(lang(QStringLiteral("àâäæçèéêëîïôœùûüÀÂÄÆÇÈÉÊËÎÏÔŒÙÛÜÿŸöÖßẞğĞøØÅåşŞíÍìÌòÒáÁñÑóÓúÚ¿¡"
                                  "“'«»”—–,`€¢£¥₩₪฿₫₴₹{}[]|\\%^")),
              "");
}

TEST(CharacterFilter, RemovesTheChineseLetterSpellingsInOrder)
{
    const QStringList spellings = {
        u"诶"_s,   u"比"_s,       u"西"_s,     u"迪"_s,   u"伊"_s,   u"艾弗"_s, u"吉"_s,
        u"艾尺"_s, u"艾"_s,       u"杰"_s,     u"开"_s,   u"艾勒"_s, u"艾马"_s, u"艾娜"_s,
        u"哦"_s,   u"屁"_s,       u"吉吾"_s,   u"艾儿"_s, u"艾丝"_s, u"提"_s,   u"伊吾"_s,
        u"维"_s,   u"豆贝尔维"_s, u"艾克斯"_s, u"吾艾"_s, u"贼德"_s};
    ASSERT_EQ(spellings.size(), 26);
    EXPECT_EQ(lang(QStringLiteral("A") + spellings.join(QString()) + QStringLiteral("Z")),
              u"A勒马娜吾儿丝吾豆贝尔克斯吾Z"_s);
    // Spellings built on a letter removed earlier lose only that letter.
    EXPECT_EQ(lang(u"艾勒"_s), u"勒"_s);
    EXPECT_EQ(lang(u"吉吾"_s), u"吾"_s);
    EXPECT_EQ(lang(u"诶比西迪伊"_s), "");
    // Other Chinese text passes.
    EXPECT_EQ(lang(u"中文"_s), u"中文"_s);
}

TEST(CharacterFilter, RemovesPinyinReadingsThatSurviveTheLetterSteps)
{
    EXPECT_EQ(lang(u"ēi bǐ xī yī kāi"_s), "    ");
    EXPECT_EQ(lang(u"ài fú"_s), "i f");
    EXPECT_EQ(lang(u"dòu bèi ěr wéi"_s), u"du bi ěr wi"_s);
    // Letters outside the lists survive: ǐ alone, ě alone.
    EXPECT_EQ(lang(u"ǐě"_s), u"ǐě"_s);
}

TEST(CharacterFilter, QuotationMarkSurvivesAndBackslashesGo)
{
    EXPECT_EQ(lang(QStringLiteral("say \"hi\"")), "say \"hi\"");
    EXPECT_EQ(lang(QStringLiteral("a\\\"b")), "a\"b");
    EXPECT_EQ(lang(QStringLiteral("C:\\dir\\")), "C:dir");
}

TEST(CharacterFilter, LeavesEverythingElseUnchanged)
{
    const QString passing = QStringLiteral(
        "abcXYZ0189()_*~./:&=?+-!@$;<># \t\nЖизнь ąęłńśźż Ελλάδα 😀 ǅ ‘’ ~amp~ ~pct~");
    EXPECT_EQ(lang(passing), passing);
    EXPECT_EQ(lang(QString()), QString());
    EXPECT_EQ(lang(QStringLiteral("NOT+NULL")), "NOT+NULL");
}
