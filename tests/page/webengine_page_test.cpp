// The chart page in Qt WebEngine, loaded with the requests the program itself builds: what the
// window shows, what the size scripts answer and what a print of the viewer holds. The
// layout rules themselves are checked under node (layout.test.js), where they are cheap.
#include "PdfFacts.h"
#include "colour/SwatchBoard.h"
#include "model/SampleCharts.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/Appearance.h"
#include "render/DataString.h"
#include "render/PageRequest.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>

using namespace plotwell;

namespace {

const QString kPageAddress = QStringLiteral(PLOTWELL_BINARY_DIR "/resources/orgchart.html?data=");

// The room between the drawn chart (title, boxes, lines) and the window's edges: left, top,
// right, bottom.
constexpr char kPlacementScript[] =
    "(() => { const r = document.querySelector('.chart-content').getBoundingClientRect();"
    " return [r.left, r.top, innerWidth - r.right, innerHeight - r.bottom].join(' '); })()";

// Counts the alerts a page raises, so that a test can tell that no script of a title ran.
class WatchedPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;
    int alerts = 0;

protected:
    void javaScriptAlert(const QUrl &, const QString &) override { ++alerts; }
};

struct Chart
{
    ChartGrid grid;
    AppState state;

    Chart()
    {
        applyStartupSlotTexts(grid);
        grid.setSetting(ChartSetting::Ctype, getCtype(kOrgChartTypeLabel).value_or(QString()));
    }

    QString data()
    {
        const RenderResult result = submitData(grid, state);
        return result.kind == RenderResult::Load ? result.dataString : QString();
    }

    RequestSettings settings() const { return gatherRequestSettings(grid, state, kPageAddress); }
};

} // namespace

class WebEnginePageTest : public QObject
{
    Q_OBJECT

private:
    QWebEngineView *view = nullptr;
    WatchedPage *page = nullptr;

