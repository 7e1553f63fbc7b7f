#include "convert/HtmlTable.h"

#include "base/Log.h"
#include "convert/Escaping.h"
#include "convert/RecordOutput.h"

#include <stdexcept>

namespace plotwell::convert {

namespace {

// Settings go into a style sheet, where entities mean nothing: characters that could end a
// declaration, a rule or the style element are left out instead.
QString cssValue(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (!QStringView(u"<>'\"{};\\\r\n").contains(c))
            out += c;
    }
    return out;
}

QString fillHead(QString head, const ConversionSettings &s)
{
    return head.arg(cssValue(s.hexBackBg), cssValue(s.hex1), cssValue(s.hexLine),
                    cssValue(s.hexLabels), cssValue(s.appearance.fontFamily),
                    QString::number(s.appearance.fontSize), cssValue(s.hexItems),
                    QString::number(s.appearance.cornerRadius));
}

std::string_view rowClass(qsizetype index)
{
    return index % 2 == 1 ? "even-cell" : "odd-cell";
}

// The row's opening with its class, at most.
constexpr qsizetype kRowStartBound = 40;

using HtmlStops = StopSet<'&', '<', '>', '"', '\''>;

constexpr std::string_view kCellStart = "  \n     <td>";
constexpr std::string_view kCellEnd = "</td>";
constexpr std::string_view kEmptyCell = "&nbsp;";

template <typename Output>
[[gnu::always_inline]] inline void putCell(Output &out, QStringView field,
                                           const EscapeTable &escapes)
{
    out.put(kCellStart);
    if (field.isEmpty())
        out.put(kEmptyCell);
    else
        out.template putEscaped<HtmlStops>(field, escapes);
    out.put(kCellEnd);
}

} // namespace

QString previewHead(const ConversionSettings &settings)
{
    // The chart's colours and face, in rows as compact as a table view's: the chart's font size
    // and corner radius are made for boxes and would give each row some 40 px. The caption has
    // one style whatever it says, and the page's surround follows the window's palette.
    return QStringLiteral(
               "<!DOCTYPE html>\n<html>\n<head>\n<title>Tabrio Document</title>\n<meta "
               "http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n<style "
               "type='text/css'>\n"
               "   body{ background:#FFF; color:#1f2933; margin:10px 12px; }\n"
               "   html[data-surround='dark'] body{ background:#1d2126; color:#e4e9ef; }\n"
               "   table{ border:0px; border-collapse:collapse; font-family:'%5'; "
               "font-size:min(%6px, 14px); }\n"
               "   th{ background:%1; color:%2; text-align:left; text-transform:uppercase; "
               "font-size:0.85em; font-weight:600; padding:5px 8px; position:sticky; top:0; }\n"
               "   td{ color:%7; padding:3px 8px; line-height:1.3; }\n"
               "   .even-cell{ background:%3; }\n   .odd-cell{ background:%4; }\n"
               "   #end td{ background:transparent; padding-bottom:100px; }\n"
               "   .caption{ font:600 15px/1.35 'Liberation Sans', Arial, sans-serif; "
               "color:#2f6fd0; margin:0 0 8px 0; }\n"
               "   .caption .hint{ display:block; font-weight:400; font-size:13px; "
               "color:#8a5300; }\n"
               "   .caption.problem{ color:#b3261e; }\n"
               "   html[data-surround='dark'] .caption{ color:#8ab8f6; }\n"
               "   html[data-surround='dark'] .caption .hint{ color:#f0b35a; }\n"
               "   html[data-surround='dark'] .caption.problem{ color:#ff8a80; }\n"
               "</style>\n</head>\n<body>\n")
        .arg(cssValue(settings.hexBackBg), cssValue(settings.hex1), cssValue(settings.hexLine),
             cssValue(settings.hexLabels), cssValue(settings.appearance.fontFamily),
             QString::number(settings.appearance.fontSize), cssValue(settings.hexItems));
}

