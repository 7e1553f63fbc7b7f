// The table preview built on a thread of its own: the page it delivers, and which builds are
// allowed to deliver at all.
#include "TestFiles.h"
#include "convert/TablePreviewJob.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plotwell::convert;

namespace {

class PreviewJob : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &content)
    {
        return plotwell::testing::writeFile(m_dir.filePath(name), content);
    }
    /// A header and \a count records, with quoted commas and a ragged row among them.
    QString people(const QString &name, int count)
    {
        QByteArray text = "Name,\"City, Region\",Started\n";
        text.reserve(count * 40);
        for (int i = 1; i <= count; ++i) {
            text += "\"Person " + QByteArray::number(i) + "\",\"Town " +
                    QByteArray::number(i % 97) + ", North\"";
            text += i == 7 ? QByteArray("\n") : ",2024-" + QByteArray::number(i % 12 + 1) + "\n";
        }
        return write(name, text);
    }
    static ConversionSettings look(int width)
    {
        ConversionSettings settings;
        settings.htmlWidth = width;
        settings.appearance.fontFamily = QStringLiteral("Verdana");
        return settings;
    }
    /// The pages the job delivered, in order.
    static QStringList pages(const QSignalSpy &spy)
    {
        QStringList html;
        for (const QList<QVariant> &call : spy)
            html << call.at(0).value<TablePreview>().html;
        return html;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PreviewJob, DeliversThePageTheFileGivesWhateverItsSize)
{
    // Large enough to be read in many pieces; the count covers every record, the table only the
    // first hundred.
    const struct
    {
        QString path;
        qsizetype records;
        bool columns;
    } files[] = {
        {people(QStringLiteral("large.csv"), 300000), 300000, true},
        {people(QStringLiteral("few.csv"), 3), 3, true},
        {write(QStringLiteral("empty.csv"), {}), 0, false},
        {m_dir.filePath(QStringLiteral("missing.csv")), 0, false},
    };
    TablePreviewJob job;
    QSignalSpy finished(&job, &TablePreviewJob::finished);
    for (const auto &file : files) {
        SCOPED_TRACE(file.path.toStdString());
        finished.clear();
        job.start(file.path, look(865));
        EXPECT_TRUE(job.isPending());
        ASSERT_TRUE(finished.wait(60000));
        EXPECT_FALSE(job.isPending());
        const auto preview = finished.at(0).at(0).value<TablePreview>();
        EXPECT_EQ(preview.recordCount, file.records);
        EXPECT_EQ(preview.hasColumnNames, file.columns);
        // Exactly the page the window has always shown, built on the spot.
        EXPECT_EQ(preview.html, buildTablePreview(file.path, look(865)).html);
    }
}

TEST_F(PreviewJob, OnlyTheLatestBuildDeliversEvenWhenAnEarlierOneHadAlreadyFinished)
{
    const QString first = people(QStringLiteral("first.csv"), 50);
    const QString second = people(QStringLiteral("second.csv"), 2);
    TablePreviewJob job;
    QSignalSpy finished(&job, &TablePreviewJob::finished);

    // The first build ends and leaves its page on the way to the event loop; a newer request
    // arrives before the loop runs.
    job.start(first, look(700));
    job.waitForThreads();
    job.start(second, look(900));
    ASSERT_TRUE(finished.wait(30000));
    job.waitForThreads();
    QCoreApplication::processEvents();
    EXPECT_EQ(pages(finished), QStringList{buildTablePreview(second, look(900)).html});

    // A cancelled build delivers nothing, finished or not.
    finished.clear();
    job.start(first, look(700));
    job.waitForThreads();
    job.cancel();
    EXPECT_FALSE(job.isPending());
    QCoreApplication::processEvents();
    EXPECT_TRUE(finished.isEmpty());

    // Restarted at once, a large file being read gives way to the small one.
    job.start(people(QStringLiteral("large.csv"), 200000), look(700));
    job.start(second, look(640));
    ASSERT_TRUE(finished.wait(30000));
    job.waitForThreads();
    QCoreApplication::processEvents();
    EXPECT_EQ(pages(finished), QStringList{buildTablePreview(second, look(640)).html});
}
