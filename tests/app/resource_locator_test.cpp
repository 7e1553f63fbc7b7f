#include "app/ResourceLocator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plotwell;

TEST(ResourceLocator, EnvironmentOverrideWins)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("PLOTWELL_RESOURCE_DIR", dir.path().toLocal8Bit());
    EXPECT_EQ(resourcePath(QStringLiteral("orgchart.html")), dir.path() + "/orgchart.html");
    qunsetenv("PLOTWELL_RESOURCE_DIR");
}
