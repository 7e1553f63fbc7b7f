#include "ui/StaffImportDialog.h"

#include "export/ExportController.h"
#include "model/ChartEditor.h"
#include "model/ChartGrid.h"
#include "platform/Alerts.h"
#include "platform/ChartViewer.h"
#include "platform/FilePanels.h"
#include "render/ViewerLoader.h"
#include "shell/ChartWorkspace.h"
#include "shell/ShellController.h"
#include "staff/StaffChart.h"
#include "ui/MasterViewController.h"
#include "ui/OrganisationFile.h"
#include "ui/WorkCard.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace plotwell {

namespace {

using staff::StaffRole;

constexpr int kPreviewRows = 5;
// A list of every manager of a large organisation would be longer than anyone reads.
constexpr int kMostBranches = 200;
constexpr StaffRole kChosenRoles[] = {StaffRole::Name, StaffRole::Title, StaffRole::Manager,
                                      StaffRole::Department};
const char *const kRoleLabels[] = {"Name:", "Job title:", "Manager:", "Department:"};

enum PartKind { Everyone, Department, Branch };

} // namespace

StaffImportDialog::StaffImportDialog(staff::StaffTable table, QWidget *parent)
    : QDialog(parent), m_table(std::move(table)), m_columns(staff::guessColumns(m_table.header))
{
    setWindowTitle(QStringLiteral("Import Staff List"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    for (std::size_t i = 0; i < m_roles.size(); ++i) {
        auto *combo = new QComboBox(this);
        combo->addItem(QStringLiteral("(none)"), -1);
        for (int c = 0; c < m_table.header.size(); ++c)
            combo->addItem(m_table.header[c], c);
        // First and last name columns joined show as no single name column.
        combo->setCurrentIndex(combo->findData(m_columns.column(kChosenRoles[i])));
        connect(combo, &QComboBox::currentIndexChanged, this, [this, i, combo] {
            const int column = combo->currentData().toInt();
            if (kChosenRoles[i] == StaffRole::Name)
                m_columns.setNameColumn(column);
            else
                m_columns.setColumn(kChosenRoles[i], column);
            rebuild();
        });
        m_roles[i] = combo;
        form->addRow(QString::fromLatin1(kRoleLabels[i]), combo);
    }
    layout->addLayout(form);

    m_preview = new QTableWidget(int(std::min<qsizetype>(kPreviewRows, m_table.records.size())),
                                 int(m_table.header.size()), this);
    m_preview->setHorizontalHeaderLabels(m_table.header);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < m_preview->rowCount(); ++r) {
        const QStringList &fields = m_table.records[r].fields;
        for (int c = 0; c < fields.size() && c < m_preview->columnCount(); ++c)
            m_preview->setItem(r, c, new QTableWidgetItem(fields[c]));
    }
    m_preview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A few short columns fill the table's width rather than leave a blank band beside them.
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_preview->setAlternatingRowColors(true);
    m_preview->setMinimumWidth(560);
    m_preview->setMaximumHeight(180);
    layout->addWidget(m_preview);

    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);
    m_part = new QComboBox(this);
    layout->addWidget(m_part);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_part, &QComboBox::currentIndexChanged, this, [this] {
        m_ok->setText(drawsInViewer() ? QStringLiteral("Draw in Viewer")
                                      : QStringLiteral("Import"));
    });
    layout->addWidget(buttons);
    rebuild();
}

QComboBox *StaffImportDialog::roleCombo(StaffRole role) const
{
    const auto *at = std::find(std::begin(kChosenRoles), std::end(kChosenRoles), role);
    return at == std::end(kChosenRoles) ? nullptr : m_roles[std::size_t(at - kChosenRoles)];
}

void StaffImportDialog::rebuild()
{
    m_organisation =
        m_columns.hasName() ? staff::buildOrganisation(m_table, m_columns) : staff::Organisation{};
    const QStringList problems = staff::problemLines(m_organisation);
    QString text;
    if (!m_columns.hasName())
        text = QStringLiteral("Choose the column that holds the names.");
    else
        text = QStringLiteral("%1 people").arg(m_organisation.people.size());
    if (m_organisation.people.size() > kRowCount)
        text += QStringLiteral(": the grid holds %1. Draw the whole organisation in the viewer "
                               "(read-only, searchable, exportable) or import one part that fits.")
                    .arg(kRowCount);
    if (!problems.isEmpty()) {
        text += QStringLiteral("\n%1 problem(s):\n").arg(problems.size()) +
                problems.mid(0, 4).join(u'\n');
        if (problems.size() > 4)
            text += QStringLiteral("\n\u2026");
    }
    m_summary->setText(text);
    fillParts();
}

