#include "document/RecentDocuments.h"
#include "platform/Preferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::document;

TEST(RecentDocuments, NewestFirstWithoutDuplicatesAndAtMostTen)
{
    MemoryPreferences preferences;
    RecentDocuments recent(preferences);
    QSignalSpy changed(&recent, &RecentDocuments::changed);

    for (int i = 1; i <= 12; ++i)
        recent.add(QStringLiteral("/tmp/chart %1.csv").arg(i));
    recent.add(QStringLiteral("/tmp/chart 5.csv"));

    const QStringList paths = recent.paths();
    ASSERT_EQ(paths.size(), RecentDocuments::kMaximum);
    EXPECT_EQ(paths.first(), QStringLiteral("/tmp/chart 5.csv"));
    EXPECT_EQ(paths.at(1), QStringLiteral("/tmp/chart 12.csv"));
    EXPECT_EQ(paths.count(QStringLiteral("/tmp/chart 5.csv")), 1);
    EXPECT_FALSE(paths.contains(QStringLiteral("/tmp/chart 2.csv")));
    EXPECT_EQ(changed.count(), 13);

    // A second list over the same store (the next start of the program) sees the same entries.
    EXPECT_EQ(RecentDocuments(preferences).paths(), paths);
}

TEST(RecentDocuments, PathsWithOddCharactersSurviveTheStore)
{
    MemoryPreferences preferences;
    RecentDocuments recent(preferences);
    const QString odd = QStringLiteral("/tmp/a,\"b\"\n~c ü.csv");
    recent.add(odd);
    EXPECT_EQ(recent.paths(), QStringList{odd});

    preferences.setValue(RecentDocuments::key(), QStringLiteral("not json"));
    EXPECT_TRUE(recent.paths().isEmpty());
}
