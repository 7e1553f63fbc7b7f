// Staff lists in the shapes HR tools, directories and spreadsheets export, read person by person.
#include "StaffTestSupport.h"
#include "staff/Organisation.h"
#include "staff/StaffTable.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace plotwell::staff;

namespace {

struct Seen
{
    QString name;
    QString title;
    QString manager; // "" at the top
    bool operator==(const Seen &) const = default;
};

void PrintTo(const Seen &s, std::ostream *os)
{
    *os << "{" << s.name.toStdString() << " | " << s.title.toStdString() << " | "
        << s.manager.toStdString() << "}";
}

QList<Seen> seen(const Organisation &organisation)
{
    QList<Seen> out;
    for (const Person &p : organisation.people)
        out.append(
            {p.name, p.title, p.manager >= 0 ? organisation.people[p.manager].name : QString()});
    return out;
}

Organisation organisationOf(const QByteArray &bytes, StaffTable *tableOut = nullptr)
{
    const StaffTable table = readStaffTable(bytes);
    if (tableOut)
        *tableOut = table;
    return buildOrganisation(table, guessColumns(table.header));
}

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom
                                          : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

const QString kHrText = QStringLiteral("Employee Name,Job Title,Reports To\n"
                                       "Ann Lee,Chief Executive,\n"
                                       "Bob Stone,Finance Director,Ann Lee\n"
                                       "\"Cruz, Dana\",Accountant,Bob Stone\n"
                                       "Eve Park,\"Engineer, \"\"Platform\"\"\",ann  lee\n"
                                       "Finn Moss,Intern,\"Stone, Bob\"\n");
const QList<Seen> kHrPeople = {
    {"Ann Lee", "Chief Executive", ""},        {"Bob Stone", "Finance Director", "Ann Lee"},
    {"Cruz, Dana", "Accountant", "Bob Stone"}, {"Eve Park", "Engineer, \"Platform\"", "Ann Lee"},
    {"Finn Moss", "Intern", "Bob Stone"},
};

struct Shape
{
    const char *what;
    QByteArray bytes;
    QChar delimiter;
    plotwell::csv::CsvEncoding encoding;
    bool mark;
    QList<Seen> people;
};

QList<Shape> shapes()
{
    const QList<Seen> directoryPeople = {
        {"Ann Lee", "CEO", ""},
        {"Bob Stone", "CFO", "Ann Lee"},
        {"Cruz, Dana", "Controller", "Bob Stone"},
        {"Gil Ortiz", "Analyst", "Cruz, Dana"},
        {"Hana Ito", "Assistant", "Ann Lee"},
        {"Jörg Ra", "Auditor", "Bob Stone"},
        {"Ida Moe", "Clerk", "Jörg Ra"},
    };
    const QList<Seen> spreadsheetPeople = {
        {"Ann Lee", "Managing Director", ""},       {"Bob Stone", "Head of Sales", "Ann Lee"},
        {"Dana Cruz", "Sales, North", "Bob Stone"}, {"Émile Roy", "Sales, South", "Bob Stone"},
        {"Zoë Hart", "Engineer", "Ann Lee"},
    };
    return {
        {"HR export", kHrText.toUtf8(), u',', plotwell::csv::CsvEncoding::Utf8, false, kHrPeople},
        {"directory with distinguished names",
         QStringLiteral("cn,title,department,mail,reports_to\n"
                        "Ann Lee,CEO,Board,ann@example.com,\n"
                        "Bob Stone,CFO,Finance,bob@example.com,\"CN=Ann "
                        "Lee,OU=Board,DC=example,DC=com\"\n"
                        "\"Cruz, Dana\",Controller,Finance,dana@example.com,\"CN=Bob "
                        "Stone,OU=Finance,DC=example,DC=com\"\n"
                        "Gil Ortiz,Analyst,Finance,gil@example.com,\"cn=Cruz\\, "
                        "Dana,OU=Finance,DC=example,DC=com\"\n"
                        "Hana Ito,Assistant,Board,hana@example.com,ANN@example.com\n"
                        "Jörg Ra,Auditor,Finance,jorg@example.com,CN=Bob Stone\n"
                        "Ida Moe,Clerk,Finance,ida@example.com,\"CN=J\\C3\\B6rg "
                        "Ra,OU=Finance,DC=example,DC=com\"\n")
             .toUtf8(),
         u',', plotwell::csv::CsvEncoding::Utf8, false, directoryPeople},
        {"semicolon spreadsheet with a mark and CR LF",
         encoded(QStringLiteral("ID; Name; Position; Manager ID\r\n"
                                "1;Ann Lee;Managing Director;\r\n"
                                "2;Bob Stone;Head of Sales;1\r\n"
                                "3;Dana Cruz;Sales, North;2\r\n"
                                "4;Émile Roy;Sales, South; 2\r\n"
                                "5;Zoë Hart;Engineer;1\r\n"),
                 QStringConverter::Utf8, true),
         u';', plotwell::csv::CsvEncoding::Utf8, true, spreadsheetPeople},
        {"tab-separated, first and last names",
         QByteArray("Staff ID\tFirst Name\tLast Name\tRole\tSupervisor\tDept\n"
                    "s1\tAnn\tLee\tManaging Director\t\tBoard\n"
                    "s2\tBob\tStone\tHead of Sales\ts1\tSales\n"
                    "s3\tDana\tCruz\tSales, North\tS2\tSales\n"),
         u'\t',
         plotwell::csv::CsvEncoding::Utf8,
         false,
         {{"Ann Lee", "Managing Director", ""},
          {"Bob Stone", "Head of Sales", "Ann Lee"},
          {"Dana Cruz", "Sales, North", "Bob Stone"}}},
        // "…" is byte 0x85, a line break if the file were taken for Latin-1.
        {"Windows-1252 with pipes",
         QByteArray("Full Name|Function|Manager|E-mail\n"
                    "Jos\xE9 N\xFA\xF1"
                    "ez|Directeur \x96 R&D\x85||jose@example.com\n"
                    "Fran\xE7oise C\xF4t\xE9|Contr\xF4leuse \x80|jose@example.com|fc@example.com\n"
                    "\x8C"
                    "dipe \x8Aimek|Stagiaire|Fran\xE7oise C\xF4t\xE9|\n"),
         u'|',
         plotwell::csv::CsvEncoding::Windows1252,
         false,
         {{"José Núñez", "Directeur – R&D…", ""},
          {"Françoise Côté", "Contrôleuse €", "José Núñez"},
          {"Œdipe Šimek", "Stagiaire", "Françoise Côté"}}},
        {"UTF-16 little-endian", encoded(kHrText, QStringConverter::Utf16LE, true), u',',
         plotwell::csv::CsvEncoding::Utf16LE, true, kHrPeople},
        {"UTF-16 without a mark", encoded(kHrText, QStringConverter::Utf16LE, false), u',',
         plotwell::csv::CsvEncoding::Utf16LE, false, kHrPeople},
    };
}

} // namespace

