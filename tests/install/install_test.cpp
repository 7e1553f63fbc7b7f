// The installed program: `cmake --install` into a temporary prefix, which is then moved, so that
// the programs can only find each other and their resources relative to where they are.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PLOTWELL_RESOURCE_DIR"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(240000)) {
        result.err = program + QStringLiteral(" did not finish: ") + process.errorString();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

/// The value of \a key in the [Desktop Entry] group of a desktop file.
QString desktopEntryValue(const QString &path, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString prefix = key + QLatin1Char('=');
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

QSet<QRgb> coloursOf(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y));
    }
    return colours;
}

const QString appId = QStringLiteral(PLOTWELL_APP_ID);

} // namespace

class InstallTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_prefix;

    QString installed(const QString &relative) const
    {
        return m_prefix + QLatin1Char('/') + relative;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString staged = m_dir.filePath(QStringLiteral("staged"));
        const Run install = run(QStringLiteral(PLOTWELL_CMAKE_COMMAND),
                                {QStringLiteral("--install"), QStringLiteral(PLOTWELL_BINARY_DIR),
                                 QStringLiteral("--prefix"), staged},
                                m_dir.path());
        QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));

        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("moved"))));
        m_prefix = m_dir.filePath(QStringLiteral("moved/prefix"));
        QVERIFY(QDir().rename(staged, m_prefix));
    }

    void printsItsVersion()
    {
        const Run version = run(installed(QStringLiteral("bin/plotwell")),
                                {QStringLiteral("--version")}, m_dir.path());
        QVERIFY2(version.exitCode == 0, qPrintable(version.err));
        QCOMPARE(version.out, QStringLiteral("Plotwell " PLOTWELL_VERSION));
    }

    // The window program draws with the chart page from <prefix>/share/plotwell; the working
    // folder is the temporary one, so neither the build tree nor the current folder can help.
    void rendersTheSampleFromTheInstalledResources()
    {
        const QString png = m_dir.filePath(QStringLiteral("x.png"));
        const Run render = run(installed(QStringLiteral("bin/plotwell")),
                               {QStringLiteral("render"), QStringLiteral("--sample"),
                                QStringLiteral("1"), QStringLiteral("-o"), png},
                               m_dir.path());
        QVERIFY2(render.exitCode == 0, qPrintable(render.err));

        const QImage picture(png);
        QVERIFY(!picture.isNull());
        QVERIFY2(picture.width() >= 300 && picture.height() >= 200,
                 qPrintable(QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height())));
        // Boxes, lines and text: a page without its scripts or data would be one colour.
        QVERIFY2(coloursOf(picture).size() > 16,
                 qPrintable(QString::number(coloursOf(picture).size())));
    }

    // What the desktop reads: the entry names a program and an icon that were installed, the
    // metainfo names the entry, and each bitmap of the icon has its theme folder's size.
    void desktopFilesNameWhatWasInstalled()
    {
        const QString entry =
            installed(QStringLiteral("share/applications/") + appId + QStringLiteral(".desktop"));
        QVERIFY(QFileInfo::exists(entry));
        const QString program =
            desktopEntryValue(entry, QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
        QVERIFY(QFileInfo(installed(QStringLiteral("bin/") + program)).isExecutable());
        QCOMPARE(desktopEntryValue(entry, QStringLiteral("Icon")), appId);
        QVERIFY(desktopEntryValue(entry, QStringLiteral("MimeType"))
                    .split(QLatin1Char(';'))
                    .contains(QStringLiteral("text/csv")));
        QVERIFY(QFileInfo::exists(installed(QStringLiteral("share/icons/hicolor/scalable/apps/") +
                                            appId + QStringLiteral(".svg"))));

        QFile metainfo(
            installed(QStringLiteral("share/metainfo/") + appId + QStringLiteral(".metainfo.xml")));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(metainfo.readAll())
                    .contains(QStringLiteral("<launchable type=\"desktop-id\">") + appId +
                              QStringLiteral(".desktop</launchable>")));

        const QDir hicolor(installed(QStringLiteral("share/icons/hicolor")));
        const QStringList sizes =
            hicolor.entryList({QStringLiteral("*x*")}, QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY2(sizes.size() >= 6, qPrintable(sizes.join(QLatin1Char(' '))));
        for (const QString &size : sizes) {
            const QImage icon(
                hicolor.filePath(size + QStringLiteral("/apps/") + appId + QStringLiteral(".png")));
            const int side = size.section(QLatin1Char('x'), 0, 0).toInt();
            QCOMPARE(icon.size(), QSize(side, side));
            // Transparent corners around an opaque tile.
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
        }
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "install_test.moc"
