#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace plotwell {

/// The column of a card over the viewer: its margins and spacing, as every such card has them.
QVBoxLayout *workCardColumn(QWidget *card);

/// A card over the viewer that says what long work is going on: a line of text, a bar (how far
/// it has got, or only that it goes on) and, while the work can be stopped, Cancel.
class WorkCard : public QWidget
{
    Q_OBJECT
public:
    /// \a name is the object name the style sheet knows the card by.
    WorkCard(const QString &name, QWidget *parent);

    /// Shows \a what, with \a done of \a of on the bar; \a of 0: no measure, only that the work
    /// goes on.
    void showWork(const QString &what, int done = 0, int of = 0);
    /// Cancel hides the card and calls \a cancel; an empty function takes the button away.
    void offerCancel(std::function<void()> cancel);
    /// Hides the card and takes Cancel away: the work is over.
    void finish();
    /// In the middle of the parent, as wide as a card is (the parent calls it when resized).
    void place();

    [[nodiscard]] QString text() const;
    [[nodiscard]] QPushButton *cancelButton() const { return m_cancel; }

private:
    QLabel *m_label;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    std::function<void()> m_onCancel;
};

} // namespace plotwell