void StaffImportDialog::fillParts()
{
    m_part->clear();
    const int count = int(m_organisation.people.size());
    if (count == 0) {
        m_ok->setEnabled(false);
        m_part->setVisible(false);
        return;
    }
    m_ok->setEnabled(true);
    m_part->setVisible(count > kRowCount);
    m_part->addItem(
        count > kRowCount
            ? QStringLiteral("The whole organisation in the viewer (%1 people)").arg(count)
            : QStringLiteral("Everyone (%1 people)").arg(count),
        QVariantList{Everyone, QString()});
    if (count <= kRowCount)
        return;
    for (const staff::DepartmentSize &d : staff::departments(m_organisation)) {
        if (d.people <= kRowCount && !d.name.isEmpty())
            m_part->addItem(QStringLiteral("Department %1 (%2 people)").arg(d.name).arg(d.people),
                            QVariantList{Department, d.name});
    }
    // Branches that fit, largest first.
    const QList<QList<int>> reports = m_organisation.reports();
    QList<std::pair<int, int>> branches; // size, person
    QList<int> sizes(count, 1);
    const QList<int> order = staff::chartOrder(m_organisation, staff::everyone(m_organisation));
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        for (const int report : reports[*it])
            sizes[*it] += sizes[report];
        if (!reports[*it].isEmpty() && sizes[*it] <= kRowCount)
            branches.append({sizes[*it], *it});
    }
    std::stable_sort(branches.begin(), branches.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (qsizetype i = 0; i < branches.size() && i < kMostBranches; ++i) {
        const staff::Person &p = m_organisation.people[branches[i].second];
        m_part->addItem(
            QStringLiteral("Branch of %1 (%2 people)").arg(p.name).arg(branches[i].first),
            QVariantList{Branch, branches[i].second});
    }
}

bool StaffImportDialog::drawsInViewer() const
{
    return m_organisation.people.size() > kRowCount && m_part->currentIndex() == 0;
}

QList<int> StaffImportDialog::chosenMembers() const
{
    const QVariantList part = m_part->currentData().toList();
    switch (part.value(0).toInt()) {
    case Department:
        return staff::departmentMembers(m_organisation, part.value(1).toString());
    case Branch:
        return staff::branchMembers(m_organisation, part.value(1).toInt());
    default:
        return staff::everyone(m_organisation);
    }
}

bool StaffImportDialog::importInto(ChartGrid &grid) const
{
    return staff::fillGrid(grid, m_organisation, staff::chartOrder(m_organisation, chosenMembers()))
        .filled;
}

bool looksLikeStaffList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The header is all it takes: a few kilobytes hold it.
    QByteArray head = file.read(64 * 1024);
    const qsizetype lineEnd = head.indexOf('\n');
    if (lineEnd >= 0)
        head.truncate(lineEnd + 1);
    const staff::StaffTable table = staff::readStaffTable(head);
    const staff::StaffColumns columns = staff::guessColumns(table.header);
    return columns.hasName() && columns.column(StaffRole::Manager) >= 0;
}

