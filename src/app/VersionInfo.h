#pragma once

#include <QString>

#include <optional>

// Which number of the program's version resource to show.
enum TFixedInfo { vsFileVersion, vsProductVersion, vsFileDate };

// The fixed part of a version resource: each value holds two 16-bit numbers, the high one
// first.
struct TFixedFileInfo {
    quint32 dwFileVersionMS = 0;
    quint32 dwFileVersionLS = 0;
    quint32 dwProductVersionMS = 0;
    quint32 dwProductVersionLS = 0;
    quint32 dwFileDateMS = 0;
    quint32 dwFileDateLS = 0;
};

// The version resource built into this program from the project version, in which file and
// product version are the same and the file date is left 0; none when the build gave the
// program no version.
std::optional<TFixedFileInfo> ProgramVersionResource();

// The resource for a dotted version of up to four numbers ("0.1.0" gives 0.1.0.0); none when
// the text is not such a version.
std::optional<TFixedFileInfo> VersionResourceFrom(const QString& version);

// The chosen number as "%d.%d.%d.%d", or "N/A" without a resource.
QString FixedInfoText(const std::optional<TFixedFileInfo>& resource, TFixedInfo kind);
