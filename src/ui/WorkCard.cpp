#include "ui/WorkCard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace plotwell {

QVBoxLayout *workCardColumn(QWidget *card)
{
    auto *column = new QVBoxLayout(card);
    column->setContentsMargins(20, 14, 20, 16);
    column->setSpacing(8);
    return column;
}

WorkCard::WorkCard(const QString &name, QWidget *parent)
    : QWidget(parent), m_label(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(name);
    setAttribute(Qt::WA_StyledBackground);
    // The progress card's look: the style sheet knows its label by this name.
    m_label->setObjectName(QStringLiteral("progressLabel"));
    m_label->setWordWrap(true);
    m_bar->setTextVisible(false);
    m_cancel->hide();
    QVBoxLayout *column = workCardColumn(this);
    column->addWidget(m_label);
    auto *row = new QHBoxLayout;
    row->addWidget(m_bar, 1);
    row->addWidget(m_cancel);
    column->addLayout(row);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        const std::function<void()> cancel = std::exchange(m_onCancel, {});
        finish();
        if (cancel)
            cancel();
    });
    hide();
}

void WorkCard::showWork(const QString &what, int done, int of)
{
    m_label->setText(what);
    m_bar->setRange(0, std::max(0, of));
    if (of > 0)
        m_bar->setValue(std::clamp(done, 0, of));
    place();
    show();
    raise();
}

void WorkCard::place()
{
    const QRect pane = parentWidget()->rect();
    const QSize size(std::min(400, pane.width() - 24), sizeHint().height());
    setGeometry(QRect(
        QPoint((pane.width() - size.width()) / 2, (pane.height() - size.height()) / 2), size));
}

void WorkCard::offerCancel(std::function<void()> cancel)
{
    m_onCancel = std::move(cancel);
    m_cancel->setVisible(bool(m_onCancel));
}

void WorkCard::finish()
{
    offerCancel({});
    hide();
}

QString WorkCard::text() const
{
    return m_label->text();
}

} // namespace plotwell
