#include "colour/Colour.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace plotwell;

namespace {

QString hex(int r, int g, int b)
{
    return QString::asprintf("%02X%02X%02X", r, g, b);
}

bool isGrey(const QColor &c)
{
    auto half = [](float component) { return std::abs(component - 0.5f) < 1e-4f; };
    return c.isValid() && half(c.redF()) && half(c.greenF()) && half(c.blueF()) &&
           c.alphaF() == 1.0f;
}

} // namespace

TEST(HexColour, EveryByteValueSurvivesARoundTripInEachComponent)
{
    for (int v = 0; v < 256; ++v) {
        for (const QString &text : {hex(v, 0, 255), hex(255, v, 0), hex(0, 255, v), hex(v, v, v)}) {
            const QColor colour = colorWithHexString(text);
            ASSERT_EQ(hexStringFromColor(colour), QLatin1Char('#') + text) << v;
        }
    }
}

TEST(HexColour, CaseSurroundingSpaceAndPrefixAcceptedPairsScannedLikeHexNumbers)
{
    for (const char16_t *text : {u"CD6A80", u"cd6a80", u" cd6a80 ", u"\n\tcd6a80\r\n", u"0xcd6a80",
                                 u"0XCD6A80", u"  0xCd6A80"})
        EXPECT_EQ(colorWithHexString(text), QColor::fromRgb(0xCD, 0x6A, 0x80));
    // Leading space skipped; reading stops at the first non-digit; no digit at all reads as 0.
    EXPECT_EQ(colorWithHexString(u"1Z 1ZZ"), QColor::fromRgb(1, 1, 0));
    EXPECT_EQ(colorWithHexString(u"ÄÖ\"'<>"), QColor::fromRgb(0, 0, 0));
    EXPECT_EQ(colorWithHexString(u"😀FFFF"), QColor::fromRgb(0, 255, 255));
}

TEST(HexColour, WrongLengthsAndPrefixesGiveGrey)
{
    for (const QString &text : {"#CD6A80", "CD6A8", "CD6A8000", "", "      ", "0x", "0xCD6A8",
                                "#cd6a80#", "😀😀😀😀", "CD 6A 80"})
        EXPECT_TRUE(isGrey(colorWithHexString(text))) << text.toStdString();
    EXPECT_TRUE(isGrey(colorWithHexString(QString(10000, u'A'))));
}

TEST(HexColour, ComponentsAreClampedAndTruncated)
{
    EXPECT_EQ(hexStringFromColor(QColor::fromRgbF(258.0f / 255.0f, -0.2f, 0.5f)), "#FF007F");
    EXPECT_EQ(hexStringFromColor(QColor::fromRgbF(0.999f, 0.0039f, 1.0f)), "#FE00FF");
    EXPECT_EQ(hexStringFromColor(QColor::fromHsv(0, 255, 255)), "#FF0000");
    EXPECT_EQ(hexStringFromColor(QColor::fromCmykF(0, 0, 0, 0)), "#FFFFFF");
    EXPECT_EQ(hexStringFromColor(QColor()), "#000000");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(hexStringFromColor(QColor::fromRgbF(nan, inf, -inf)), "#00FF00");
}
