#include "render/PageRequest.h"

#include "base/ResourceLocator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>

namespace plotwell {

namespace {

QString withPluses(QString text)
{
    return text.replace(QLatin1Char(' '), QLatin1Char('+'));
}

QString withoutHash(QString text)
{
    return text.remove(QLatin1Char('#'));
}

// Every value shares the query with the keys, so none may hold a separator, and the page reads
// "+" as a space and "~" as the start of a token; the page reads these tokens back. "~" goes
// first, so that a typed "~amp~" arrives as typed.
QString withSeparatorTokens(QString text)
{
    return text.replace(QLatin1Char('~'), QLatin1String("~tilde~"))
        .replace(QLatin1Char('+'), QLatin1String("~plus~"))
        .replace(QLatin1Char('&'), QLatin1String("~amp~"))
        .replace(QLatin1Char('='), QLatin1String("~eq~"));
}

// A typed text: tokens first, then its spaces as "+".
QString typedValue(const QString &text)
{
    return withPluses(withSeparatorTokens(text));
}

QString decimal(double value)
{
    return QString::asprintf("%f", std::isfinite(value) ? value : 0.0);
}

struct Size
{
    double width;
    double height;
};

QString buildRequest(const RequestSettings &s, const QString &data, const Size *size,
                     QLatin1String margin)
{
    // The filter is for what users typed; run over the page's own path it would cut a folder
    // named "José" or "Bob's files" and the page would never load.
    QString request = data;
    request += QLatin1String("&ctype=") + s.ctype + QLatin1String("&xaxis=") + s.xaxis +
               QLatin1String("&yaxis=") + s.yaxis + QLatin1String("&ctitle=") + s.ctitle +
               QLatin1String("&labelcolor=") + s.labelcolor + QLatin1String("&backcolor=") +
               s.backcolor + QLatin1String("&itemcolor=") + s.itemcolor +
               QLatin1String("&linecolor=") + s.linecolor;
    if (size) {
        request += QLatin1String("&screenWidth=") + decimal(size->width) +
                   QLatin1String("&screenHeight=") + decimal(size->height);
    }
    request += QLatin1String("&font=") + s.font + QLatin1String("&fsize=") + s.fsize +
               QLatin1String("&nsize=") + s.nsize + QLatin1String("&rsize=") + s.rsize +
               QLatin1String("&mcstate=") + s.mcstate + QLatin1String("&margin=") + margin;
    return s.pageAddress + lang(request);
}

} // namespace

QString chartPageAddress()
{
    QString directory = resourceDirectory();
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    return directory + QLatin1String("orgchart.html?data=");
}

RequestSettings gatherRequestSettings(const ChartGrid &grid, const AppState &state,
                                      const QString &pageAddress)
{
    RequestSettings s;
    s.pageAddress = pageAddress;
    s.ctype = withSeparatorTokens(grid.setting(ChartSetting::Ctype));
    s.xaxis = typedValue(grid.setting(ChartSetting::XaxisLabel));
    s.yaxis = typedValue(grid.setting(ChartSetting::YaxisLabel));
    // "#" travels percent-encoded like any other character (requestUrl), so the title keeps it.
    s.ctitle = typedValue(state.chartTitle.value_or(QString()));
    s.labelcolor = withSeparatorTokens(withoutHash(grid.setting(ChartSetting::HexLabels)));
    s.backcolor = withSeparatorTokens(withoutHash(grid.setting(ChartSetting::HexBackBg)));
    s.itemcolor = withSeparatorTokens(withoutHash(grid.setting(ChartSetting::HexItems)));
    s.linecolor = withSeparatorTokens(withoutHash(grid.setting(ChartSetting::HexLine)));
    const ChartAppearance &look = state.appearance;
    s.font = withSeparatorTokens(look.fontFamily);
    s.fsize = QString::number(look.fontSize);
    s.nsize = QString::number(look.nodeWidth);
    s.rsize = QString::number(look.cornerRadius);
    s.mcstate = QString::number(look.colourMode);
    return s;
}

RequestSettings gatherRequestSettings(const ChartGrid &grid, const AppState &state)
{
    return gatherRequestSettings(grid, state, chartPageAddress());
}

QString viewerRequest(const RequestSettings &settings, const QString &data)
{
    return buildRequest(settings, data, nullptr, QLatin1String("5"));
}

QString exportRequest(const RequestSettings &settings, const QString &data, double width,
                      double height)
{
    const Size size{width, height};
    return buildRequest(settings, data, &size, QLatin1String("5"));
}

QString fullScreenRequest(const RequestSettings &settings, const QString &data, double width,
                          double height)
{
    const Size size{width, height};
    return buildRequest(settings, data, &size, QLatin1String("50"));
}

ScriptedRequest scriptedRequest(const QUrl &request, const QString &options)
{
    // The data never holds a raw "&" (it travels as a token), so it ends at the first one. It is
    // handed over still encoded: the page decodes it as it would have from the address.
    QStringList items = request.query(QUrl::FullyEncoded).split(QLatin1Char('&'));
    ScriptedRequest scripted;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].startsWith(QLatin1String("data="))) {
            scripted.data = items.takeAt(i).mid(5);
            break;
        }
    }
    items << QStringLiteral("pending=1");
    scripted.page = request;
    scripted.page.setQuery(items.join(QLatin1Char('&')), QUrl::StrictMode);
    scripted.script = drawDataScript(scripted.data, options);
    return scripted;
}

QString scriptString(const QString &text)
{
    // A JSON string is a script string literal: quotes, backslashes and line breaks escaped.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString drawDataScript(const QString &data, const QString &options)
{
    QString script = QStringLiteral("(function () { var o = ") +
                     (options.isEmpty() ? QStringLiteral("{}") : options) +
                     QStringLiteral("; o.data = ") + scriptString(data) +
                     QStringLiteral("; var r = Orgchart.renderPage(window.location.search, "
                                    "document, o); return r.width + ' ' + r.height; })()");
    return script;
}

QUrl requestUrl(const QString &filtered)
{
    // Unreserved characters stay as they are anyway; these too keep their meaning in a URL.
    static const QByteArray pathKeeps = QByteArrayLiteral("/:@!$&'()*+,;=");
    static const QByteArray queryKeeps = pathKeeps + '?';

    // The page's own name marks where the query starts, even if a folder name holds a "?".
    static const QString page = QStringLiteral("/orgchart.html?");
    const qsizetype pageAt = filtered.indexOf(page);
    const qsizetype question =
        pageAt >= 0 ? pageAt + page.size() - 1 : filtered.indexOf(QLatin1Char('?'));
    const QString path = question < 0 ? filtered : filtered.left(question);
    QByteArray encoded = QByteArrayLiteral("file://");
    if (!path.startsWith(QLatin1Char('/')))
        encoded += '/';
    encoded += path.toUtf8().toPercentEncoding(pathKeeps);
    if (question >= 0) {
        encoded += '?';
        encoded += filtered.mid(question + 1).toUtf8().toPercentEncoding(queryKeeps);
    }
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

double sizeFromScriptResult(const QString &result)
{
    static const QRegularExpression leadingNumber(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = leadingNumber.match(result);
    if (!match.hasMatch())
        return 0.0;
    const float value = match.captured(1).toFloat();
    return std::isfinite(value) ? double(value) : 0.0;
}

QUrl placeholderUrl()
{
    // The chart page with no chart: the first render draws in it rather than loading it.
    return QUrl::fromLocalFile(resourcePath(QStringLiteral("orgchart.html")));
}

} // namespace plotwell
