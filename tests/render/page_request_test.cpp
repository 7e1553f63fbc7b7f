#include "colour/SwatchBoard.h"
#include "commands/RequestCommand.h"
#include "render/PageRequest.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace plotwell;

namespace {

// A freshly started window's settings: start-up colour texts, "3dcol", the delegate's defaults.
struct StartedWindow
{
    ChartGrid grid;
    AppState state;
    StartedWindow()
    {
        applyStartupSlotTexts(grid);
        grid.setSetting(ChartSetting::Ctype, QStringLiteral("3dcol"));
        state.chartTitle = QStringLiteral("Sample Org Chart");
    }
    RequestSettings settings() const
    {
        return gatherRequestSettings(grid, state, QStringLiteral("/res/orgchart.html?data="));
    }
};

// The query of a URL, decoded the way the page decodes it (percent escapes only; "+" stays).
QString decodedQuery(const QUrl &url)
{
    return QUrl::fromPercentEncoding(url.query(QUrl::FullyEncoded).toUtf8());
}

} // namespace

TEST(PageRequest, ViewerRequestWithStartUpSettings)
{
    const StartedWindow window;
    EXPECT_EQ(viewerRequest(window.settings(), QStringLiteral("A_B")),
              "/res/orgchart.html?data=A_B&ctype=3dcol&xaxis=&yaxis=&ctitle=Sample+Org+Chart"
              "&labelcolor=E5F1F4&backcolor=328AA4&itemcolor=000000&linecolor=FFFBFC"
              "&font=Linux Biolinum O&fsize=14&nsize=0&rsize=3&mcstate=1&margin=5");
}

TEST(PageRequest, ExportAndFullScreenCarryTheSizeAndTheirMargins)
{
    const StartedWindow window;
    const QString exported = exportRequest(window.settings(), QStringLiteral("D"), 1024, 768.5);
    EXPECT_TRUE(exported.contains(QStringLiteral("&linecolor=FFFBFC&screenWidth=1024.000000&"
                                                 "screenHeight=768.500000&font=Linux Biolinum O")));
    EXPECT_TRUE(exported.endsWith(QStringLiteral("&mcstate=1&margin=5")));
    const QString full = fullScreenRequest(window.settings(), QStringLiteral("D"), 1920, 1055);
    EXPECT_TRUE(full.contains(QStringLiteral("&screenWidth=1920.000000&screenHeight=1055.000000")));
    EXPECT_TRUE(full.endsWith(QStringLiteral("&mcstate=1&margin=50")));
    EXPECT_TRUE(exportRequest(window.settings(), QString(), std::nan(""), -1)
                    .contains(QStringLiteral("&screenWidth=0.000000&screenHeight=-1.000000")));
}

TEST(PageRequest, TitleAndLabelsAreQuerySafe)
{
    StartedWindow window;
    window.state.chartTitle = QStringLiteral("Team #1 of R&D=Core [x]|50%");
    window.grid.setSetting(ChartSetting::XaxisLabel, QStringLiteral("Head count & cost"));
    window.grid.setSetting(ChartSetting::YaxisLabel, QStringLiteral("a=b #c"));
    window.grid.setSetting(ChartSetting::HexLabels, QStringLiteral("#ab#cd"));
    window.state.appearance.fontFamily = QStringLiteral("Evil&margin=9 ~+");
    const RequestSettings s = window.settings();
    EXPECT_EQ(s.ctitle, "Team+#1+of+R~amp~D~eq~Core+[x]|50%");
    EXPECT_EQ(s.xaxis, "Head+count+~amp~+cost");
    EXPECT_EQ(s.yaxis, "a~eq~b+#c");
    EXPECT_EQ(s.labelcolor, "abcd");
    EXPECT_EQ(s.font, "Evil~amp~margin~eq~9 ~tilde~~plus~");
    const QString request = viewerRequest(s, QString());
    EXPECT_TRUE(request.contains(
        QStringLiteral("&ctitle=Team+#1+of+R~amp~D~eq~Core+~u5B~x~u5D~~u7C~50~u25~&")));

    const QUrlQuery query(requestUrl(request));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("yaxis"), QUrl::FullyDecoded), "a~eq~b+#c");
    EXPECT_EQ(query.queryItems().size(), 15);
    window.state.chartTitle.reset();
    EXPECT_TRUE(viewerRequest(window.settings(), QString()).contains(QStringLiteral("&ctitle=&")))
        << "an unset title is sent as empty text";
}