TEST(StaffShapes, EveryPersonGetsTheirManagerAndTitle)
{
    for (const Shape &shape : shapes()) {
        SCOPED_TRACE(shape.what);
        StaffTable table;
        const Organisation organisation = organisationOf(shape.bytes, &table);
        EXPECT_EQ(table.delimiter, shape.delimiter);
        EXPECT_EQ(table.encoding, shape.encoding);
        EXPECT_EQ(table.byteOrderMark, shape.mark);
        EXPECT_EQ(seen(organisation), shape.people);
        EXPECT_EQ(problemLines(organisation), QStringList());
        for (const Person &p : organisation.people)
            EXPECT_EQ(p.line, p.index + 2) << p.name.toStdString();
    }
}

TEST(StaffShapes, WindowsTextLateInAnOtherwiseAsciiFile)
{
    // The CSV parser decides from its first step; a staff list is judged whole.
    QString text = QStringLiteral("Name,Title,Manager\nAnn Lee,Boss,\n");
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("Person %1,Clerk,Ann Lee\n").arg(i);
    text += QStringLiteral("Renée Dupré,Clerk,Ann Lee\n");
    const StaffTable table = readStaffTable(text.toLatin1()); // é is the same byte
    EXPECT_EQ(table.encoding, plotwell::csv::CsvEncoding::Windows1252);
    ASSERT_FALSE(table.records.isEmpty());
    EXPECT_EQ(table.records.last().fields.first(), "Renée Dupré");
}

TEST(StaffReading, LinesCountBlankLinesAndBreaksInsideQuotes)
{
    // A blank first line is a record to the parser (of one empty field), not the header.
    const QByteArray text =
        "\r\n,\nName,Manager\r\n\r\nAnn,\r\n\"Bob\nStone\",Ann\n\n\nCy,Ann\rDee,Cy";
    const StaffTable table = readStaffTable(text);
    ASSERT_EQ(table.header, QStringList({"Name", "Manager"}));
    QList<int> lines;
    for (const StaffRecord &r : table.records)
        lines << r.line;
    EXPECT_EQ(lines, QList<int>({5, 6, 10, 11}));

    const StaffTable plain = readStaffTable("Name,Manager\n\nAnn,\n\"Bob\r\nStone\",Ann\n\nCy,Ann");
    lines.clear();
    for (const StaffRecord &r : plain.records)
        lines << r.line;
    EXPECT_EQ(lines, QList<int>({3, 4, 7}));
    EXPECT_EQ(plain.records[1].fields[0], "Bob\r\nStone");
}