QString fileHead(const ConversionSettings &settings)
{
    return fillHead(
        QStringLiteral(
            "<!DOCTYPE html>\n<html>\n<head>\n<title>Convexo Document</title>\n<meta "
            "http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n<style "
            "type='text/css'>\n   body{\n      background:#FFF;\n}\n   table{\n      "
            "border:0px;\n}\n   th{\n      background:%1;\n      text-align:left;\n      "
            "color:%2;\n      text-transform:uppercase;\n      padding:5px;\n}\n  "
            ".even-cell{\n      background:%3;\n}\n   .odd-cell{\n      background:%4;\n}\n   "
            "table{\n      font-family:'%5';\n      font-size:%6px;\n}\n   td{\n      "
            "color:%7;\n      padding:%8px;\n}\n</style>\n</head>\n<body>\n"),
        settings);
}

void HtmlTableWriter::begin(const QStringList &columnNames)
{
    if (!HtmlStops::covers(htmlEscapes()))
        throw std::logic_error("HtmlTableWriter: a character that needs escaping is copied as "
                               "it is");
    m_begun = true;
    m_columnCount = columnNames.size();
    m_out.appendText(fileHead(m_settings));
    m_out.append("\n<table cellpadding='");
    m_out.appendNumber(m_settings.appearance.nodeWidth);
    m_out.append("' cellspading='");
    m_out.appendNumber(m_settings.appearance.cornerRadius);
    m_out.append("' style='min-width:");
    m_out.appendNumber(m_settings.htmlWidth);
    m_out.append("px;'>\n  <tr>\n");
    for (const QString &name : columnNames) {
        m_out.append("       <th>");
        m_out.appendEscaped(name, htmlEscapes());
        m_out.append("</th>\n");
    }
}

void HtmlTableWriter::record(Fields fields, qsizetype index)
{
    countShape(fields);
    const EscapeTable &escapes = htmlEscapes();
    qsizetype units = 0;
    for (QStringView field : fields)
        units += field.size();
    const qsizetype bound =
        kRowStartBound +
        qsizetype(fields.size() * (kCellStart.size() + kEmptyCell.size() + kCellEnd.size())) +
        units * escapes.maxBytesPerUnit;
    m_replaced += writeRecord(m_out, bound, [&](auto &out) {
        out.put(std::string_view("\n  </tr>\n  <tr class='"));
        out.put(rowClass(index));
        out.put(std::string_view("'>"));
        for (QStringView field : fields)
            putCell(out, field, escapes);
    });
}

void HtmlTableWriter::finish(qsizetype)
{
    if (!m_begun)
        return;
    m_out.append("\n  </tr>\n <tr style='background:#FFF;color:#FFF;'>\n     <td colspan='");
    m_out.appendNumber(m_columnCount);
    m_out.append("' style='padding-bottom:100px;'>&nbsp;</td>\n  </tr>\n");
    m_out.append("</table>\n</body>\n</html>");
    m_out.flush();
}

QString HtmlTableWriter::shortRecordNote() const
{
    return QStringLiteral("their rows have fewer cells");
}

QString HtmlTableWriter::longRecordNote() const
{
    return QStringLiteral("their rows have more cells than the header");
}

TablePreviewBuilder::TablePreviewBuilder(ConversionSettings settings)
    : m_settings(std::move(settings)), m_table(&m_tableBytes)
{
    m_table.open(QIODevice::WriteOnly);
    m_out = std::make_unique<OutputBuffer>(m_table, 0);
    m_out->append("<table style='min-width:");
    m_out->appendNumber(m_settings.htmlWidth);
    m_out->append("px;'>\n  <tr>");
}

