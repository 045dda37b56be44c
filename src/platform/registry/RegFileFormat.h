#pragma once

#include "platform/registry/RegKeyTree.h"

#include <QByteArray>
#include <QString>

// The text form of one registry root: the registry editor's export format, version 5.00,
// so that an administrator can read and edit it. Written as UTF-8; read as UTF-8 or, as the
// editor itself exports it, UTF-16 with a byte order mark.

// Settings files hold a few thousand values at most; a file above this size is taken for
// damaged (a runaway writer, some other file in its place), so that it can neither stall the
// start nor exhaust memory. Its holder checks the size before reading the file.
constexpr qint64 kMaxRegFileSize = 16 * 1024 * 1024;

QString OversizedRegFileReason(qint64 size);

QByteArray FormatRegFile(const QString& rootName, const TRegKeyNode& root);

// Fills root from a whole file. Returns false, with the line and reason in error, for any
// text that is not such a file; root is then left empty, never half filled.
bool ParseRegFile(
    const QByteArray& bytes, const QString& rootName, TRegKeyNode& root, QString* error);
