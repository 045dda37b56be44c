#include "platform/registry/RegPaths.h"

#include <QCoreApplication>
#include <QDir>

#include <mutex>

namespace {

std::mutex gLock;
QString gDataDir;

}

void SetRegDataDir(const QString& folder)
{
    std::lock_guard guard(gLock);
    gDataDir = folder;
}

QString RegDataDir()
{
    {
        std::lock_guard guard(gLock);
        if (!gDataDir.isEmpty())
            return gDataDir;
    }
    const QString dir = QCoreApplication::applicationDirPath();
    return dir.isEmpty() ? QDir::currentPath() : dir;
}

QString UserConfigDir()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = qEnvironmentVariable("HOME");
    return QDir::cleanPath((home.isEmpty() ? QDir::homePath() : home) + QStringLiteral("/.config"));
}

QString RegRootName(THKey root)
{
    switch (root) {
    case HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    default:
        return {};
    }
}

QString RegRootFile(THKey root)
{
    switch (root) {
    case HKEY_CURRENT_USER:
        return UserConfigDir() + QStringLiteral("/Ormelin/HKEY_CURRENT_USER.reg");
    case HKEY_LOCAL_MACHINE:
        return QDir::cleanPath(RegDataDir() + QStringLiteral("/etc/HKEY_LOCAL_MACHINE.reg"));
    default:
        return {};
    }
}
