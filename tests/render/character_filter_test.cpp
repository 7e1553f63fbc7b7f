#include "render/PageRequest.h"

#include <gtest/gtest.h>

using namespace plotwell;
using namespace Qt::StringLiterals;

// What the steps once deleted now travels as "~u<hex>~"; the page decodes it (data.test.js).
TEST(CharacterFilter, WritesWhatTheStepsDeletedAsCodePointTokens)
{
    EXPECT_EQ(lang(QStringLiteral("Zoë O'Brien, Åsa")), "Zo~uEB~ O~u27~Brien~u2C~ ~uC5~sa");
    const QString deleted =
        QStringLiteral("àâäæçèéêëîïôœùûüÀÂÄÆÇÈÉÊËÎÏÔŒÙÛÜÿŸöÖßẞğĞøØÅåşŞíÍìÌòÒáÁñÑóÓúÚ¿"
                       "¡“'«»”—–,`€¢£¥₩₪฿₫₴₹{}[]|\\%^诶比西迪伊吉艾杰开哦屁提维");
    const QString encoded = lang(deleted);
    qsizetype tokens = 0;
    for (qsizetype at = encoded.indexOf(QLatin1String("~u")); at >= 0;
         at = encoded.indexOf(QLatin1String("~u"), at + 1))
        ++tokens;
    EXPECT_EQ(tokens, deleted.size());
    EXPECT_TRUE(encoded.startsWith(QStringLiteral("~uE0~~uE2~")));
    EXPECT_TRUE(encoded.endsWith(QStringLiteral("~u63D0~~u7EF4~")));
}

TEST(CharacterFilter, SpellingsAreTokensOnlyWhereTheyStandWhole)
{
    // A spelling's letters go only together, as the steps deleted them; alone they pass.
    EXPECT_EQ(lang(u"艾弗 勒 贼德"_s), u"~u827E~~u5F17~ 勒 ~u8D3C~~u5FB7~"_s);
    EXPECT_EQ(lang(u"bǐ kāi ǐě"_s), u"b~u1D0~ k~u101~i ǐě"_s);
    EXPECT_EQ(lang(u"中文 ǐě 勒"_s), u"中文 ǐě 勒"_s);
}

TEST(CharacterFilter, QuotationMarkPassesAsBefore)
{
    EXPECT_EQ(lang(QStringLiteral("say \"hi\"")), "say \"hi\"");
}

TEST(CharacterFilter, LeavesEverythingElseUnchanged)
{
    const QString passing = QStringLiteral(
        "abcXYZ0189()_*~./:&=?+-!@$;<># \t\nЖизнь ąęłńśźż Ελλάδα 😀 ǅ ‘’ ~amp~ ~pct~ 中文");
    EXPECT_EQ(lang(passing), passing);
    EXPECT_EQ(lang(QString()), QString());
    EXPECT_EQ(lang(QStringLiteral("NOT+NULL")), "NOT+NULL");
}