void importStaffList(MasterViewController &view, QWidget *window, const QString &path)
{
    const AppContext context = view.workspace().context();
    QString file = path;
    if (file.isEmpty())
        file = context.filePanels
                   .chooseOpenPath(
                       {QStringLiteral("Staff lists"),
                        {QStringLiteral("csv"), QStringLiteral("tsv"), QStringLiteral("txt")}})
                   .value_or(QString());
    if (file.isEmpty())
        return;
    QString error;
    std::optional<staff::StaffTable> table = staff::readStaffFile(file, &error);
    if (!table) {
        context.alerts.runModal({QStringLiteral("The staff list could not be read."),
                                 error,
                                 {},
                                 AlertSpec::Style::Warning});
        return;
    }
    StaffImportDialog dialog(std::move(*table), window);
    dialog.setWindowTitle(QStringLiteral("Import %1").arg(QFileInfo(file).fileName()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const staff::Organisation &organisation = dialog.organisation();
    if (dialog.drawsInViewer()) {
        view.workspace().loader().loadWebViewByScript(
            staff::staffDataString(organisation,
                                   staff::chartOrder(organisation, staff::everyone(organisation))),
            int(organisation.people.size()));
        return;
    }
    if (!view.documents().mayReplaceChart(
            QStringLiteral("Do you want to save the chart before importing \"%1\"?")
                .arg(QFileInfo(file).fileName())))
        return;
    // One step of the edit history: Undo takes the whole import back.
    bool imported = false;
    view.workspace().editor().record(QStringLiteral("Import Staff List"),
                                     [&] { imported = dialog.importInto(view.grid()); });
    if (!imported)
        return;
    view.shell().resizeWebView();
    // The organisation the user just chose is what they came to see.
    view.submitData();
}

void exportOrganisation(MasterViewController &view, QWidget *window, const QString &suffix)
{
    const std::optional<QString> &data = view.workspace().loader().organisationShown();
    if (!data)
        return;
    const AppContext context = view.workspace().context();
    // One at a time: each draws the whole organisation again in a page of its own.
    if (view.exportCard().isVisible()) {
        context.alerts.runModal({QStringLiteral("An export of the organisation is under way."),
                                 QStringLiteral("Wait for it to finish, or cancel it, before "
                                                "exporting again."),
                                 {},
                                 AlertSpec::Style::Informational});
        return;
    }
    const std::optional<QString> path =
        context.filePanels.chooseSavePath({{suffix},
                                           QStringLiteral("organisation.") + suffix,
                                           QStringLiteral("Export %1").arg(suffix.toUpper())});
    if (!path)
        return;
    auto *file = new OrganisationFile(*data, *path, QString(), window);
    auto notes = std::make_shared<QStringList>();
    file->noted = [notes](const QString &note) { *notes << note; };
    // Tens of thousands of people take many seconds: the card says what is written and, for
    // sheets of paper, how many are printed, and Cancel stops before anything is written.
    WorkCard &card = view.exportCard();
    const QString name = QFileInfo(*path).fileName();
    file->progressed = [&card, name](int done, int of) {
        card.showWork(of > 0 ? QStringLiteral("Exporting %1: %2 of %3 sheets printed…")
                                   .arg(name)
                                   .arg(done)
                                   .arg(of)
                             : QStringLiteral("Exporting %1…").arg(name),
                      done, of);
    };
    card.offerCancel([file] { file->cancel(); });
    Alerts *alerts = &context.alerts;
    file->finished = [file, notes, alerts, &card](const QString &problem) {
        file->deleteLater();
        card.finish();
        if (file->cancelled())
            return;
        if (!problem.isEmpty()) {
            alerts->runModal({QStringLiteral("The organisation could not be exported."),
                              problem,
                              {},
                              AlertSpec::Style::Warning});
        } else if (!notes->isEmpty()) {
            // Said once it is written: the user asked for a file and should hear how it came out.
            alerts->runModal({QStringLiteral("The organisation was exported."),
                              notesAsSentences(*notes),
                              {},
                              AlertSpec::Style::Informational});
        }
    };
    file->start();
}

void exportViewerSvg(MasterViewController &view, QWidget *window)
{
    // The same panel as the other pictures: the chart's name proposed, in the pictures folder.
    const std::optional<QString> chosen =
        view.workspace().context().filePanels.chooseSavePath({{QStringLiteral("svg")},
                                                              view.workspace().proposedExportName(),
                                                              QStringLiteral("Export SVG")});
    if (!chosen)
        return;
    const QString path = *chosen;
    view.workspace().loader().webView().evaluate(
        QStringLiteral("window.Orgchart && Orgchart.standaloneSvg ? "
                       "Orgchart.standaloneSvg(document) : ''"),
        [window, path](const QString &svg) {
            QSaveFile file(path);
            if (svg.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(svg.toUtf8()) < 0 ||
                !file.commit())
                QMessageBox::warning(window, QStringLiteral("Export SVG"),
                                     svg.isEmpty() ? QStringLiteral("There is no chart to export.")
                                                   : file.errorString());
        });
}

} // namespace plotwell
