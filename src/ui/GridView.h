#pragma once

#include "model/ChartGrid.h"

#include <QColor>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace plotwell {

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

/// One line of the grid table: number, title, the parent's name (read-only), position, the
/// colour's swatch, hex text and picker button, and SELECT.
struct GridRowWidgets
{
    QWidget *container = nullptr;
    QLabel *number = nullptr;
    QLineEdit *title = nullptr;
    QLineEdit *parent = nullptr;
    QPushButton *select = nullptr;
    QLineEdit *position = nullptr;
    SwatchView *swatch = nullptr;
    QLineEdit *hex = nullptr;
    QToolButton *picker = nullptr;
};

/// The 93 rows as a table of compact lines under one header, bound to the ChartGrid: the fields
/// show the model and edits go straight into it. Each row is a widget of its own, so a row can
/// take a context menu or be dragged, and its title field can be made editable.
class GridView : public QWidget
{
    Q_OBJECT
public:
    explicit GridView(ChartGrid &grid, QWidget *parent = nullptr);

    [[nodiscard]] const GridRowWidgets &row(int row) const { return m_rows[std::size_t(row - 1)]; }
    /// The height of one row line.
    [[nodiscard]] static int rowHeight();
    /// `removeUserInteraction`: titles and parents are never typed.
    void removeUserInteraction();
    /// Greys the per-row colours while the chart paints every node in the item colour.
    void setRowColoursActive(bool active);

Q_SIGNALS:
    /// A row's SELECT button: the item picker opens for that row.
    void selectClicked(int row);
    /// A row's colour picker button.
    void pickerClicked(int row);

private:
    QWidget *buildHeader();
    void buildRow(int row, QWidget *page);
    void showParent(int row);
    void showField(int row, RowField field);

    ChartGrid &m_grid;
    std::array<GridRowWidgets, kRowCount> m_rows;
};

} // namespace plotwell
