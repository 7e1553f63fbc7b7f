#pragma once

#include "staff/Organisation.h"
#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"

#include <QDialog>
#include <QList>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace plotwell {

class ChartGrid;
class MasterViewController;

/// Shows how a staff list will be read: the column chosen for each role (a combo each, the
/// guess first), the first rows as a preview, how many people and which problems. Up to the
/// grid's rows the list is imported whole; above, the user draws the whole organisation in the
/// viewer or imports one department or one manager's branch that fits.
class StaffImportDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Choice { WholeInViewer, Part };

    StaffImportDialog(staff::StaffTable table, QWidget *parent = nullptr);

    [[nodiscard]] const staff::StaffColumns &columns() const { return m_columns; }
    [[nodiscard]] const staff::Organisation &organisation() const { return m_organisation; }
    /// The combo of a role: Name, Title, Manager or Department.
    [[nodiscard]] QComboBox *roleCombo(staff::StaffRole role) const;
    /// What to import or draw: the whole list, a department or a branch.
    [[nodiscard]] QComboBox *partCombo() const { return m_part; }

    /// The people the chosen part holds, in file order.
    [[nodiscard]] QList<int> chosenMembers() const;
    /// Whether the choice is to draw everyone in the viewer rather than fill the grid.
    [[nodiscard]] bool drawsInViewer() const;
    /// Puts the chosen people into \a grid; false (and the grid untouched) when they do not fit.
    bool importInto(ChartGrid &grid) const;

private:
    void rebuild();
    void fillParts();

    staff::StaffTable m_table;
    staff::StaffColumns m_columns;
    staff::Organisation m_organisation;
    std::array<QComboBox *, 4> m_roles{};
    QTableWidget *m_preview = nullptr;
    QLabel *m_summary = nullptr;
    QComboBox *m_part = nullptr;
    QPushButton *m_ok = nullptr;
};

/// Whether the file at \a path reads as a staff list: a header that names people and their
/// managers. A chart document or an ordinary table is not one.
[[nodiscard]] bool looksLikeStaffList(const QString &path);

/// File > Import Staff List… and a dropped staff list: the dialog, then the grid filled and
/// drawn, or the whole organisation drawn in the viewer.
void importStaffList(MasterViewController &view, QWidget *window, const QString &path);

/// File > Export > SVG…: the chart the viewer shows, as a standalone SVG file.
void exportViewerSvg(MasterViewController &view, QWidget *window);

/// The PNG or PDF export (\a suffix "png" or "pdf") of the whole organisation the viewer shows:
/// drawn off screen from its data as `plotwell render --staff` draws it (on A3 sheets when too
/// large for one PDF page, scaled to what the engine paints for a PNG), what happened said in an
/// alert.
void exportOrganisation(MasterViewController &view, QWidget *window, const QString &suffix);

} // namespace plotwell
