#include "staff/StaffColumns.h"

#include <QHash>

namespace plotwell::staff {

namespace {

struct RoleWords
{
    StaffRole role;
    QStringList keys; // in order of preference, already in headerKey form
};

// Whole-name columns are settled before first and last names, and the manager's words before
// the plain id, email and name words they contain.
const QList<RoleWords> &roleWords()
{
    static const QList<RoleWords> words = {
        {StaffRole::Manager,
         {"manager", "reportsto", "supervisor", "parent", "managerid", "manageremail",
          "managername"}},
        {StaffRole::Name, {"name", "fullname", "employeename", "displayname", "cn"}},
        {StaffRole::FirstName, {"firstname", "givenname"}},
        {StaffRole::LastName, {"lastname", "surname", "familyname", "sn"}},
        {StaffRole::Title, {"title", "jobtitle", "position", "role", "function"}},
        {StaffRole::Id, {"id", "employeeid", "staffid"}},
        {StaffRole::Email, {"email", "mail", "emailaddress"}},
        {StaffRole::Department, {"department", "dept"}},
    };
    return words;
}

} // namespace

bool StaffColumns::hasName() const
{
    return column(StaffRole::Name) >= 0 || column(StaffRole::FirstName) >= 0 ||
           column(StaffRole::LastName) >= 0;
}

void StaffColumns::setNameColumn(int column)
{
    setColumn(StaffRole::Name, column);
    setColumn(StaffRole::FirstName, -1);
    setColumn(StaffRole::LastName, -1);
}

QString headerKey(QStringView word)
{
    QString key;
    key.reserve(word.size());
    for (const QChar c : word) {
        if (c.isSpace() || c == u'_' || c == u'-' || c == u'.')
            continue;
        key += c.toLower();
    }
    return key;
}

StaffColumns guessColumns(const QStringList &header)
{
    QHash<QString, int> firstColumnOf; // right to left, so the left-most column stays
    for (int i = int(header.size()) - 1; i >= 0; --i)
        firstColumnOf.insert(headerKey(header.at(i)), i);

    StaffColumns guess;
    QList<bool> taken(header.size(), false);
    for (const RoleWords &words : roleWords()) {
        if ((words.role == StaffRole::FirstName || words.role == StaffRole::LastName) &&
            guess.column(StaffRole::Name) >= 0)
            continue;
        for (const QString &key : words.keys) {
            const int column = firstColumnOf.value(key, -1);
            if (column >= 0 && !taken[column]) {
                guess.setColumn(words.role, column);
                taken[column] = true;
                break;
            }
        }
    }
    return guess;
}

int findColumn(const QStringList &header, QStringView text)
{
    const QString key = headerKey(text);
    for (int i = 0; i < header.size(); ++i) {
        if (headerKey(header.at(i)) == key)
            return i;
    }
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (isNumber && number >= 1 && number <= header.size())
        return number - 1;
    return -1;
}

} // namespace plotwell::staff