void TablePreviewBuilder::begin(const QStringList &columnNames)
{
    m_result.hasColumnNames = true;
    m_columnCount = columnNames.size();
    for (qsizetype c = 0; c < columnNames.size(); ++c) {
        const QString name = withoutQuotes(columnNames.at(c));
        m_out->append("<th>");
        if (name.isEmpty()) {
            m_out->append("Untitled");
            m_out->appendNumber(c + 1);
        } else {
            m_out->appendBytes(escapedUtf8(name, htmlEscapes()).replace(" ", "&nbsp;"));
        }
        m_out->append("</th>");
    }
}

void TablePreviewBuilder::record(Fields fields, qsizetype index)
{
    if (index > kPreviewRows) {
        if (index == kPreviewRows + 1)
            diag(QStringLiteral("BREAK STARTED....................................."));
        return;
    }
    // Each row is closed where the next one opens, so that every row, whatever its length,
    // is closed exactly once.
    m_out->append("  </tr>\n <tr class='");
    m_out->append(rowClass(index));
    m_out->append("'>");
    BufferedOutput out(*m_out);
    for (QStringView field : fields)
        putCell(out, field, htmlEscapes());
}

void TablePreviewBuilder::finish(qsizetype recordCount)
{
    m_result.recordCount = recordCount;
    m_result.truncated = recordCount >= kPreviewRows;
    const QString colspan = QString::number(m_columnCount);
    m_out->append("</tr>\n");
    if (m_result.truncated)
        m_out->appendText(
            QStringLiteral("<tr style='background:red;color:#FFFFFF;'><td colspan='%1' "
                           "style='color:#FFFFFF;'>This preview has been truncated to only the "
                           "first 100 rows. All rows will be included in the SQL, JSON, HTML or "
                           "XML export.</td>\n</tr>")
                .arg(colspan));
    m_out->appendText(
        QStringLiteral("<tr id='end'><td colspan='%1'>&nbsp;</td>\n</tr>\n").arg(colspan));
    m_out->append("</table>");
    m_out->flush();

    compose();
}

void TablePreviewBuilder::setProblem(const QString &problem, const QStringList &notes)
{
    // A file without column names has no table to call partial; the caller says so.
    if (m_result.hasColumnNames)
        m_result.problem = problem;
    m_result.notes = notes;
    compose();
}

void TablePreviewBuilder::setCountStopped()
{
    m_result.countStopped = true;
    compose();
}

void TablePreviewBuilder::compose()
{
    const QString width = QString::number(m_settings.htmlWidth);
    const QString caption =
        !m_result.problem.isEmpty()
            ? QStringLiteral("<h4 class='caption problem' style='width:%1px;'>This file is "
                             "malformed: only its first %2 records could be read, and the count "
                             "is partial.<span class='hint'>%3</span></h4>")
                  .arg(width)
                  .arg(m_result.recordCount)
                  .arg(m_result.problem.toHtmlEscaped())
        : m_result.countStopped
            ? QStringLiteral("<h4 class='caption' style='width:%1px;'>Preview of the first "
                             "records: the count was cancelled after %2 records, so the file's "
                             "total is not known.</h4>")
                  .arg(width)
                  .arg(m_result.recordCount)
            : QStringLiteral("<h4 class='caption' style='width:%1px;'>%2 Total Records found."
                             "<span class='hint'>If the field names on the grid are not correct, "
                             "go back to your CSV and add the field names in the first "
                             "row.</span></h4>")
                  .arg(width)
                  .arg((m_result.truncated ? QStringLiteral("First 100 Rows HTML Preview of %1")
                                           : QStringLiteral("Preview of %1"))
                           .arg(m_result.recordCount));
    diag(QStringLiteral("HTML WIDTH%1").arg(width));
    QString notes;
    for (const QString &note : std::as_const(m_result.notes))
        notes += QStringLiteral("<p class='caption'><span class='hint'>%1</span></p>")
                     .arg(note.toHtmlEscaped());
    m_result.html = previewHead(m_settings) + caption + notes + QString::fromUtf8(m_tableBytes);
}

} // namespace plotwell::convert
