#include "convert/Escaping.h"

#include <QBuffer>
#include <QSet>

#include <algorithm>
#include <iterator>

namespace plotwell::convert {

namespace {

constexpr char16_t kQuotes[] = {u'"', u'\'', u'\u201C', u'\u201D', u'\u2018', u'\u2019'};

EscapeTable makeSqlTable()
{
    EscapeTable t;
    t.replacement[0] = "\\0";
    t.replacement['\n'] = "\\n";
    t.replacement['\r'] = "\\r";
    t.replacement[0x1A] = "\\Z";
    t.replacement['\\'] = "\\\\";
    t.replacement['\''] = "\\'";
    t.replacement['"'] = "\\\"";
    t.seal();
    return t;
}

EscapeTable makeJsonTable()
{
    static const char *const controls[32] = {
        "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
        "\\b",     "\\t",     "\\n",     "\\u000b", "\\f",     "\\r",     "\\u000e", "\\u000f",
        "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
        "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};
    EscapeTable t;
    for (int c = 0; c < 32; ++c)
        t.replacement[c] = controls[c];
    t.replacement['"'] = "\\\"";
    t.replacement['\\'] = "\\\\";
    t.seal();
    return t;
}

EscapeTable makeXmlCdataTable()
{
    EscapeTable t;
    for (int c = 0; c < 32; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') {
            t.replacement[c] = "\xEF\xBF\xBD";
            t.lossy[c] = true;
        }
    }
    t.replacement['\r'] = "]]>&#13;<![CDATA[";
    t.rejectsNonCharacters = true;
    t.seal();
    return t;
}

EscapeTable makeHtmlTable()
{
    EscapeTable t;
    t.replacement['&'] = "&amp;";
    t.replacement['<'] = "&lt;";
    t.replacement['>'] = "&gt;";
    t.replacement['"'] = "&quot;";
    t.replacement['\''] = "&#39;";
    // A browser turns CR LF into LF before it reads the text.
    t.replacement['\r'] = "&#13;";
    // A browser shows NUL as U+FFFD, and an XML reader of the page stops at it.
    t.replacement[0] = "\xEF\xBF\xBD";
    t.lossy[0] = true;
    t.seal();
    return t;
}

QString untitled(qsizetype index)
{
    return QStringLiteral("Untitled%1").arg(index + 1);
}

/// Numbers repeated names ("Name", "Name_2"), never producing one that is already taken.
void makeUnique(QStringList &names, Qt::CaseSensitivity cs, const QStringList &reserved = {},
                qsizetype maxLength = -1)
{
    const auto key = [cs](const QString &name) {
        return cs == Qt::CaseSensitive ? name : name.toCaseFolded();
    };
    QSet<QString> taken;
    for (const QString &name : reserved)
        taken.insert(key(name));
    for (QString &name : names) {
        if (!taken.contains(key(name))) {
            taken.insert(key(name));
            continue;
        }
        for (int n = 2;; ++n) {
            const QString suffix = QLatin1Char('_') + QString::number(n);
            const QString candidate =
                (maxLength < 0 ? name : name.left(maxLength - suffix.size())) + suffix;
            if (!taken.contains(key(candidate))) {
                name = candidate;
                taken.insert(key(candidate));
                break;
            }
        }
    }
}

/// Letters that every common XML reader takes in a name. Readers of the fourth edition of XML
/// 1.0 (expat, and Python's ElementTree on it) know far fewer than the fifth edition allows;
/// these ranges are letters in both: Latin, Greek, Cyrillic, Hebrew, Arabic, kana, the unified
/// ideographs and Hangul.
bool isPortableXmlLetter(char16_t c)
{
    struct Range
    {
        char16_t from, to;
    };
    static constexpr Range kLetters[] = {
        {0xC0, 0xD6},     {0xD8, 0xF6},   {0xF8, 0x131},    {0x134, 0x13E},   {0x141, 0x148},
        {0x14A, 0x17E},   {0x180, 0x1C3}, {0x1CD, 0x1F0},   {0x1F4, 0x1F5},   {0x1FA, 0x217},
        {0x386, 0x386},   {0x388, 0x38A}, {0x38C, 0x38C},   {0x38E, 0x3A1},   {0x3A3, 0x3CE},
        {0x401, 0x40C},   {0x40E, 0x44F}, {0x451, 0x45C},   {0x45E, 0x481},   {0x5D0, 0x5EA},
        {0x621, 0x63A},   {0x641, 0x64A}, {0x3041, 0x3094}, {0x30A1, 0x30FA}, {0x4E00, 0x9FA5},
        {0xAC00, 0xD7A3},
    };
    return std::any_of(std::begin(kLetters), std::end(kLetters),
                       [c](Range r) { return c >= r.from && c <= r.to; });
}

bool isXmlNameStart(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
           isPortableXmlLetter(c);
}

bool isXmlNameChar(char16_t c)
{
    return isXmlNameStart(c) || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x345);
}

/// Characters outside the Basic Multilingual Plane count as one: both of their units become a
/// single replacement.
QString replaceEach(const QString &text, const auto &keep)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += QLatin1Char('_');
            ++i;
        } else {
            out += keep(c.unicode()) ? c : QLatin1Char('_');
        }
    }
    return out;
}

} // namespace

