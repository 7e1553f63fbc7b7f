#include "CsvBenchFiles.h"

#include "csv/CharacterMasks.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace plotwell::csv::bench {

namespace {

struct Random
{
    quint64 state = 0x9E3779B97F4A7C15ull;
    quint32 next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return quint32(state >> 33);
    }
    void word(QByteArray &out, int minLength, int maxLength)
    {
        const int n = minLength + int(next() % quint32(maxLength - minLength + 1));
        for (int i = 0; i < n; ++i)
            out += char('a' + next() % 26);
    }
};

void narrowRecord(Random &r, QByteArray &out)
{
    out += QByteArray::number(r.next() % 100000);
    out += ',';
    r.word(out, 3, 9);
    out += ',';
    out += QByteArray::number(r.next() % 1000);
    out += '.';
    out += QByteArray::number(r.next() % 100);
    out += ',';
    if (r.next() % 8 == 0) {
        out += '"';
        r.word(out, 2, 6);
        out += ", ";
        r.word(out, 2, 6);
        out += '"';
    } else {
        r.word(out, 2, 8);
    }
    out += ',';
    r.word(out, 1, 4);
    out += ",2026-12-06,";
    out += QByteArray::number(r.next() % 10);
    out += '\n';
}

void quotedRecord(Random &r, QByteArray &out)
{
    out += QByteArray::number(r.next() % 100000);
    for (int f = 0; f < 3; ++f) {
        out += ",\"";
        const int words = 20 + int(r.next() % 40);
        for (int w = 0; w < words; ++w) {
            r.word(out, 1, 9);
            const quint32 k = r.next() % 16;
            out += k == 0 ? "\r\n" : k == 1 ? " \"\"quoted\"\" " : k == 2 ? ", " : " ";
        }
        out += '"';
    }
    out += '\n';
}

void wideRecord(Random &r, QByteArray &out)
{
    for (int f = 0; f < 200; ++f) {
        if (f)
            out += ',';
        if (f % 3 == 0)
            out += QByteArray::number(r.next() % 10000);
        else
            r.word(out, 0, 7);
    }
    out += '\n';
}

} // namespace

QByteArray generate(Shape shape, qsizetype bytes)
{
    Random r;
    QByteArray out;
    const qsizetype target = shape == Shape::NarrowUtf16 ? bytes / 2 : bytes;
    out.reserve(target + 4096);
    while (out.size() < target) {
        switch (shape) {
        case Shape::Narrow:
        case Shape::NarrowUtf16:
            narrowRecord(r, out);
            break;
        case Shape::QuoteHeavy:
            quotedRecord(r, out);
            break;
        case Shape::Wide:
            wideRecord(r, out);
            break;
        }
    }
    if (shape == Shape::NarrowUtf16) {
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        return encoder.encode(QString::fromLatin1(out));
    }
    return out;
}

QString generatedFile(Shape shape, qsizetype bytes)
{
    static const char *names[] = {"narrow", "quoted", "wide", "utf16"};
    const QString path = QDir::temp().filePath(
        QStringLiteral("plotwell-bench-%1-%2.csv").arg(names[int(shape)]).arg(bytes));
    QFile file(path);
    if (file.exists() && file.size() > 0)
        return path;
    if (file.open(QIODevice::WriteOnly))
        file.write(generate(shape, bytes));
    return path;
}

QString processorModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("unknown processor");
    QString name, family, model;
    // The first processor's entries: every one is alike. (The file has no size: read to the end.)
    for (QByteArray raw = file.readLine(); !raw.isEmpty(); raw = file.readLine()) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() && !name.isEmpty())
            break;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == u"model name")
            name = value;
        else if (key == u"cpu family")
            family = value;
        else if (key == u"model")
            model = value;
    }
    return QStringLiteral("%1 (family %2, model %3)").arg(name, family, model);
}

QString machineLine()
{
    return QStringLiteral("processor: %1; CSV path: %2")
        .arg(processorModel(), describeCsvVectorChoice());
}

} // namespace plotwell::csv::bench