TEST(StaffReading, DelimiterFromTheHeaderWords)
{
    const struct
    {
        QByteArray text;
        QChar delimiter;
    } cases[] = {
        // Distinguished names bring commas to every data line of a semicolon file.
        {"Name;Manager\nAnn;\nBob;CN=Ann,OU=Staff,DC=x\n", u';'},
        {"Name|Title|Manager\nAnn|Boss, Chief|\n", u'|'},
        {"Name\tTitle, long\tManager\nAnn\tBoss\t\n", u'\t'},
        {"Name,Title;Note,Manager\nAnn,Boss;x,\n", u','},
        // No known words: the delimiter that keeps the records as wide as the header.
        {"a;b;c\n1;2;3\n4;5;6\n", u';'},
        {"just one column\nAnn\n", u','},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readStaffTable(c.text).delimiter, c.delimiter) << c.text.toStdString();
}

TEST(StaffReading, ColumnGuessesAndOverrides)
{
    const auto roles = [](const QStringList &header) {
        const StaffColumns c = guessColumns(header);
        return QList<int>(c.columns.begin(), c.columns.end());
    };
    // Name, first, last, title, manager, id, email, department
    EXPECT_EQ(roles({"Employee Name", "Job Title", "Reports To"}),
              QList<int>({0, -1, -1, 1, 2, -1, -1, -1}));
    EXPECT_EQ(roles({"cn", "title", "department", "mail", "reports_to"}),
              QList<int>({0, -1, -1, 1, 4, -1, 3, 2}));
    EXPECT_EQ(roles({"E-Mail", "Given_Name", "LAST NAME", "Manager E-mail", "Dept.", "Staff ID"}),
              QList<int>({-1, 1, 2, -1, 3, 5, 0, 4}));
    EXPECT_EQ(roles({"Display Name", "First Name", "Function", "Supervisor", "Parent"}),
              QList<int>({0, -1, -1, 2, 3, -1, -1, -1}));
    EXPECT_EQ(roles({"Notes", "Salary"}), QList<int>(8, -1));

    const QStringList header = {"Employee Name", "Nickname", "Job Title", "Reports To", "Boss"};
    EXPECT_EQ(findColumn(header, u"nick name"), 1);
    EXPECT_EQ(findColumn(header, u"5"), 4);
    EXPECT_EQ(findColumn(header, u"6"), -1);
    EXPECT_EQ(findColumn(header, u"Salary"), -1);

    const StaffTable table =
        readStaffTable("Employee Name,Nickname,Job Title,Reports To,Boss\n"
                       "Ann Lee,Annie,CEO,,\nBob Stone,Bobby,CFO,Nobody,Annie\n");
    StaffColumns columns = guessColumns(table.header);
    columns.setNameColumn(findColumn(table.header, u"Nickname"));
    columns.setColumn(StaffRole::Manager, findColumn(table.header, u"Boss"));
    EXPECT_EQ(seen(buildOrganisation(table, columns)),
              QList<Seen>({{"Annie", "CEO", ""}, {"Bobby", "CFO", "Annie"}}));
}

TEST(StaffReading, CommonNameOfADistinguishedName)
{
    EXPECT_EQ(commonName(u"CN=Lee\\, Ann,OU=Staff"), "Lee, Ann");
    EXPECT_EQ(commonName(u" cn = Ann Lee + uid=7"), "Ann Lee");
    EXPECT_EQ(commonName(u"CN=J\\C3\\B6rg\\2C Ra\\\\x"), "Jörg, Ra\\x");
    EXPECT_EQ(commonName(u"OU=Staff,CN=Ann"), std::nullopt);
    EXPECT_EQ(commonName(u"Cnut the Great"), std::nullopt);
}

TEST(StaffReading, GeneratedTenThousand)
{
    const test::GeneratedStaff staff = test::generateStaff(10000);
    ASSERT_GE(staff.depth, 6);
    ASSERT_GE(staff.widestTeam, 100);
    const Organisation organisation = organisationOf(staff.csv);
    EXPECT_EQ(problemLines(organisation), QStringList());
    ASSERT_EQ(organisation.people.size(), 10000);
    int checked = 0;
    for (const Person &p : organisation.people) {
        const QString managerId = p.manager >= 0 ? organisation.people[p.manager].id : QString();
        ASSERT_EQ(managerId, staff.managerIdOf.value(p.id)) << p.id.toStdString();
        ASSERT_EQ(p.title, staff.titleOf.value(p.id)) << p.id.toStdString();
        ASSERT_EQ(p.line, p.index + 2);
        ++checked;
    }
    EXPECT_EQ(checked, staff.managerIdOf.size());
}
