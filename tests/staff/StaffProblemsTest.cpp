// What a staff list can get wrong: each problem is listed by line, and nobody disappears.
#include "StaffTestSupport.h"
#include "staff/Organisation.h"

#include <gtest/gtest.h>

using namespace plotwell::staff;

namespace {

Organisation organisationOf(const QByteArray &bytes)
{
    const StaffTable table = readStaffTable(bytes);
    return buildOrganisation(table, guessColumns(table.header));
}

QString managerOf(const Organisation &organisation, const QString &name)
{
    for (const Person &p : organisation.people) {
        if (p.name == name)
            return p.manager >= 0 ? organisation.people[p.manager].name : QStringLiteral("-");
    }
    return QStringLiteral("missing");
}

} // namespace

TEST(StaffProblems, EachKindByLine)
{
    const struct
    {
        const char *what;
        QByteArray text;
        StaffProblem::Kind kind;
        int line;
        QList<int> otherLines;
        QString message;
        QStringList managers; // "name=manager" after the build, "-" at the top
    } cases[] = {
        {"manager that matches nobody",
         "Name,Title,Manager\nAnn,CEO,\nBob,Clerk,Ann\nCy,Clerk,Zed\n",
         StaffProblem::Kind::UnknownManager,
         4,
         {},
         "line 4: Cy's manager \"Zed\" matches nobody; Cy is drawn at the top",
         {"Ann=-", "Bob=Ann", "Cy=-"}},
        {"manager name shared by two people",
         "Name,Title,Manager\nAnn,CEO,\nSam Lee,Clerk,Ann\nKim,Clerk,sam lee\nSam Lee,Driver,Ann\n",
         StaffProblem::Kind::AmbiguousManager,
         4,
         {3, 5},
         "line 4: Kim's manager \"sam lee\" matches 2 people (lines 3, 5); Kim is drawn at the top",
         {"Ann=-", "Kim=-"}},
        {"an id shared by two people",
         "ID,Name,Manager ID\n7,Ann,\n8,Bob,7\n8,Cy,7\n9,Dee,8\n",
         StaffProblem::Kind::AmbiguousManager,
         5,
         {3, 4},
         "line 5: Dee's manager \"8\" matches 2 people (lines 3, 4); Dee is drawn at the top",
         {"Ann=-", "Bob=Ann", "Cy=Ann", "Dee=-"}},
        // The loop is cut above the one first in the file, whoever the walk starts from.
        {"loop of managers",
         "Name,Manager\nOut,Cy\nBob,Cy\nAnn,Bob\nCy,Ann\nDee,Ann\n",
         StaffProblem::Kind::ManagerLoop,
         3,
         {4, 5},
         "lines 3, 4, 5: Bob, Ann and Cy are managers of each other in a loop; Bob is drawn at "
         "the top, without their manager Cy",
         {"Out=Cy", "Bob=-", "Ann=Bob", "Cy=Ann", "Dee=Ann"}},
        {"own manager",
         "ID,Name,Manager\n1,Ann,1\n2,Bob,1\n",
         StaffProblem::Kind::ManagerLoop,
         2,
         {},
         "line 2: Ann's manager is Ann; drawn at the top",
         {"Ann=-", "Bob=Ann"}},
        {"row without a name",
         "ID,Name,Title,Manager\n1,Ann,CEO,\n2,,Vacant,1\n3,Bob,Clerk,2\n,,,\n",
         StaffProblem::Kind::NoName,
         3,
         {},
         "line 3: the row has no name; drawn as \"(no name)\"",
         {"Ann=-", "(no name)=Ann", "Bob=(no name)"}},
        // A character after a closing quote stops the parser; what came before is kept.
        {"text the parser cannot read",
         "Name,Manager\nAnn,\nBob,Ann\n\"Cy\"x,Ann\nDee,Ann\n",
         StaffProblem::Kind::Unreadable,
         4,
         {},
         "line 4: nothing from here on could be read: Unexpected delimiter. Expected ',' "
         "(0x2C), but got 'x' (0x78)",
         {"Ann=-", "Bob=Ann", "Cy=missing", "Dee=missing"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Organisation organisation = organisationOf(c.text);
        ASSERT_EQ(organisation.problems.size(), 1)
            << problemLines(organisation).join(u'\n').toStdString();
        const StaffProblem &problem = organisation.problems.first();
        EXPECT_EQ(problem.kind, c.kind);
        EXPECT_EQ(problem.line, c.line);
        EXPECT_EQ(problem.otherLines, c.otherLines);
        EXPECT_EQ(problemLines(organisation), QStringList{c.message});
        for (const QString &pair : c.managers) {
            const QStringList parts = pair.split(u'=');
            EXPECT_EQ(managerOf(organisation, parts[0]), parts[1]) << pair.toStdString();
        }
    }
}

TEST(StaffProblems, SeveralAtOnceInLineOrderAndEveryoneKept)
{
    const QByteArray text = "Name,Manager\n"
                            "A,C\n"         // 2: loop A-B-C, cut at A
                            ",A\n"          // 3: no name
                            "B,A\n"         // 4
                            "C,B\n"         // 5
                            "D,Nobody\n"    // 6: unknown
                            "E,E\n"         // 7: own manager
                            "F,Lee\\, X\n"; // 8: unknown (the backslash is no CSV escape)
    const Organisation organisation = organisationOf(text);
    EXPECT_EQ(organisation.people.size(), 7);
    QList<int> lines;
    QList<StaffProblem::Kind> kinds;
    for (const StaffProblem &p : organisation.problems) {
        lines << p.line;
        kinds << p.kind;
    }
    EXPECT_EQ(lines, QList<int>({2, 3, 6, 7, 8}));
    using K = StaffProblem::Kind;
    EXPECT_EQ(kinds, QList<K>({K::ManagerLoop, K::NoName, K::UnknownManager, K::ManagerLoop,
                               K::UnknownManager}));
    EXPECT_EQ(organisation.roots(), QList<int>({0, 4, 5, 6}));
}
