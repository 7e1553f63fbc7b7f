#include "Fakes.h"

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::testing;

// The fake viewer's history must behave like a browser's, or every undo/redo test built on it
// would prove nothing.
TEST(FakeChartViewer, NewLoadDropsTheForwardHistory)
{
    FakeChartViewer viewer;
    viewer.load(QUrl(QStringLiteral("file:///a")));
    viewer.load(QUrl(QStringLiteral("file:///b")));
    viewer.goBack();
    EXPECT_TRUE(viewer.canGoForward());
    viewer.loadHtml(QStringLiteral("<p>c</p>"));
    EXPECT_FALSE(viewer.canGoForward());
    EXPECT_TRUE(viewer.canGoBack());
    viewer.goBack();
    EXPECT_EQ(viewer.currentUrl(), QUrl(QStringLiteral("file:///a")));
}
