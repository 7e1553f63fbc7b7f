#pragma once

#include "model/ChartGrid.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>
#include <utility>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace plotwell {

class ChartEditor;
struct EditResult;

/// A small square showing a colour.
class SwatchView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSide = 16;
    explicit SwatchView(QWidget *parent = nullptr);
    void setColour(const QColor &colour);
    [[nodiscard]] QColor colour() const { return m_colour; }
    [[nodiscard]] QSize sizeHint() const override { return {kSide, kSide}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};

/// The width at which \a field shows any colour text ("#RRGGBB") whole, in its own font, frame
/// and padding.
[[nodiscard]] int colourFieldWidth(QLineEdit &field);

/// One line of the grid table: number, title, the parent's name (read-only), position, the
/// colour's swatch, hex text and picker button, and SELECT.
struct GridRowWidgets
{
    QWidget *container = nullptr;
    QLabel *number = nullptr;
    QLineEdit *title = nullptr;
    QLineEdit *parent = nullptr;
    QPushButton *select = nullptr;
    QComboBox *position = nullptr;
    SwatchView *swatch = nullptr;
    QLineEdit *hex = nullptr;
    QToolButton *picker = nullptr;

    /// What Tab stops at, in the order the row shows them.
    [[nodiscard]] std::array<QWidget *, 6> tabStops() const;
};

/// What can be done to the current row, from its context menu, the Edit menu or the keyboard.
enum class RowAction { InsertAbove, InsertBelow, Delete, MoveUp, MoveDown };

/// The 93 rows as a table of compact lines under one header, bound to the ChartGrid: the fields
/// show the model, and the user's edits go through the ChartEditor, so each is one undo step.
/// A title is committed by Return (which moves on to the next row, as in a spreadsheet) or by
/// leaving its field. Rows are rearranged from their context menu, the Edit menu, or by dragging
/// a row by its number.
class GridView : public QWidget
{
    Q_OBJECT
public:
    GridView(ChartGrid &grid, ChartEditor &editor, QWidget *parent = nullptr);

    /// The widgets of \a row. A row's widgets are built when first needed (see the constructor):
    /// asking for them builds them, and the rows above, into the table.
    [[nodiscard]] const GridRowWidgets &row(int row) const;
    /// Whether \a row's widgets exist yet; unlike row(), builds nothing.
    [[nodiscard]] bool isRowBuilt(int row) const { return row >= 1 && row <= m_rowsBuilt; }
    /// Builds the rows whose lines begin above \a y (in this widget): what a scroll area shows
    /// down to there is in place before it paints.
    void showRowsReaching(int y);
    /// The height of one row line.
    [[nodiscard]] static int rowHeight();
    /// Greys the per-row colours while the chart paints every node in the item colour.
    void setRowColoursActive(bool active);

    /// The row the user works in (the last one focused, clicked or selected), 0 before any.
    [[nodiscard]] int currentRow() const { return m_current; }
    /// Makes \a row current and puts the keyboard in its title, as a click on a chart box or a
    /// problem does.
    void selectRow(int row);

    /// The actions offered by each row's context menu: the Edit menu's items, so the menu and
    /// the keyboard shortcuts are the same ones.
    void setRowActions(const QList<QAction *> &actions);
    /// Runs \a action on the current row. False when it changed nothing.
    bool runRowAction(RowAction action);
    /// Moves row \a from to index \a to, as dropping a dragged row does.
    bool moveRow(int from, int to);

    /// The mime type of a dragged row; its data is the row number.
    static constexpr const char *kRowMimeType = "application/x-plotwell-row";

Q_SIGNALS:
    /// A row's SELECT button: the item picker opens for that row.
    void selectClicked(int row);
    /// The keyboard in a row's parent field asked for its chooser: the item picker opens
    /// searching for the letters typed (none for Space, Return or Alt+Down).
    void parentTyped(int row, const QString &text);
    /// A row's colour picker button.
    void pickerClicked(int row);
    /// The current row changed; the row actions follow it.
    void currentRowChanged(int row);
    /// The line of \a row should be scrolled into view.
    void rowShown(QWidget *line);
    /// An edit was refused; \a message says why, for the user.
    void editRefused(const QString &message);
    /// The widgets of \a row were just built: what they show beyond the grid's fields (the
    /// swatch's colour) is theirs to set now.
    void rowBuilt(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void measureColumns();
    QWidget *buildHeader();
    /// The colour column's title spans the row's swatch, text and picker.
    void alignHeader();
    void buildRow(int row);
    /// The settings of the whole table that a row built later takes on.
    void showRowColoursActive(const GridRowWidgets &w);
    void focusLastRowFromBelow();
    void showParent(int row);
    void showPosition(int row);
    void showField(int row, RowField field);
    void commitTitle(int row);
    /// A list on the clipboard pasted into \a row's title fills that row and those below as one
    /// step (true); a single line is left to the field to paste (false).
    bool pasteList(int row);
    void setCurrentRow(int row);
    /// The row a widget belongs to, 0 for none.
    [[nodiscard]] int rowOf(const QObject *object) const;
    void showRowMenu(int row, const QPoint &globalPos, QLineEdit *field);
    /// Where a row dragged from \a from and dropped at \a y (in this widget) lands: its new
    /// index, and the y of the gap it goes into.
    [[nodiscard]] std::pair<int, int> dropPlace(int y, int from) const;
    void updateRowActions();
    /// Builds the rows up to \a last that are not built yet into the table.
    void showRowsUpTo(int last);
    void startRowDrag(int row);
    bool done(const EditResult &result);

    ChartGrid &m_grid;
    ChartEditor &m_editor;
    int m_positionWidth = 0;
    int m_hexWidth = 0;
    QLabel *m_colourTitle = nullptr;
    std::array<GridRowWidgets, kRowCount> m_rows;
    QList<QPointer<QAction>> m_rowActions;
    int m_current = 0;
    /// Rows 1 to m_rowsBuilt have their widgets, in the table; the others have none yet.
    int m_rowsBuilt = 0;
    bool m_rowColoursActive = true;
    QPoint m_pressAt;
    int m_pressRow = 0;
    /// While a row is dragged over the table: the line where it would land.
    QWidget *m_dropMarker = nullptr;
};

} // namespace plotwell
