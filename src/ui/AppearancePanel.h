#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace plotwell {

/// The family the desktop draws for \a family: the family itself when installed, otherwise the
/// fallback fontconfig picks.
[[nodiscard]] QString fontFamilyInUse(const QString &family);

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

    /// Says under the family whether it is installed or which face stands in for it.
    void showFontInUse(const QString &family);
    [[nodiscard]] QLabel *fontInUse() const { return m_fontInUse; }

Q_SIGNALS:
    /// The user picked an entry.
    void selectionChanged(plotwell::AppearancePanel::Setting which, int index,
                          const QString &value);

private:
    QComboBox *m_combos[5] = {};
    QLabel *m_fontInUse = nullptr;
};

} // namespace plotwell
