#pragma once

#include <QWidget>

class QComboBox;

namespace plotwell {

/// The five appearance combo boxes: font family, font size, node size, node corner radius and
/// the multicolour state.
class AppearancePanel : public QWidget
{
    Q_OBJECT
public:
    enum class Setting { FontFamily, FontSize, NodeSize, NodeRadius, MultiColour };

    explicit AppearancePanel(QWidget *parent = nullptr);

    [[nodiscard]] QComboBox *combo(Setting which) const;
    /// Selects the entry whose value is \a value, without reporting a change.
    void showValue(Setting which, const QString &value);
    /// The value the selected entry stands for: its text (a "0" for the fitted node size)
    /// or, for the multicolour state, its index.
    [[nodiscard]] QString selectedValue(Setting which) const;

Q_SIGNALS:
    /// The user picked an entry.
    void selectionChanged(plotwell::AppearancePanel::Setting which, int index,
                          const QString &value);

private:
    QComboBox *m_combos[5] = {};
};

} // namespace plotwell
