#include "ui/TypingSteps.h"

#include "model/ChartEditor.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>

namespace plotwell {

namespace {

// The editor may go before the window's fields, which still see focus changes while they close.
void endMerging(const QPointer<ChartEditor> &editor)
{
    if (editor)
        editor->endMerging();
}

class StepOnFocus final : public QObject
{
public:
    StepOnFocus(ChartEditor &editor, QObject *parent) : QObject(parent), m_editor(&editor) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            endMerging(m_editor);
        return false;
    }

private:
    QPointer<ChartEditor> m_editor;
};

} // namespace

void bindTypingSteps(QLineEdit *field, ChartEditor &editor,
                     std::function<void(const QString &)> write)
{
    field->installEventFilter(new StepOnFocus(editor, field));
    QObject::connect(field, &QLineEdit::textEdited, field, std::move(write));
    QObject::connect(field, &QLineEdit::editingFinished, field,
                     [editor = QPointer<ChartEditor>(&editor)] { endMerging(editor); });
}

} // namespace plotwell
