#pragma once

#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/FilePanels.h"
#include "platform/Mailer.h"
#include "platform/Preferences.h"

#include <QPointer>
#include <QSettings>
#include <QWidget>

namespace plotwell {

/// Alerts as QMessageBox, modal to \a window.
class MessageBoxAlerts final : public Alerts
{
public:
    explicit MessageBoxAlerts(QWidget *window = nullptr) : m_window(window) {}
    void setWindow(QWidget *window) { m_window = window; }
    int runModal(const AlertSpec &alert) override;

private:
    QPointer<QWidget> m_window;
};

/// Save and open panels as QFileDialog.
class DialogFilePanels final : public FilePanels
{
public:
    explicit DialogFilePanels(QWidget *window = nullptr) : m_window(window) {}
    void setWindow(QWidget *window) { m_window = window; }
    std::optional<QString> chooseSavePath(const SavePanelSpec &panel) override;
    std::optional<QString> chooseOpenPath(const OpenPanelSpec &panel) override;

private:
    QPointer<QWidget> m_window;
};

/// The per-user store: QSettings("Orvanta", "Plotwell").
class SettingsPreferences final : public Preferences
{
public:
    SettingsPreferences();
    [[nodiscard]] std::optional<QString> value(const QString &key) const override;
    void setValue(const QString &key, const QString &value) override;
    void remove(const QString &key) override;
    void sync() override;

private:
    QSettings m_settings;
};

/// The window, the screens and the desktop's handlers.
class WidgetDesktop final : public Desktop
{
public:
    explicit WidgetDesktop(QWidget *window = nullptr) : m_window(window) {}
    void setWindow(QWidget *window) { m_window = window; }
    void setWindowTitle(const QString &title) override;
    [[nodiscard]] QString windowTitle() const override;
    void setWindowModified(bool modified) override;
    [[nodiscard]] QSizeF lastScreenAvailableSize() const override;
    void noteRecentDocument(const QString &path) override;
    void openExternalUrl(const QUrl &url) override;

private:
    QPointer<QWidget> m_window;
};

/// Hands a file to the desktop mail client: `xdg-email --attach` (`open -a Mail` on macOS).
class DesktopMailer final : public Mailer
{
public:
    [[nodiscard]] QString attachToNewMessage(const QString &filePath) override;
};

} // namespace plotwell
