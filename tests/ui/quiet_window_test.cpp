// A normal run of the window writes nothing to standard error: launch, a sample, its render
// and an export. Chromium's processes inherit the descriptor, so their lines are caught too.
#include "LaunchedWindow.h"
#include "base/Log.h"
#include "export/ExportController.h"
#include "platform/ChartViewer.h"
#include "ui/Style.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

constexpr int kWait = 60000;

/// Points descriptor 2 at a file while it lives; every message Qt would print is kept too,
/// since Qt Test reroutes them to its own log.
class StandardErrorCapture
{
public:
    explicit StandardErrorCapture(const QString &path) : m_file(path)
    {
        m_file.open(QIODevice::ReadWrite | QIODevice::Truncate);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
        s_messages = &m_messages;
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context,
                                               const QString &message) {
            *s_messages << QStringLiteral("%1: %2").arg(QLatin1String(context.category), message);
        });
    }
    ~StandardErrorCapture() { restore(); }

    /// Everything written since, standard error's bytes first.
    QString written()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll()) + m_messages.join(QLatin1Char('\n'));
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        qInstallMessageHandler(m_previous);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QFile m_file;
    int m_saved = -1;
    QStringList m_messages;
    QtMessageHandler m_previous = nullptr;
    static inline QStringList *s_messages = nullptr;
};

} // namespace

class QuietWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void normalPathsLeaveStandardErrorEmpty();
};

void QuietWindowTest::normalPathsLeaveStandardErrorEmpty()
{
    QTemporaryDir dir;
    qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_BINARY_DIR "/resources");
    // What the window program does at start without --verbose; QT_LOGGING_RULES would win.
    qunsetenv("QT_LOGGING_RULES");
    setDiagnosticsShown(false);
    quietChromiumUnlessVerbose(false);
    StandardErrorCapture capture(dir.filePath(QStringLiteral("stderr.txt")));
    {
        LaunchedWindow w;
        QVERIFY(w.waitForLoad(kWait)); // the start page
        w.loadSampleOne();
        MasterViewController &view = w.view();
        QSignalSpy exportLoaded(view.viewers().webViewM, &ChartViewer::loadFinished);
        view.submitData();
        QTRY_VERIFY_WITH_TIMEOUT(!exportLoaded.isEmpty(), kWait);
        const QString png = dir.filePath(QStringLiteral("chart.png"));
        w.panels.savePaths = {png};
        QSignalSpy finished(&view.exports(), &ExportController::finished);
        view.exports().PNGDownload();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QVERIFY(QFile::exists(png));
    }
    QCoreApplication::processEvents();
    // The offscreen platform has no OpenGL, which a desktop has; the web engine says so once.
    // Under a display (xvfb) the window prints nothing at all.
    QStringList lines = capture.written().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeAll(QStringLiteral("default: No suitable graphics backend found"));
    QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
}

QTEST_MAIN(QuietWindowTest)
#include "quiet_window_test.moc"
