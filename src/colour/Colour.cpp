#include "colour/Colour.h"

#include <cctype>
#include <cmath>

namespace plotwell {

namespace {

QColor grey()
{
    return QColor::fromRgbF(0.5f, 0.5f, 0.5f);
}

// Reads a pair the way a hexadecimal scanner does: leading white space skipped, then digits up
// to the first other character.
int readHexPair(QStringView pair)
{
    qsizetype i = 0;
    while (i < pair.size() && pair[i].isSpace())
        ++i;
    int value = 0;
    for (; i < pair.size(); ++i) {
        const char16_t c = pair[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

int componentByte(float component)
{
    // NaN fails both comparisons and lands on 0.
    if (!(component > 0.0f))
        return 0;
    if (component >= 1.0f)
        return 255;
    return int(component * 255.0f);
}

} // namespace

QColor colorWithHexString(QStringView text)
{
    QString digits = text.trimmed().toString().toUpper();
    if (digits.size() < 6)
        return grey();
    if (digits.startsWith(QLatin1String("0X")))
        digits.remove(0, 2);
    if (digits.size() != 6)
        return grey();
    const QStringView view(digits);
    return QColor::fromRgb(readHexPair(view.mid(0, 2)), readHexPair(view.mid(2, 2)),
                           readHexPair(view.mid(4, 2)));
}

QString hexStringFromColor(const QColor &colour)
{
    // Converting to plain RGB already clamps extended-range components into [0, 1].
    const QColor rgb = colour.toRgb();
    return QString::asprintf("#%02X%02X%02X", componentByte(rgb.redF()),
                             componentByte(rgb.greenF()), componentByte(rgb.blueF()));
}

std::optional<QColor> colourOfSlotText(QStringView text)
{
    QString digits = text.toString();
    digits.remove(QLatin1Char('#'));
    digits = digits.trimmed();
    if (digits.size() != 6)
        return std::nullopt;
    for (const QChar c : digits)
        if (!isxdigit(c.unicode() < 128 ? c.toLatin1() : 'x'))
            return std::nullopt;
    return QColor(QStringLiteral("#") + digits);
}

} // namespace plotwell