const EscapeTable &sqlValueEscapes()
{
    static const EscapeTable table = makeSqlTable();
    return table;
}

const EscapeTable &jsonEscapes()
{
    static const EscapeTable table = makeJsonTable();
    return table;
}

const EscapeTable &xmlCdataEscapes()
{
    static const EscapeTable table = makeXmlCdataTable();
    return table;
}

const EscapeTable &htmlEscapes()
{
    static const EscapeTable table = makeHtmlTable();
    return table;
}

QByteArray escapedUtf8(QStringView text, const EscapeTable &table)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    {
        OutputBuffer out(device, 0);
        out.appendEscaped(text, table);
    }
    return bytes;
}

QString withoutQuotes(QString text)
{
    for (char16_t quote : kQuotes)
        text.remove(QChar(quote));
    return text;
}

QList<SqlColumn> sqlColumns(const QStringList &names)
{
    QStringList cleaned;
    QList<bool> untitledFlags;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString name = withoutQuotes(names.at(i));
        name.replace(QLatin1Char(' '), QLatin1Char('_')).remove(QLatin1Char('`'));
        const bool isUntitled = name.isEmpty();
        if (isUntitled)
            name = untitled(i);
        // The server takes any character of the Basic Multilingual Plane except NUL.
        name = replaceEach(name, [](char16_t c) { return c != 0; });
        cleaned.append(name.left(64));
        untitledFlags.append(isUntitled);
    }
    makeUnique(cleaned, Qt::CaseInsensitive, {QStringLiteral("record_id")}, 64);
    QList<SqlColumn> columns;
    for (qsizetype i = 0; i < cleaned.size(); ++i)
        columns.append({cleaned.at(i), untitledFlags.at(i)});
    return columns;
}

QString sqlTableIdentifier(const QString &name)
{
    QString cleaned = replaceEach(name, [](char16_t c) { return c != 0; }).left(64);
    while (cleaned.endsWith(QLatin1Char(' ')))
        cleaned.chop(1);
    if (cleaned.isEmpty())
        cleaned = QStringLiteral("table_name");
    return cleaned.replace(QLatin1Char('`'), QLatin1String("``"));
}

QStringList jsonKeys(const QStringList &names)
{
    QStringList keys;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString key = withoutQuotes(names.at(i)).replace(QLatin1Char(' '), QLatin1Char('_'));
        keys.append(key.isEmpty() ? untitled(i) : key);
    }
    makeUnique(keys, Qt::CaseSensitive);
    return keys;
}

QStringList xmlElementNames(const QStringList &names)
{
    QStringList elements;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString name = withoutQuotes(names.at(i));
        name.remove(QLatin1Char('&')).remove(QLatin1Char('<')).remove(QLatin1Char('>'));
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        if (name.isEmpty()) {
            elements.append(untitled(i));
            continue;
        }
        name = replaceEach(name, isXmlNameChar);
        if (!isXmlNameStart(name.at(0).unicode()))
            name.prepend(QLatin1Char('_'));
        elements.append(name);
    }
    return elements;
}

} // namespace plotwell::convert
