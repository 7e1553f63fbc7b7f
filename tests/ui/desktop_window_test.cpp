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
#include <QMimeData>
#include <QProcess>
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
    const QPoint point = target->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
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
        QCOMPARE(shownTitle(*w.delegate), QStringLiteral("team"));
        QCOMPARE(w.panels.openPanelCount, 0);
    }

    // A window that crashed leaves its socket file behind: nobody answers a hand-over through it,
    // and the next start takes the name over.
    void leftOverSocketIsTakenOver()
    {
        const QByteArray path = m_folder.filePath(QStringLiteral("crashed.socket")).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));

        SingleInstance next(QString::fromLocal8Bit(path));
        QVERIFY(!next.handOver(QStringLiteral("/home/ann/team.csv"), 1000));
        QVERIFY(next.listen());
    }

    void droppedFileOpensAsItIsRecognised_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("row2");
        QTest::newRow("data CSV") << QByteArray("Ann(CEO),Bo(CTO)\n1,2\n") << "people"
                                  << "Ann(CEO)";
        // A staff list goes through the import dialog, person by person; the title stays.
        QTest::newRow("staff list")
            << QByteArray("name,manager\nAnn Lee,\nBo Chan,Ann Lee\n") << QString() << "Bo Chan";
    }

    void droppedFileOpensAsItIsRecognised()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QString, row2);
        const QString path = m_folder.filePath(QStringLiteral("people.csv"));
        writeFile(path, content);
        Window w;
        // The import dialog is accepted as it is shown, with the columns it guessed.
        QTimer acceptDialog;
        connect(&acceptDialog, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        acceptDialog.start(20);

        // Text, or a file that is not on this computer, is not taken.
        QMimeData text, remote, data;
        text.setText(QStringLiteral("Ann(CEO)"));
        remote.setUrls({QUrl(QStringLiteral("https://example.org/people.csv"))});
        data.setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(!dragAndDrop(w.delegate->centralWidget(), &text));
        QVERIFY(!dragAndDrop(w.delegate->centralWidget(), &remote));
        // Onto a widget inside the window, not the window itself: drops land where the pointer is.
        QVERIFY(dragAndDrop(w.delegate->centralWidget(), &data));
        QTRY_COMPARE(w.view().grid().title(2), row2);
        if (!title.isEmpty())
            QCOMPARE(shownTitle(*w.delegate), title);
        QCOMPARE(w.panels.openPanelCount, 0);
    }
};

QTEST_MAIN(DesktopWindowTest)
#include "desktop_window_test.moc"