// A folder name with characters the request filter would turn into tokens still leads to the
// page: only the query is filtered.
TEST(PageRequest, PageAddressIsInTheResourceFolderWhateverItsName)
{
    const QString folder = QStringLiteral("/home/José/Bob's, [old] 100%?/res");
    qputenv("PLOTWELL_RESOURCE_DIR", folder.toUtf8());
    const QString address = chartPageAddress();
    qunsetenv("PLOTWELL_RESOURCE_DIR");
    EXPECT_EQ(address, folder + QStringLiteral("/orgchart.html?data="));
    StartedWindow window;
    const QString request = viewerRequest(gatherRequestSettings(window.grid, window.state, address),
                                          QStringLiteral("Zoë"));
    EXPECT_TRUE(request.startsWith(folder + QStringLiteral("/orgchart.html?data=Zo~uEB~&ctype=")));
    const QUrl url = requestUrl(request);
    ASSERT_TRUE(url.isValid());
    EXPECT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile(), folder + QStringLiteral("/orgchart.html"));
    EXPECT_TRUE(url.query().startsWith(QStringLiteral("data=Zo~uEB~&ctype=3dcol&")));
}

TEST(PageRequestUrl, EverythingTheFilterLetsThroughReachesThePage)
{
    const QString query = QStringLiteral(
        "data=Ann+\"Boss\"_#1\nЖизнь+😀+ąę+<b>+a/b:c@d!$'()*,;?~_-.&font=Times New Roman");
    const QUrl url = requestUrl(QStringLiteral("/res/orgchart.html?") + query);
    ASSERT_TRUE(url.isValid()) << url.errorString().toStdString();
    EXPECT_EQ(decodedQuery(url), query);
    const QByteArray encoded = url.toEncoded();
    for (const char *literal : {"\"", " ", "#", "\n", "<"})
        EXPECT_FALSE(encoded.mid(encoded.indexOf('?')).contains(literal)) << literal;
    EXPECT_TRUE(encoded.contains("&font=Times%20New%20Roman"));
    EXPECT_TRUE(encoded.contains("data=Ann+%22Boss%22_%231%0A"));
}

TEST(PageRequestUrl, HostileRequestsStayValidUrls)
{
    const QString huge(10000, QLatin1Char('y'));
    for (const QString &text :
         {QString(), QStringLiteral("no query"), QStringLiteral("C:/res/orgchart.html?data=x"),
          QStringLiteral("/r/orgchart.html?data=") + huge, QStringLiteral("/r/o.html?%%%?#?")}) {
        const QUrl url = requestUrl(text);
        EXPECT_TRUE(url.isValid()) << text.left(30).toStdString();
        EXPECT_EQ(url.scheme(), "file");
    }
    EXPECT_EQ(requestUrl(QStringLiteral("C:/res/orgchart.html?data=x")).path(),
              "/C:/res/orgchart.html");
}

TEST(PageRequest, ScriptSizes)
{
    EXPECT_DOUBLE_EQ(sizeFromScriptResult(QStringLiteral("1024")), 1024.0);
    EXPECT_DOUBLE_EQ(sizeFromScriptResult(QStringLiteral(" 12.5px")), 12.5);
    for (const char *bad : {"", "abc", "undefined", "1e999"})
        EXPECT_DOUBLE_EQ(sizeFromScriptResult(QString::fromLatin1(bad)), 0.0) << bad;
}

TEST(RequestCommand, SampleRequestsUseTheResourceFolderAndStartUpColours)
{
    qputenv("PLOTWELL_RESOURCE_DIR", "/res");
    const QString one = sampleViewerRequest(1);
    const QString two = sampleViewerRequest(2);
    qunsetenv("PLOTWELL_RESOURCE_DIR");
    EXPECT_TRUE(one.startsWith(QStringLiteral(
        "/res/orgchart.html?data=Niall+Brent(CEO)__NOT+NULL_FFFFFF__1*Tobin+Marsh(Public+"
        "Relations)_1_u_CD6A80_2*Ilse+Varga(Business+Development)_1_NULL_504DCD_3*")));
    EXPECT_TRUE(one.contains(
        QStringLiteral("*___9ACD32_93&ctype=3dcol&xaxis=&yaxis=&ctitle=Sample+Org+Chart&")));
    EXPECT_TRUE(two.contains(QStringLiteral("*Ilse+Varga(Business+Development)__NULL_504DCD_3*")));
    EXPECT_NE(one, two);
    EXPECT_TRUE(sampleViewerRequest(3).isEmpty());
}
