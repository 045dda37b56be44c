#include "settings/ColumnLayout.h"

#include "messages/Trace.h"
#include "platform/registry/RegApi.h"
#include "settings/RegStorage.h"

#include <QHeaderView>
#include <QObject>
#include <QTableView>

namespace {

const QString kTableValueName = QStringLiteral("Cols");

// Stored layouts larger than this are taken for damage rather than read.
constexpr uint32_t kMaxValueSize = 1u << 20;

void PutInt32(QByteArray& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += char(uint32_t(value) >> (8 * i) & 0xFF);
}

int32_t GetInt32(const QByteArray& bytes, qsizetype offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[offset + i]);
    return int32_t(value);
}

IGridColumnHeads* AsGrid(QObject* object) { return dynamic_cast<IGridColumnHeads*>(object); }

void StoreGrids(QObject* window, QObject* component, TConfigStorage* storage)
{
    for (QObject* child : component->children()) {
        IGridColumnHeads* grid = AsGrid(child);
        if (!grid || grid->Tag() < 0) {
            StoreGrids(window, child, storage);
            continue;
        }
        const int count = grid->ColumnHeadCount();
        if (count <= 0 || child->objectName().isEmpty())
            continue;
        QByteArray bytes;
        bytes.reserve(qsizetype(count) * TColInfo::kSize);
        for (int i = 0; i < count; ++i) {
            const TColumnHeadState head = grid->ColumnHead(i);
            bytes += TColInfo { head.Size, head.Visible, head.ID, head.Cell }.Encode();
        }
        storage->WriteBinary(
            GridColumnsValueName(window, child), uint32_t(bytes.size()), bytes.constData());
    }
}

void RestoreGrid(QObject* window, QObject* object, IGridColumnHeads* grid, TConfigStorage* storage)
{
    const QString name = GridColumnsValueName(window, object);
    uint32_t size = 0;
    if (!storage->ReadBinary(name, size, nullptr) || size == 0)
        return;
    if (size > kMaxValueSize || size % TColInfo::kSize != 0) {
        TraceText(
            QStringLiteral("The stored column layout \"%1\" is damaged and was ignored").arg(name),
            TRACE_WARNING);
        return;
    }
    QByteArray bytes(qsizetype(size), '\0');
    if (!storage->ReadBinary(name, size, bytes.data()) || size != uint32_t(bytes.size()))
        return;
    const int count = int(size / TColInfo::kSize);
    grid->BeginColumnHeadsUpdate();
    // A grid whose heads were added or removed since keeps its design layout: the stored
    // identifiers would no longer describe the same columns.
    if (count == grid->ColumnHeadCount()) {
        for (int i = 0; i < count; ++i) {
            TColInfo info;
            TColInfo::Decode(bytes.mid(qsizetype(i) * TColInfo::kSize, TColInfo::kSize), &info);
            grid->SetColumnHead(TColumnHeadState { info.Width, info.Visible, info.ID, info.Cell });
        }
    }
    grid->EndColumnHeadsUpdate();
}

void RestoreGrids(QObject* window, QObject* component, TConfigStorage* storage)
{
    for (QObject* child : component->children()) {
        IGridColumnHeads* grid = AsGrid(child);
        if (grid && grid->Tag() >= 0) {
            if (!child->objectName().isEmpty())
                RestoreGrid(window, child, grid, storage);
        } else {
            RestoreGrids(window, child, storage);
        }
    }
}

// Keeps a table view from relaying out and repainting column by column.
class TViewUpdate {
public:
    explicit TViewUpdate(QTableView* view)
        : fView(view)
        , fEnabled(view->updatesEnabled())
    {
        fView->setUpdatesEnabled(false);
    }
    ~TViewUpdate() { fView->setUpdatesEnabled(fEnabled); }

private:
    QTableView* fView;
    bool fEnabled;
};

}

