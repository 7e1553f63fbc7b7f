#include "ui/ChartBoxEdits.h"

#include "model/ChartEditor.h"
#include "ui/GridView.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace plotwell {

ChartBoxEdits::ChartBoxEdits(GridView &grid, ChartEditor &editor, QObject *parent)
    : QObject(parent), m_grid(grid), m_editor(editor)
{}

void ChartBoxEdits::attach(QWebEngineView *view)
{
    QWebEnginePage *page = view->page();
    auto *channel = new QWebChannel(page);
    channel->registerObject(QLatin1String(kChannelName), this);
    page->setWebChannel(channel);

    // The page allows only its own scripts; the channel's client comes with Qt, injected by the
    // engine before the page's scripts run.
    QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!client.open(QIODevice::ReadOnly))
        return;
    QWebEngineScript script;
    script.setName(QStringLiteral("qwebchannel"));
    script.setSourceCode(QString::fromUtf8(client.readAll()));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page->scripts().insert(script);
}

void ChartBoxEdits::boxClicked(int row)
{
    m_grid.selectRow(row);
}

void ChartBoxEdits::boxDropped(int row, int parentRow)
{
    // As with the picker, row 1 is the top of the chart and takes no parent.
    if (row < 2 || !isValidRow(row) || !isValidRow(parentRow) || row == parentRow)
        return;
    if (m_editor.setParent(row, parentRow)) {
        m_grid.selectRow(row);
        Q_EMIT chartChanged();
    }
}

} // namespace plotwell
