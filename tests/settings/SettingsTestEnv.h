#pragma once

#include "platform/registry/RegPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Points the user's configuration folder, home and the program's folder into a fresh
// temporary folder for the lifetime of one test.
class TSettingsTestEnv {
public:
    TSettingsTestEnv()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("config")));
        qputenv("HOME", QFile::encodeName(Path("home")));
        qunsetenv("USERPROFILE");
        QDir().mkpath(Path("home"));
        QDir().mkpath(Path("program"));
        SetRegDataDir(Path("program"));
    }

    QString Path(const QString& name) const { return fDir.filePath(name); }
    QString UserFile() const { return RegRootFile(HKEY_CURRENT_USER); }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }

private:
    QTemporaryDir fDir;
};
