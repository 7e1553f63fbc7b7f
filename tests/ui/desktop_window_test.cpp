// Files that reach a running window from the desktop: a later start of the program hands its
// file over and ends, and a file dropped on the window opens as it is recognised.
#include "TestFiles.h"
#include "TestWindow.h"
#include "model/ChartEditor.h"
#include "shell/ChartWorkspace.h"
#include "ui/SingleInstance.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

/// Sends a drag of \a data onto \a target and drops it; whether the drag was taken.
bool dragAndDrop(QWidget *target, QMimeData *data)
{
    const QPointF point(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace

class DesktopWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        // The session's socket of every start in this test, the real program's included.
        qputenv("XDG_RUNTIME_DIR", m_folder.path().toLocal8Bit());
    }

    void secondStartHandsItsFileToTheRunningWindow()
    {
        writeFile(m_folder.filePath(QStringLiteral("team.csv")), "Ann(CEO),Bo(CTO)\n1,2\n");
        Window w;
        SingleInstance instance;
        QVERIFY(instance.socketPath().startsWith(m_folder.path()));
        QVERIFY(instance.listen());
        connect(&instance, &SingleInstance::openRequested, w.delegate.get(),
                &AppDelegate::openHandedOverFile);

        // A relative path, as a file manager or shell gives it, from the second start's folder.
        QProcess second;
        second.setWorkingDirectory(m_folder.path());
        QSignalSpy finished(&second, &QProcess::finished);
        second.start(QStringLiteral(PLOTWELL_BINARY_DIR "/plotwell"), {QStringLiteral("team.csv")});
        QVERIFY(finished.wait(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QTRY_COMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QCOMPARE(w.delegate->windowTitle(), QStringLiteral("team"));
        QCOMPARE(w.panels.openPanelCount, 0);
    }

    void noWindowRunningMeansNoHandOver()
    {
        SingleInstance nobody(m_folder.filePath(QStringLiteral("nobody.socket")));
        QVERIFY(!nobody.handOver(m_folder.filePath(QStringLiteral("team.csv")), 1000));
    }

    // A window that crashed leaves its socket file behind; the next start takes the name over.
    void leftOverSocketIsTakenOver()
    {
        const QByteArray path = m_folder.filePath(QStringLiteral("crashed.socket")).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));

        SingleInstance next(QString::fromLocal8Bit(path));
        QVERIFY(next.listen());
        QSignalSpy requests(&next, &SingleInstance::openRequested);
        // Asynchronous, as a later start in another process: a blocking one would stall the
        // event loop that serves it.
        QLocalSocket later;
        later.connectToServer(next.socketPath());
        later.write("/home/ann/team.csv\n");
        QVERIFY(requests.wait(10000));
        QCOMPARE(requests.first().first().toString(), QStringLiteral("/home/ann/team.csv"));
    }

    void droppedFileOpensAsItIsRecognised_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("row2");
        // A saved chart is written by the window itself in the test body.
        QTest::newRow("chart document") << "Sample 1.csv"
                                        << "Sample 1"
                                        << "";
        QTest::newRow("data CSV") << "people.csv"
                                  << "people"
                                  << "Ann(CEO)";
        // A staff list goes through the import dialog, person by person; the title stays.
        QTest::newRow("staff list") << "staff.csv" << QString() << "Bo Chan";
    }

    void droppedFileOpensAsItIsRecognised()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, row2);
        const QString path = m_folder.filePath(name);
        Window w;
        if (name == QLatin1String("Sample 1.csv")) {
            w.alerts.answers.push_back(kFirstButton); // Sample 1
            w.view().liveSample();
            row2 = w.view().grid().title(2);
            w.panels.savePaths.push_back(path);
            w.action("saveAsFile:")->trigger();
            w.alerts.answers.push_back(kFirstButton);
            w.action("newFile:")->trigger();
            QVERIFY(w.view().grid().title(1).isEmpty());
        } else if (name == QLatin1String("people.csv")) {
            writeFile(path, "Ann(CEO),Bo(CTO)\n1,2\n");
        } else {
            writeFile(path, "name,manager\nAnn Lee,\nBo Chan,Ann Lee\n");
        }

        // The import dialog is accepted as it is shown, with the columns it guessed.
        QTimer acceptDialog;
        connect(&acceptDialog, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        acceptDialog.start(20);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        // Onto a widget inside the window, not the window itself: drops land where the pointer is.
        QWidget *target = w.delegate->centralWidget();
        QVERIFY(target);
        QVERIFY(dragAndDrop(target, &data));
        if (title.isEmpty()) {
            QTRY_COMPARE(w.view().grid().title(2), row2);
            QCOMPARE(w.view().grid().parent(2), QStringLiteral("1_Ann Lee"));
            // The import is one step of the edit history.
            w.view().workspace().editor().undo();
            QCOMPARE(w.view().grid().title(1), QString());
            QCOMPARE(w.view().grid().title(2), QString());
        } else {
            QTRY_COMPARE(w.delegate->windowTitle(), title);
            QCOMPARE(w.view().grid().title(2), row2);
        }
        if (name == QLatin1String("Sample 1.csv"))
            QCOMPARE(w.view().grid().title(1), QStringLiteral("Niall Brent(CEO)"));
        QCOMPARE(w.panels.openPanelCount, 0);
    }

    void dragWithoutAFileIsNotTaken()
    {
        Window w;
        QMimeData text;
        text.setText(QStringLiteral("Ann(CEO)"));
        QMimeData remote;
        remote.setUrls({QUrl(QStringLiteral("https://example.org/people.csv"))});
        for (QMimeData *data : {&text, &remote})
            QVERIFY(!dragAndDrop(w.delegate->centralWidget(), data));
    }
};

QTEST_MAIN(DesktopWindowTest)
#include "desktop_window_test.moc"