QByteArray TColInfo::Encode() const
{
    QByteArray bytes;
    bytes.reserve(kSize);
    PutInt32(bytes, Width);
    bytes += char(Visible ? 1 : 0);
    PutInt32(bytes, ID);
    PutInt32(bytes, Cell);
    return bytes;
}

bool TColInfo::Decode(const QByteArray& bytes, TColInfo* info)
{
    if (bytes.size() != kSize)
        return false;
    info->Width = GetInt32(bytes, 0);
    info->Visible = bytes[4] != 0;
    info->ID = GetInt32(bytes, 5);
    info->Cell = GetInt32(bytes, 9);
    return true;
}

QString GridColumnsValueName(const QObject* window, const QObject* grid)
{
    return window->objectName() + QLatin1Char('.') + grid->objectName() + QStringLiteral(".Cols");
}

void StoreGridColumns(QObject* component, TConfigStorage* storage)
{
    if (component && storage)
        StoreGrids(component, component, storage);
}

void RestoreGridColumns(QObject* component, TConfigStorage* storage)
{
    if (component && storage)
        RestoreGrids(component, component, storage);
}

QByteArray EncodeTableColumns(const QTableView* view)
{
    QByteArray bytes;
    const QHeaderView* header = view->horizontalHeader();
    const int count = header->count();
    bytes.reserve(qsizetype(count) * 4);
    for (int i = 0; i < count; ++i)
        PutInt32(bytes, header->isSectionHidden(i) ? -1 : header->sectionSize(i));
    return bytes;
}

bool ApplyTableColumns(QTableView* view, const QByteArray& value)
{
    QHeaderView* header = view->horizontalHeader();
    const int count = header->count();
    if (value.isEmpty() || value.size() % 4 != 0 || value.size() / 4 > count)
        return false;
    TViewUpdate update(view);
    for (int i = 0; i < count; ++i) {
        const int32_t entry = i < value.size() / 4 ? GetInt32(value, qsizetype(i) * 4) : 0;
        if (entry < 0) {
            header->setSectionHidden(i, true);
        } else {
            header->setSectionHidden(i, false);
            header->resizeSection(i, entry);
        }
    }
    return true;
}

bool StoreColumnLayouts(QTableView* view, QObject* window, TConfigStorage* storage)
{
    if (!view || !storage)
        return false;
    const QByteArray cols = EncodeTableColumns(view);
    if (cols.isEmpty())
        return false;
    const bool result
        = storage->WriteBinary(kTableValueName, uint32_t(cols.size()), cols.constData());
    StoreGridColumns(window, storage);
    return result;
}

bool RestoreColumnWidths(QTableView* view, QObject* window, TConfigStorage* storage)
{
    if (!view || !storage)
        return false;
    bool applied = false;
    const int count = view->horizontalHeader()->count();
    if (count > 0) {
        // A buffer of exactly one entry per column: a value with more entries does not fit.
        QByteArray bytes(qsizetype(count) * 4, '\0');
        uint32_t size = uint32_t(bytes.size());
        if (storage->ReadBinary(kTableValueName, size, bytes.data()))
            applied = ApplyTableColumns(view, bytes.left(qsizetype(size)));
    }
    RestoreGridColumns(window, storage);
    return applied;
}

bool StoreColumnLayouts(QTableView* view, QObject* window, const QString& regPath)
{
    if (!view || view->horizontalHeader()->count() == 0)
        return false;
    TRegStorage storage;
    storage.SetRootKey(HKEY_CURRENT_USER);
    storage.SetAccess(int32_t(KEY_WRITE));
    if (!storage.OpenKey(regPath, true))
        return false;
    return StoreColumnLayouts(view, window, &storage);
}

bool RestoreColumnWidths(QTableView* view, QObject* window, const QString& regPath)
{
    TRegStorage storage;
    storage.SetRootKey(HKEY_CURRENT_USER);
    storage.SetAccess(int32_t(KEY_READ));
    if (!storage.OpenKey(regPath, false))
        return false;
    return RestoreColumnWidths(view, window, &storage);
}
