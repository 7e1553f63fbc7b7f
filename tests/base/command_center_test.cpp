#include "base/CommandCenter.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace plotwell;

TEST(CommandCenter, HandlersRunSynchronouslyInRegistrationOrder)
{
    CommandCenter center;
    QStringList ran;
    center.observe(QStringLiteral("saveDocument"), [&](const QVariant &) { ran << "first"; });
    center.observe(QStringLiteral("saveDocument"),
                   [&](const QVariant &object) { ran << "second:" + object.toString(); });
    EXPECT_EQ(center.post(QStringLiteral("saveDocument"), QStringLiteral("x")), 2);
    EXPECT_EQ(ran, (QStringList{"first", "second:x"}));
    EXPECT_EQ(center.post(QStringLiteral("nobodyListens")), 0);
}

TEST(CommandCenter, AThrowingHandlerIsContainedAndOthersStillRun)
{
    CommandCenter center;
    bool secondRan = false;
    center.observe(
        QStringLiteral("newDocument"), [](const QVariant &) { throw std::runtime_error("boom"); },
        QStringLiteral("Exception occured at clear"));
    center.observe(QStringLiteral("newDocument"), [&](const QVariant &) { secondRan = true; });
    EXPECT_NO_THROW(center.post(QStringLiteral("newDocument")));
    EXPECT_TRUE(secondRan);
}

#include "base/AppState.h"

TEST(AppState, ProgressGateReadsTheLeadingNumberOfBarValue)
{
    AppState state;
    const std::pair<int, bool> cases[] = {{0, false},  {1, true},   {50, true},  {94, true},
                                          {95, false}, {-3, false}, {100, false}};
    for (const auto &[percent, running] : cases) {
        state.barValue = percent;
        EXPECT_EQ(state.conversionRunning(), running) << percent;
    }
}
