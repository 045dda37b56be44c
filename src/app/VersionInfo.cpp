#include "app/VersionInfo.h"

#include <QStringList>

#include <algorithm>

std::optional<TFixedFileInfo> ProgramVersionResource()
{
#ifdef VESKOR_VERSION
    return VersionResourceFrom(QStringLiteral(VESKOR_VERSION));
#else
    return std::nullopt;
#endif
}

std::optional<TFixedFileInfo> VersionResourceFrom(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return std::nullopt;
    quint32 numbers[4] = {};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok);
        if (!ok || n > 0xFFFF)
            return std::nullopt;
        numbers[i] = n;
    }
    TFixedFileInfo info;
    info.dwFileVersionMS = numbers[0] << 16 | numbers[1];
    info.dwFileVersionLS = numbers[2] << 16 | numbers[3];
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    return info;
}

QString FixedInfoText(const std::optional<TFixedFileInfo>& resource, TFixedInfo kind)
{
    if (!resource)
        return QStringLiteral("N/A");
    quint32 ms = resource->dwFileVersionMS;
    quint32 ls = resource->dwFileVersionLS;
    if (kind == vsProductVersion) {
        ms = resource->dwProductVersionMS;
        ls = resource->dwProductVersionLS;
    } else if (kind == vsFileDate) {
        ms = resource->dwFileDateMS;
        ls = resource->dwFileDateLS;
    }
    return QStringLiteral("%1.%2.%3.%4")
        .arg(ms >> 16)
        .arg(ms & 0xFFFF)
        .arg(ls >> 16)
        .arg(ls & 0xFFFF);
}
