// The character filter of the chart page requests. Its list names the characters and spellings
// that once were deleted from every request; they now travel as tokens the page decodes.
#include "render/PageRequest.h"

#include <algorithm>
#include <bitset>
#include <iterator>
#include <utility>
#include <vector>

namespace plotwell {

namespace {

using Step = std::pair<const char16_t *, const char16_t *>;

constexpr Step kSteps[] = {
    // Latin letters with marks, and the Spanish opening marks.
    {u"\u00E0", u""},
    {u"\u00E2", u""},
    {u"\u00E4", u""},
    {u"\u00E6", u""},
    {u"\u00E7", u""},
    {u"\u00E8", u""},
    {u"\u00E9", u""},
    {u"\u00EA", u""},
    {u"\u00EB", u""},
    {u"\u00EE", u""},
    {u"\u00EF", u""},
    {u"\u00F4", u""},
    {u"\u0153", u""},
    {u"\u00F9", u""},
    {u"\u00FB", u""},
    {u"\u00FC", u""},
    {u"\u00C0", u""},
    {u"\u00C2", u""},
    {u"\u00C4", u""},
    {u"\u00C6", u""},
    {u"\u00C7", u""},
    {u"\u00C8", u""},
    {u"\u00C9", u""},
    {u"\u00CA", u""},
    {u"\u00CB", u""},
    {u"\u00CE", u""},
    {u"\u00CF", u""},
    {u"\u00D4", u""},
    {u"\u0152", u""},
    {u"\u00D9", u""},
    {u"\u00DB", u""},
    {u"\u00DC", u""},
    {u"\u00FF", u""},
    {u"\u0178", u""},
    {u"\u00F6", u""},
    {u"\u00D6", u""},
    {u"\u00DF", u""},
    {u"\u1E9E", u""},
    {u"\u011F", u""},
    {u"\u011E", u""},
    {u"\u00F8", u""},
    {u"\u00D8", u""},
    {u"\u00C5", u""},
    {u"\u00E5", u""},
    {u"\u015F", u""},
    {u"\u015E", u""},
    {u"\u00ED", u""},
    {u"\u00CD", u""},
    {u"\u00EC", u""},
    {u"\u00CC", u""},
    {u"\u00F2", u""},
    {u"\u00D2", u""},
    {u"\u00E1", u""},
    {u"\u00C1", u""},
    {u"\u00F1", u""},
    {u"\u00D1", u""},
    {u"\u00F3", u""},
    {u"\u00D3", u""},
    {u"\u00FA", u""},
    {u"\u00DA", u""},
    {u"\u00BF", u""},
    {u"\u00A1", u""},
    // The Chinese spellings of the letters A to Z.
    {u"\u8BF6", u""},
    {u"\u6BD4", u""},
    {u"\u897F", u""},
    {u"\u8FEA", u""},
    {u"\u4F0A", u""},
    {u"\u827E\u5F17", u""},
    {u"\u5409", u""},
    {u"\u827E\u5C3A", u""},
    {u"\u827E", u""},
    {u"\u6770", u""},
    {u"\u5F00", u""},
    {u"\u827E\u52D2", u""},
    {u"\u827E\u9A6C", u""},
    {u"\u827E\u5A1C", u""},
    {u"\u54E6", u""},
    {u"\u5C41", u""},
    {u"\u5409\u543E", u""},
    {u"\u827E\u513F", u""},
    {u"\u827E\u4E1D", u""},
    {u"\u63D0", u""},
    {u"\u4F0A\u543E", u""},
    {u"\u7EF4", u""},
    {u"\u8C46\u8D1D\u5C14\u7EF4", u""},
    {u"\u827E\u514B\u65AF", u""},
    {u"\u543E\u827E", u""},
    {u"\u8D3C\u5FB7", u""},
    // Their pinyin readings.
    {u"\u0113i", u""},
    {u"b\u01D0", u""},
    {u"x\u012B", u""},
    {u"d\u00ED", u""},
    {u"y\u012B", u""},
    {u"\u00E0i f\u00FA", u""},
    {u"j\u00ED", u""},
    {u"\u00E0i ch\u01D0", u""},
    {u"\u00E0i", u""},
    {u"ji\u00E9", u""},
    {u"k\u0101i", u""},
    {u"\u00E0i l\u00E8", u""},
    {u"\u00E0i m\u01CE", u""},
    {u"\u00E0i n\u00E0", u""},
    {u"\u00F3", u""},
    {u"p\u00EC", u""},
    {u"j\u00ED w\u00FA", u""},
    {u"\u00E0i \u00E9r", u""},
    {u"\u00E0i s\u012B", u""},
    {u"t\u00ED", u""},
    {u"y\u012B w\u00FA", u""},
    {u"w\u00E9i", u""},
    {u"d\u00F2u b\u00E8i \u011Br w\u00E9i", u""},
    {u"y\u012B k\u00E8 s\u012B", u""},
    {u"w\u00FA \u00E0i", u""},
    {u"z\u00E9i d\u00E9", u""},
    // Punctuation and symbols. The quotation mark gets a backslash that the backslash step
    // removes again, so it survives.
    {u"\u201C", u""},
    {u"\"", u"\\\""},
    {u"'", u""},
    {u"\u00AB", u""},
    {u"\u00BB", u""},
    {u"'", u""},
    {u"\u201D", u""},
    {u"\u2014", u""},
    {u"\u2013", u""},
    {u",", u""},
    {u"`", u""},
    {u"\u20AC", u""},
    {u"\u00A2", u""},
    {u"\u00A3", u""},
    {u"\u00A5", u""},
    {u"\u20A9", u""},
    {u"\u20AA", u""},
    {u"\u0E3F", u""},
    {u"\u20AB", u""},
    {u"\u20B4", u""},
    {u"\u20B9", u""},
    {u"{", u""},
    {u"}", u""},
    {u"[", u""},
    {u"]", u""},
    {u"|", u""},
    {u"\\", u""},
    {u"%", u""},
    {u"^", u""},
};
static_assert(std::size(kSteps) == 143);

// A code point written as a token the page turns back into it: "~u" and its hexadecimal.
QString codePointToken(char32_t codePoint)
{
    return QLatin1String("~u") + QString::number(codePoint, 16).toUpper() + QLatin1Char('~');
}

} // namespace

QString lang(const QString &text)
{
    // The steps once deleted what they matched. Each character they would delete is now
    // written as a token instead, so that the page draws exactly what was typed; a text the
    // steps left alone stays byte for byte what it was. A character of a longer spelling
    // ("bǐ") is written as a token only where the whole spelling stands; ASCII letters of a
    // spelling stay as they are, since the page reads them anyway.
    static const std::bitset<0x10000> single = [] {
        std::bitset<0x10000> units;
        for (const auto &[from, to] : kSteps) {
            const QStringView pattern(from);
            // The quotation mark's step never deleted it.
            if (pattern.size() == 1 && pattern != u"\"")
                units.set(pattern.front().unicode());
        }
        return units;
    }();

    std::vector<bool> encode(size_t(text.size()), false);
    bool any = false;
    std::bitset<0x10000> present;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        present.set(unit);
        if (single.test(unit))
            encode[size_t(i)] = any = true;
    }
    for (const auto &[from, to] : kSteps) {
        const QStringView pattern(from);
        if (pattern.size() < 2 || !std::all_of(pattern.begin(), pattern.end(), [&present](QChar c) {
                return present.test(c.unicode());
            }))
            continue;
        for (qsizetype at = text.indexOf(pattern); at >= 0;
             at = text.indexOf(pattern, at + pattern.size())) {
            for (qsizetype k = 0; k < pattern.size(); ++k) {
                if (pattern.at(k).unicode() >= 0x80)
                    encode[size_t(at + k)] = any = true;
            }
        }
    }
    if (!any)
        return text;

    QString encoded;
    encoded.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (encode[size_t(i)])
            encoded += codePointToken(text.at(i).unicode());
        else
            encoded += text.at(i);
    }
    return encoded;
}

} // namespace plotwell
