#include "platform/misc/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

const QMimeData* TQtClipboard::Data() const
{
    const QClipboard* C = QGuiApplication::clipboard();
    const QMimeData* D = C ? C->mimeData() : nullptr;
    return D && !D->formats().isEmpty() ? D : nullptr;
}

void TQtClipboard::SetData(QMimeData* Data)
{
    QClipboard* C = QGuiApplication::clipboard();
    if (!C)
        throw EClipboardError(QStringLiteral("Не удаётся открыть буфер обмена"));
    if (Data->formats().isEmpty()) {
        delete Data;
        C->clear();
        return;
    }
    C->setMimeData(Data);
}