    void load(const QString &filteredRequest)
    {
        QSignalSpy finished(page, &QWebEnginePage::loadFinished);
        page->load(requestUrl(filteredRequest));
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.first().first().toBool());
    }

    QVariant js(const QString &script)
    {
        QVariant result;
        bool done = false;
        page->runJavaScript(script, [&](const QVariant &value) {
            result = value;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 30000))
            qWarning("script did not answer: %s", qPrintable(script));
        return result;
    }

    // "row:text" of every box, the lines of each box joined without separator.
    QStringList boxes()
    {
        return js(QStringLiteral("[...document.querySelectorAll('g.node')].map(g => g.dataset.row "
                                 "+ ':' + g.querySelector('text').textContent).join('\\n')"))
            .toString()
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    double number(const QString &script) { return sizeFromScriptResult(js(script).toString()); }

    /// Prints the page as the exports do and returns the file, empty when the print failed.
    QString print(const QTemporaryDir &dir)
    {
        const QString file = dir.filePath(QStringLiteral("chart.pdf"));
        QSignalSpy printed(page, &QWebEnginePage::pdfPrintingFinished);
        page->printToPdf(file,
                         QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        return printed.wait(60000) && printed.first().at(1).toBool() ? file : QString();
    }

private Q_SLOTS:
    void init()
    {
        view = new QWebEngineView;
        page = new WatchedPage(view);
        view->setPage(page);
        view->resize(320, 240); // smaller than any chart, so the document's size is the chart's
        view->show();
    }

    void cleanup()
    {
        delete view;
        view = nullptr;
    }

    void sampleOneIsDrawnAtItsOwnSizeAndFitsTheExportBox()
    {
        Chart chart;
        loadSampleData(chart.grid, chart.state);
        load(viewerRequest(chart.settings(), chart.data()));
        const QStringList shown = boxes();
        QCOMPARE(shown.size(), 11);
        QCOMPARE(shown.first(), QStringLiteral("1:Niall Brent(CEO)"));
        QVERIFY(shown.contains(QStringLiteral("6:Mara Quill(Mergers & acquisitions)")));
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('g.node[data-row=\"1\"] tspan')"
                                   ".length"))
                     .toInt(),
                 2); // "(" starts a line
        QCOMPARE(
            js(QStringLiteral("document.querySelector('.chart-title').textContent")).toString(),
            kSampleChartTitle);
        // With the engine's own text measurement no two boxes overlap, and the chart, larger
        // than the view, is fitted into it and centred.
        QCOMPARE(js(QStringLiteral(
                        "(() => { const r = [...document.querySelectorAll('rect.node-box')]"
                        ".map(e => e.getBoundingClientRect()); let n = 0;"
                        " r.forEach((a, i) => r.slice(i + 1).forEach(b => { n += a.left < b.right"
                        " && b.left < a.right && a.top < b.bottom && b.top < a.bottom; }));"
                        " return n; })()"))
                     .toInt(),
                 0);
        const QString placement = js(QString::fromLatin1(kPlacementScript)).toString();
        const QStringList gaps = placement.split(QLatin1Char(' '));
        QVERIFY2(gaps.size() == 4 && gaps[0].toDouble() > 0 && gaps[1].toDouble() > 0 &&
                     qAbs(gaps[0].toDouble() - gaps[2].toDouble()) <= 1 &&
                     qAbs(gaps[1].toDouble() - gaps[3].toDouble()) <= 1,
                 qPrintable(placement));

        // The size scripts answer the chart plus its margin, not the view.
        const double width = number(kScrollWidthScript);
        const double height = number(kScrollHeightScript);
        QCOMPARE(width,
                 number(QStringLiteral("document.querySelector('svg').getAttribute('width')")));
        QCOMPARE(height,
                 number(QStringLiteral("document.querySelector('svg').getAttribute('height')")));
        QVERIFY(width > 320 && height > 240);

        // A Ctrl+wheel over the top box zooms about the pointer in the next frame, far enough
        // that the drawing is scaled again inside its layer; the stage follows when the gesture
        // settles, and the drawing does not move then (within a pixel: the event's position and
        // the settled scroll position are whole pixels).
        js(QStringLiteral(
            "window.at = () => { const r = document.querySelector('g.node[data-row=\"1\"] rect')"
            ".getBoundingClientRect(); return [r.left + r.width / 2, r.top, r.width,"
            " document.querySelector('.chart-stage').offsetWidth, plotwellView.zoom()]; };"
            " window.before = at();"
            " for (let i = 0; i < 8; i++) document.body.dispatchEvent(new WheelEvent('wheel', {"
            " ctrlKey: true, deltaY: -120, clientX: before[0], clientY: before[1] + 2,"
            " bubbles: true})); requestAnimationFrame(() => { window.mid = at(); }); true"));
        QTRY_VERIFY(js(QStringLiteral("!!window.mid && at()[3] !== mid[3]")).toBool());
        QVERIFY2(js(QStringLiteral("const after = at(); mid[3] === before[3] && mid[4] > 4 *"
                                   " before[4] && Math.abs(mid[2] / before[2] - mid[4] / before[4])"
                                   " < 0.01 && Math.abs(mid[0] - before[0]) < 1 && [0, 1, 2]"
                                   ".every(i => Math.abs(after[i] - mid[i]) < 1)"))
                     .toBool(),
                 qPrintable(js(QStringLiteral("JSON.stringify([before, mid, at()])")).toString()));

        // Looking around (zoom, search, folding) changes neither what the program measures nor
        // what a print holds.
        QCOMPARE(js(QStringLiteral("plotwellSearch('research')")).toInt(), 1);
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('g.node.match').length")).toInt(), 1);
        js(QStringLiteral("plotwellView.zoomTo(0.05); plotwellView.fold(1); true"));
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('g.node').length")).toInt(), 1);
        QCOMPARE(number(kScrollWidthScript), width);
        QCOMPARE(number(kScrollHeightScript), height);

        QTemporaryDir dir;
        const QString file = print(dir);
        QVERIFY(!file.isEmpty());
        const testing::PdfFacts pdf = testing::pdfFacts(file);
        QCOMPARE(pdf.pages, 1);
        // The whole chart with every title, though on screen row 1 is folded and the chart too
        // small for titles, and none of the viewer's controls.
        QVERIFY2(pdf.text.contains(QStringLiteral("Jory Kemble")), qPrintable(pdf.text));
        QVERIFY2(!pdf.text.contains(QStringLiteral("Find")) && !pdf.text.contains(QLatin1Char('%')),
                 qPrintable(pdf.text));
        // A CSS pixel is three quarters of a point; the page size is in whole pixels.
        QVERIFY2(
            qAbs(pdf.pageSize.width() - std::ceil(width) * 0.75) < 1 &&
                qAbs(pdf.pageSize.height() - std::ceil(height) * 0.75) < 1,
            qPrintable(
                QStringLiteral("%1 x %2").arg(pdf.pageSize.width()).arg(pdf.pageSize.height())));

        // The export request names a box: the page has exactly that size, and the chart is
        // scaled evenly into it with nothing cut.
        load(exportRequest(chart.settings(), chart.data(), 1024, 700));
        QCOMPARE(number(kScrollWidthScript), 1024.0);
        QCOMPARE(number(kScrollHeightScript), 700.0);
        const QStringList viewBox =
            js(QStringLiteral("document.querySelector('svg').getAttribute('viewBox')"))
                .toString()
                .split(QLatin1Char(' '));
        QCOMPARE(viewBox.size(), 4);
        QVERIFY(viewBox[0].toDouble() <= 0 && viewBox[1].toDouble() <= 0);
        QVERIFY(viewBox[2].toDouble() >= width - 0.01 && viewBox[3].toDouble() >= height - 0.01);
        QVERIFY(qAbs(viewBox[2].toDouble() / viewBox[3].toDouble() - 1024.0 / 700) < 0.01);

        // As the program loads its export viewer: the size the viewer answered, 20 pixels
        // larger each way. The whole chart shows, the margin is even all round and nothing of
        // the viewer's controls is drawn.
        view->resize(int(width) + 20, int(height) + 20);
        load(exportRequest(chart.settings(), chart.data(), width, height));
        QTRY_COMPARE(js(QStringLiteral("innerWidth")).toInt(), int(width) + 20);
        const QStringList margins =
            js(QString::fromLatin1(kPlacementScript)).toString().split(QLatin1Char(' '));
        QCOMPARE(margins.size(), 4);
        for (const QString &margin : margins)
            QVERIFY2(qAbs(margin.toDouble() - 15) <= 1, qPrintable(margins.join(QLatin1Char(' '))));
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('.fold-toggle, .view-controls, "
                                   ".search-box, .chart-viewer').length"))
                     .toInt(),
                 0);
    }

    // Every character typed reaches the drawn chart and the vector PDF: what the character
    // filter once deleted, other scripts, emoji and the signs the query itself uses.
    void everyTypedCharacterIsDrawnAndPrinted()
    {
        const QStringList titles = {
            QStringLiteral("Zoë Müller Åsa Øberg àâäæçèéêëîïôœùûüÿößẞğøåşíìòáñóú ¿Qué? ¡Sí!"),
            QStringLiteral(
                "ÀÂÄÆÇÈÉÊËÎÏÔŒÙÛÜŸÖĞØŞÍÌÒÁÑÓÚ “q” «g» — – ` € ¢ £ ¥ ₩ ₪ ฿ ₫ ₴ ₹ {} \\ ^"),
            QStringLiteral("José O'Brien, Jr. C++ 100% R&D=1 \"Ace\" #1 ~amp~ ~u41~ [x] | ~"),
            QStringLiteral("Ελληνικά Кириллица"),
            QStringLiteral("العربية עברית"),
            QStringLiteral("中文 诶比西 艾弗 贼德 bǐ kāi 😀👍"),
        };
        const QString chartTitle = QStringLiteral("Zoë's Team: 50% R&D=1 + #2 \"Ω\" ~pct~ [a|b]");
        const QString xLabel = QStringLiteral("Head count, 10% & more = ~ #");
        const QString yLabel = QStringLiteral("Ünits 'ж' 中 😀 [1] | +");
        Chart chart;
        chart.grid.setTitle(1, QStringLiteral("Root"));
        for (int i = 0; i < titles.size(); ++i) {
            chart.grid.setTitle(i + 2, titles[i]);
            chart.grid.setParent(i + 2, QStringLiteral("1"));
        }
        chart.grid.setSetting(ChartSetting::ChartTitle, chartTitle);
        chart.grid.setSetting(ChartSetting::XaxisLabel, xLabel);
        chart.grid.setSetting(ChartSetting::YaxisLabel, yLabel);
        load(viewerRequest(chart.settings(), chart.data()));

        // Lines break at spaces, so the characters are compared without them.
        const auto solid = [](QString text) {
            return text.remove(QRegularExpression(QStringLiteral("\\s")));
        };
        QStringList expected{QStringLiteral("1:Root")};
        for (int i = 0; i < titles.size(); ++i)
            expected << QString::number(i + 2) + QLatin1Char(':') + solid(titles[i]);
        QStringList drawn;
        for (const QString &box : boxes())
            drawn << solid(box);
        QCOMPARE(drawn, expected);
        QCOMPARE(
            js(QStringLiteral("document.querySelector('.chart-title').textContent")).toString(),
            chartTitle);
        // The org chart draws no axes; the labels are read back as the page decodes them.
        QCOMPARE(js(QStringLiteral("[Orgchart.parseQuery(location.search).xaxis, "
                                   "Orgchart.parseQuery(location.search).yaxis].join('\\n')"))
                     .toString(),
                 xLabel + QLatin1Char('\n') + yLabel);

        QTemporaryDir dir;
        const QString file = print(dir);
        QVERIFY(!file.isEmpty());
        // pdftotext writes right-to-left runs in visual order, between embedding marks: their
        // words are compared one by one, everything else as a whole.
        QString pdfText = solid(testing::toolOutput(
            QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")}));
        pdfText.remove(
            QRegularExpression(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}]")));
        const QRegularExpression rightToLeft(QStringLiteral("[\\x{0590}-\\x{08FF}]"));
        const QStringList printedTexts = QStringList(titles) << chartTitle;
        for (const QString &text : printedTexts) {
            const QStringList pieces = text.contains(rightToLeft)
                                           ? text.split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                           : QStringList{solid(text)};
            for (const QString &piece : pieces)
                QVERIFY2(pdfText.contains(piece),
                         qPrintable(piece + QLatin1String(" in\n") + pdfText));
        }
    }

    // Too long for an address: the viewer hands the page its query by a script instead.
    void tenThousandCharacterTitlesInEveryRowDraw()
    {
        Chart chart;
        const QString words = QStringLiteral("Zoë Ωμέγα 中文 O'Brien ").repeated(500).left(9990);
        for (int row = 1; row <= kRowCount; ++row) {
            chart.grid.setTitle(row, QString::number(row) + words);
            chart.grid.setParent(row, row == 1 ? QString() : QString::number(row / 2));
        }
        chart.grid.setSetting(ChartSetting::ChartTitle, words);
        const QUrl url = requestUrl(viewerRequest(chart.settings(), chart.data()));
        QVERIFY(url.toEncoded().size() > kLongestAddress);
        WebEngineChartViewer viewer(view);
        QSignalSpy finished(&viewer, &ChartViewer::loadFinished);
        viewer.load(url);
        QVERIFY(finished.wait(120000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('g.node').length")).toInt(),
                 kRowCount);
        // Boxes and the chart title end in an ellipsis; their tooltips hold the whole text.
        QVERIFY(js(QStringLiteral("document.querySelector('.chart-title').textContent"))
                    .toString()
                    .endsWith(QChar(0x2026)));
        QCOMPARE(
            js(QStringLiteral("document.querySelector('.chart-title-tip > title').textContent"))
                .toString(),
            words.trimmed());
        QCOMPARE(js(QStringLiteral("document.querySelector('g.node[data-row=\"93\"] > title')"
                                   ".textContent"))
                     .toString(),
                 (QStringLiteral("93") + words).trimmed());
        QVERIFY(number(kScrollWidthScript) < 16000);
    }

    // The viewer on screen draws each chart in the page it shows: the address and the history
    // are those loads would leave, undo and redo walk them (the engine's own back skips steps
    // added by script), and a page that drew several charts reacts to a key once.
    void chartsAreDrawnInPlaceAndTheHistoryWalksThem()
    {
        WebEngineChartViewer viewer(view);
        viewer.setDrawsInPlace(true);
        QSignalSpy finished(&viewer, &ChartViewer::loadFinished);
        const auto settle = [&] {
            QVERIFY(finished.wait(60000));
            QVERIFY(finished.last().first().toBool());
        };
        const QUrl start =
            QUrl::fromLocalFile(QStringLiteral(PLOTWELL_BINARY_DIR "/resources/orgchart.html"));
        viewer.load(start);
        settle();
        QVERIFY(boxes().isEmpty());
        js(QStringLiteral("window.sameDocument = true"));
        // Each drawing goes into the document once: moved after it is drawn, all of it would be
        // styled and laid out a second time.
        js(QStringLiteral(
            "window.drawingsInserted = 0; new MutationObserver(records => records.forEach("
            "r => r.addedNodes.forEach(n => { if (n.matches && n.matches('svg.orgchart')) "
            "++window.drawingsInserted; }))).observe(document.body, {childList: true, subtree: "
            "true}); true"));

        Chart chart;
        chart.grid.setTitle(1, QStringLiteral("Ann(CEO)"));
        QList<QUrl> steps;
        for (const QString &title :
             {QStringLiteral("Bo(CTO)"), QStringLiteral("Cy(CFO)"), QStringLiteral("Di(COO)")}) {
            const int row = int(steps.size()) + 2;
            chart.grid.setTitle(row, title);
            chart.grid.setParent(row, QStringLiteral("1"));
            steps << requestUrl(viewerRequest(chart.settings(), chart.data()));
        }
        for (int i = 0; i < 2; ++i) {
            viewer.load(steps[i]);
            settle();
            QCOMPARE(viewer.currentUrl(), steps[i]);
        }
        QCOMPARE(boxes().size(), 3);
        QVERIFY2(js(QStringLiteral("window.sameDocument")).toBool(), "drawn without a load");
        QCOMPARE(js(QStringLiteral("window.drawingsInserted")).toInt(), 2);

        const double zoom = number(QStringLiteral("plotwellView.zoom()"));
        js(QStringLiteral("document.dispatchEvent(new KeyboardEvent('keydown', "
                          "{key: '+', ctrlKey: true, bubbles: true}))"));
        QCOMPARE(qRound(number(QStringLiteral("plotwellView.zoom()")) / zoom * 100), 125);

        viewer.goBack();
        settle();
        QCOMPARE(viewer.currentUrl(), steps[0]);
        QCOMPARE(boxes().size(), 2);
        viewer.goBack();
        settle();
        QVERIFY(boxes().isEmpty());
        viewer.goForward();
        settle();
        QCOMPARE(boxes().size(), 2);

        // "Update as I edit" puts its chart in place of the one on show.
        viewer.replace(steps[2]);
        settle();
        QCOMPARE(boxes().size(), 4);
        viewer.goBack();
        settle();
        QVERIFY(boxes().isEmpty());
        QVERIFY(js(QStringLiteral("window.sameDocument")).toBool());
    }

    // The page sizes a drawing from the boxes' layout and the title the engine measured, before
    // the boxes are drawn. What the engine then draws has the same margin on opposite sides
    // (within half a pixel: the size is whole pixels), whatever is in the boxes.
    void theMarginIsEvenRoundWhatTheEngineDrew()
    {
        // The four gaps round the drawing when they are uneven, nothing when they are even.
        const auto unevenMargins = [this]() -> QString {
            const QStringList gaps =
                js(QStringLiteral(
                       "(() => { const svg = document.querySelector('svg.orgchart');"
                       " const content = svg.querySelector('.chart-content');"
                       " const b = content.getBBox();"
                       " const t = content.transform.baseVal.consolidate().matrix;"
                       " return [b.x + t.e, b.y + t.f, svg.getAttribute('width') - b.x - b.width"
                       " - t.e, svg.getAttribute('height') - b.y - b.height - t.f].join(' '); "
                       "})()"))
                    .toString()
                    .split(QLatin1Char(' '));
            const bool even = gaps.size() == 4 &&
                              qAbs(gaps[0].toDouble() - gaps[2].toDouble()) <= 0.55 &&
                              qAbs(gaps[1].toDouble() - gaps[3].toDouble()) <= 0.55 &&
                              gaps[0].toDouble() > 0 && gaps[1].toDouble() > 0;
            return even ? QString() : gaps.join(QLatin1Char(' '));
        };
        Chart sample;
        loadSampleData(sample.grid, sample.state);
        load(viewerRequest(sample.settings(), sample.data()));
        QVERIFY2(unevenMargins().isEmpty(), qPrintable(unevenMargins()));
        // Folded, the top box carries the pill with the count of the people it hides.
        js(QStringLiteral("plotwellView.fold(1); true"));
        QVERIFY2(unevenMargins().isEmpty(), qPrintable(unevenMargins()));

        // No chart title; large text in narrow boxes, which shrinks a long word or widens its
        // box; other scripts and emoji, whose fonts are taller.
        Chart narrow;
        narrow.state.appearance.fontSize = 24;
        narrow.state.appearance.nodeWidth = 80;
        const QStringList titles = {QStringLiteral("Root"),
                                    QStringLiteral("Supercalifragilisticexpialidocious(Chief)"),
                                    QStringLiteral("中文 诶比西 😀👍"), QStringLiteral("Zoë(Ω)")};
        for (int row = 1; row <= titles.size(); ++row) {
            narrow.grid.setTitle(row, titles[row - 1]);
            if (row > 1)
                narrow.grid.setParent(row, QStringLiteral("1"));
        }
        load(viewerRequest(narrow.settings(), narrow.data()));
        QCOMPARE(boxes().size(), 4);
        QVERIFY2(unevenMargins().isEmpty(), qPrintable(unevenMargins()));
    }

    // Folding or unfolding a branch leaves the clicked box where it was on screen (within a
    // pixel: scroll positions are whole pixels), also where the folded chart is smaller than
    // the view or the scroll range ends short of the box. An organisation of 400 people, zoomed
    // in and out, each manager's box placed in turn near the view's bottom right corner and
    // folded, then unfolded.
    void aFoldedBranchLeavesItsBoxWhereItWas()
    {
        QStringList people;
        for (int row = 1; row <= 400; ++row)
            people << QStringLiteral("Person+%1_%2_u_ffffff_%1").arg(row).arg(row / 5);
        Chart chart;
        load(viewerRequest(chart.settings(), people.join(QLatin1Char('*'))));
        const QString moved =
            js(QStringLiteral(
                   "(() => { const view = document.querySelector('.chart-viewer');"
                   " const at = row => { const r = document.querySelector("
                   "`.fold-toggle[data-row=\"${row}\"]`).getBoundingClientRect();"
                   " return [r.left + r.width / 2, r.top]; };"
                   " const rows = [...document.querySelectorAll('.fold-toggle')]"
                   ".map(t => +t.dataset.row).filter((row, i) => i % 6 === 0);"
                   " const moved = [];"
                   " for (const zoom of [1, 0.3]) for (const row of rows) {"
                   " plotwellView.zoomTo(zoom); const v = view.getBoundingClientRect();"
                   " let p = at(row); view.scrollLeft += p[0] - v.left - v.width * 0.9;"
                   " view.scrollTop += p[1] - v.top - v.height * 0.8;"
                   " p = at(row); plotwellView.fold(row); const f = at(row);"
                   " plotwellView.unfold(row); const u = at(row);"
                   " const off = (a, b) => Math.abs(a[0] - b[0]) > 1 || Math.abs(a[1] - b[1]) > 1;"
                   " if (off(f, p) || off(u, f))"
                   " moved.push(`${row} at ${zoom}: ${p} folded ${f} unfolded ${u}`); }"
                   " return rows.length > 10 ? moved.join('; ') : 'too few managers'; })()"))
                .toString();
        QVERIFY2(moved.isEmpty(), qPrintable(moved));
    }

    // A page process that dies (out of memory with a huge chart, a crash) ends the load it was
    // on, which nothing else would; and the next chart is loaded afresh, not drawn by script in
    // the page that went with the process.
    void aDeadPageProcessEndsItsLoadAndTheNextChartIsLoadedAfresh()
    {
        WebEngineChartViewer viewer(view);
        viewer.setDrawsInPlace(true);
        QSignalSpy finished(&viewer, &ChartViewer::loadFinished);
        QSignalSpy pageLoaded(view, &QWebEngineView::loadFinished);
        QStringList people;
        for (int row = 1; row <= 5000; ++row)
            people << QStringLiteral("Person+%1_%2_u_ffffff_%1").arg(row).arg(row / 4);
        Chart chart;
        const ScriptedRequest organisation = scriptedRequest(
            requestUrl(viewerRequest(chart.settings(), people.join(QLatin1Char('*')))));
        viewer.loadThenRun(organisation.page, organisation.script);
        // The page has loaded and been handed the data: it is drawing.
        QVERIFY(pageLoaded.wait(60000));
        QVERIFY(finished.isEmpty());
        ::kill(pid_t(page->renderProcessPid()), SIGKILL);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last().first().toBool(), false);

        loadSampleData(chart.grid, chart.state);
        viewer.load(requestUrl(viewerRequest(chart.settings(), chart.data())));
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.last().first().toBool());
        QCOMPARE(boxes().size(), 11);
    }

    // The export viewers start once the chart on screen has painted; a viewer whose window is
    // not on screen never paints, and must not hold them back for ever.
    void aViewerOffScreenStillSaysItHasPainted()
    {
        for (const bool shown : {true, false}) {
            QWebEngineView other;
            other.resize(320, 240);
            if (shown)
                other.show();
            WebEngineChartViewer viewer(&other);
            QSignalSpy finished(&viewer, &ChartViewer::loadFinished);
            Chart chart;
            loadSampleData(chart.grid, chart.state);
            viewer.load(requestUrl(viewerRequest(chart.settings(), chart.data())));
            QVERIFY(finished.wait(60000));
            bool painted = false;
            viewer.whenPainted([&painted] { painted = true; }, 300);
            QTRY_VERIFY_WITH_TIMEOUT(painted, 5000);
        }
    }

    void anEmptyChartShowsTheEmptyState()
    {
        Chart chart;
        load(viewerRequest(chart.settings(), QString()));
        QVERIFY(js(QStringLiteral("document.body.textContent"))
                    .toString()
                    .contains(QStringLiteral("Nothing to draw yet")));
        QVERIFY(boxes().isEmpty());
    }

    void aTitleOfMarkupIsTextAndRunsNothing()
    {
        Chart chart;
        chart.grid.setTitle(1, QStringLiteral("<img src=x onerror=alert(1)>"));
        chart.grid.setTitle(2, QStringLiteral("<script>alert(2)</script>Eve"));
        chart.grid.setParent(2, QStringLiteral("1"));
        load(viewerRequest(chart.settings(), chart.data()));
        QCOMPARE(boxes(), (QStringList{QStringLiteral("1:<img src=x onerror=alert(1)>"),
                                       QStringLiteral("2:<script>alert(2)</script>Eve")}));
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('img').length")).toInt(), 0);
        // Only the page's own script files, whatever their number.
        QVERIFY(js(QStringLiteral("Array.from(document.scripts).every(function (s) {"
                                  " return /\\/orgchart\\/[a-z-]+\\.js$/.test(s.src); })"))
                    .toBool());
        QCOMPARE(page->alerts, 0);
    }
};

QTEST_MAIN(WebEnginePageTest)
#include "webengine_page_test.moc"
