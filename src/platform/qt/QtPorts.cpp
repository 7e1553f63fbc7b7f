#include "platform/qt/QtPorts.h"

#include "base/DocumentNames.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

namespace plotwell {

int MessageBoxAlerts::runModal(const AlertSpec &alert)
{
    QMessageBox box(m_window);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    switch (alert.style) {
    case AlertSpec::Style::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case AlertSpec::Style::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case AlertSpec::Style::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    const QStringList titles =
        alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < titles.size(); ++i) {
        const bool cancel = titles[i] == QLatin1String("Cancel");
        const auto role = i == 0   ? QMessageBox::AcceptRole
                          : cancel ? QMessageBox::RejectRole
                                   : QMessageBox::ActionRole;
        buttons << box.addButton(titles[i], role);
    }
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    const int index = buttons.indexOf(box.clickedButton());
    // Closing the box without a button counts as its last button, the usual "Cancel".
    return kFirstButton + (index >= 0 ? index : int(buttons.size()) - 1);
}

std::optional<QString> DialogFilePanels::chooseSavePath(const SavePanelSpec &panel)
{
    QStringList filters;
    for (const QString &type : panel.allowedTypes)
        filters << QStringLiteral("%1 files (*.%2)").arg(type.toUpper(), type);
    QFileDialog dialog(m_window, panel.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    if (!panel.allowedTypes.isEmpty())
        dialog.setDefaultSuffix(panel.allowedTypes.first());
    if (QFileInfo(panel.proposedName).isRelative()) {
        // The desktop's folder for the kind of file, while it exists; the home folder if not.
        const QString folder = QStandardPaths::writableLocation(panel.startFolder());
        dialog.setDirectory(QDir(folder).exists() ? folder : QDir::homePath());
    }
    dialog.selectFile(panel.proposedName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().first();
        const QString typed = document::withTypeExtension(chosen, panel.allowedTypes);
        // The panel asked about the name as typed; the one with the extension may exist too.
        if (typed == chosen || !QFileInfo::exists(typed) ||
            QMessageBox::question(
                m_window, panel.title,
                QStringLiteral("\"%1\" already exists. Do you want to replace it?")
                    .arg(QFileInfo(typed).fileName())) == QMessageBox::Yes)
            return typed;
        dialog.selectFile(QFileInfo(typed).fileName());
    }
}

std::optional<QString> DialogFilePanels::chooseOpenPath(const OpenPanelSpec &panel)
{
    QStringList patterns;
    for (const QString &type : panel.allowedTypes)
        patterns.append(QStringLiteral("*.") + type);
    const QString filter =
        QStringLiteral("%1 (%2);;All files (*)").arg(panel.kind, patterns.join(u' '));
    const QString path = QFileDialog::getOpenFileName(m_window, {}, {}, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

SettingsPreferences::SettingsPreferences()
    : m_settings(QStringLiteral("Orvanta"), QStringLiteral("Plotwell"))
{}

std::optional<QString> SettingsPreferences::value(const QString &key) const
{
    if (!m_settings.contains(key))
        return std::nullopt;
    return m_settings.value(key).toString();
}

void SettingsPreferences::setValue(const QString &key, const QString &value)
{
    m_settings.setValue(key, value);
}

void SettingsPreferences::remove(const QString &key)
{
    m_settings.remove(key);
}

void SettingsPreferences::sync()
{
    m_settings.sync();
}

// Qt puts the desktop's mark of a modified window where "[*]" stands.
constexpr QLatin1String kModifiedMark("[*]");

void WidgetDesktop::setWindowTitle(const QString &title)
{
    if (m_window)
        m_window->setWindowTitle(title + kModifiedMark);
}

void WidgetDesktop::setWindowModified(bool modified)
{
    if (m_window)
        m_window->setWindowModified(modified);
}

QString WidgetDesktop::windowTitle() const
{
    return m_window ? m_window->windowTitle().remove(kModifiedMark) : QString();
}

QSizeF WidgetDesktop::lastScreenAvailableSize() const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return {};
    return screens.last()->availableGeometry().size();
}

void WidgetDesktop::noteRecentDocument(const QString &)
{
    // The Open Recent menu reads its list from the preferences; the desktop keeps none.
}

void WidgetDesktop::openExternalUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

QString DesktopMailer::attachToNewMessage(const QString &filePath)
{
#ifdef Q_OS_MACOS
    const QString program = QStringLiteral("open");
    const QStringList arguments{QStringLiteral("-a"), QStringLiteral("Mail"), filePath};
#else
    const QString program = QStringLiteral("xdg-email");
    const QStringList arguments{QStringLiteral("--attach"), filePath};
#endif
    // The process outlives this call while the mail client it starts keeps it busy.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        const QString reason = process->errorString();
        process->deleteLater();
        return QStringLiteral("The mail application could not be started (%1): %2")
            .arg(program, reason);
    }
    // A desktop without a mail client is reported at once; a client that opens is left to run.
    if (process->waitForFinished(3000) &&
        (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)) {
        const QString output = QString::fromLocal8Bit(process->readAll()).trimmed();
        return QStringLiteral("%1 failed with exit code %2.%3")
            .arg(program)
            .arg(process->exitCode())
            .arg(output.isEmpty() ? QString() : QStringLiteral("\n") + output);
    }
    return {};
}

} // namespace plotwell
