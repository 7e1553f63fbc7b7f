#pragma once

#include <QDebug>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QTest>

/// Lets the window settle for \a ms, then saves the whole screen as \a name in \a dir.
inline void saveScreen(const QString &dir, const char *name, int ms = 0)
{
    QTest::qWait(ms);
    const QString path = QDir(dir).filePath(QLatin1String(name));
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    qInfo().noquote() << "saved" << path;
}
