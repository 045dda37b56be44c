#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariantList>

// The program's one diagnostic trace. Lines are stamped with the local time and written
// as UTF-8, first to the handle the caller passes, then to the default log handle, then to
// standard output. Safe to call from any thread; a failed write is never reported.

// Levels in use: -1 error, 0 plain message, 3 warning, 6 state, 8 calculation detail.
constexpr int TRACE_ERROR = -1;
constexpr int TRACE_MESSAGE = 0;
constexpr int TRACE_WARNING = 3;
constexpr int TRACE_NOTE = 4;
constexpr int TRACE_INFO = 5;
constexpr int TRACE_STATE = 6;
constexpr int TRACE_DETAIL = 8;

// Lines above this level are dropped.
constexpr int TRACE_THRESHOLD = 0;

constexpr int TRACE_NO_HANDLE = -1;

void Trace(const QString& format, const QVariantList& args, int handle = TRACE_NO_HANDLE,
    int channel = 1, int level = TRACE_MESSAGE);
void TraceText(
    const QString& text, int level = TRACE_MESSAGE, int channel = 1, int handle = TRACE_NO_HANDLE);

// The encoded line Trace would write at the given moment; empty when the level is above
// the threshold.
QByteArray TraceLine(const QString& format, const QVariantList& args, int channel, int level,
    const QDateTime& stamp);

// Opens (appending, creating when missing) the file that becomes the default log handle,
// closing any previous one. Returns false and leaves the previous handle when the file
// cannot be opened.
bool OpenTraceLog(const QString& path);
void CloseTraceLog();
int TraceLogHandle();
