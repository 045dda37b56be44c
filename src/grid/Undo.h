#pragma once

#include "grid/CellEditor.h"
#include "grid/model/DrawCellInfo.h"
#include "grid/model/GridCell.h"
#include "grid/model/GridError.h"

#include <QString>

#include <deque>
#include <memory>
#include <vector>

class TGridObject;
class TCellObject;
class TUndoList;

// Raised when an undo record is made without its grid.
class EInvalidArgument : public EGridError {
public:
    EInvalidArgument()
        : EGridError(QStringLiteral("Invalid argument"))
    {
    }
};

// One step the user can take back.
class TGridObjectUndo {
public:
    explicit TGridObjectUndo(TGridObject* AGridObject);
    virtual ~TGridObjectUndo() = default;
    TGridObjectUndo(const TGridObjectUndo&) = delete;
    TGridObjectUndo& operator=(const TGridObjectUndo&) = delete;

    TGridObject& GridObject() const { return *fGridObject; }
    QString Context() const { return GetContext(); }
    // Takes the step back with esUndo in the grid's edit state, so that
    // the writes it makes are not recorded again.
    void Undo();
    virtual void Store(qint32 ACol, qint32 ARow, const TDrawCellInfo* ACellInfo);
    // What the record holds, roughly, in bytes; the list bounds its total.
    virtual qint64 MemorySize() const { return 64; }

protected:
    virtual QString GetContext() const { return QString(); }
    virtual void DoUndo() = 0;
    TUndoList* UndoList() const { return fUndoList; }

private:
    friend class TUndoList;
    friend class TUndoGroup;
    TUndoList* fUndoList = nullptr;
    TGridObject* fGridObject;
};

// A typed or edited entry.
class TUndoEdit : public TGridObjectUndo {
public:
    TUndoEdit(TGridObject* AGridObject, qint32 ACol, qint32 ARow);
    QString SavedText() const { return fSavedText; }
    bool TakenInEditor() const { return fEditorMode; }
    // The editor's text was written to the cell: the record now undoes the
    // write, putting the cell's text back as it was before the session.
    void LeaveEditor() { fEditorMode = false; }
    qint64 MemorySize() const override { return 96 + 2 * fSavedText.size(); }

protected:
    QString GetContext() const override;
    void DoUndo() override;

private:
    QString fSavedText;
    qint32 fCol;
    qint32 fRow;
    TCharPos fCaretPos;
    TCharPos fStartPos;
    bool fPasteText = false;
    bool fEditorMode = false;
};

// A cell object the clear command took out of the grid.
class TUndoCell : public TGridObjectUndo {
public:
    TUndoCell(TGridObject* AGridObject, std::unique_ptr<TCellObject> ACellObject);
    ~TUndoCell() override;
    qint64 MemorySize() const override;

protected:
    QString GetContext() const override;
    void DoUndo() override;

private:
    std::unique_ptr<TCellObject> fCellObject;
};

// Several records taken back as one step, the newest first: a clear of a
// selection is one command for the user, however many cells it held.
class TUndoGroup : public TGridObjectUndo {
public:
    using TGridObjectUndo::TGridObjectUndo;
    void Add(std::unique_ptr<TGridObjectUndo> Item) { fItems.push_back(std::move(Item)); }
    int Count() const { return int(fItems.size()); }
    qint64 MemorySize() const override;

protected:
    QString GetContext() const override;
    void DoUndo() override;

private:
    std::vector<std::unique_ptr<TGridObjectUndo>> fItems;
};

// The cells a paste overwrote, with their look.
class TUndoPaste : public TGridObjectUndo {
public:
    using TGridObjectUndo::TGridObjectUndo;
    int Count() const { return int(fList.size()); }
    TGridRegion Region() const { return fRegion; }
    void Store(qint32 ACol, qint32 ARow, const TDrawCellInfo* ACellInfo) override;
    qint64 MemorySize() const override { return fMemory; }

protected:
    QString GetContext() const override;
    void DoUndo() override;

private:
    std::vector<std::unique_ptr<TDrawCellInfo>> fList;
    TGridRegion fRegion {};
    qint64 fMemory = 64;
};

// A block of cells dragged to another place: the cells it covered there,
// so that taking the move back restores them.
class TUndoDragRegion : public TGridObjectUndo {
public:
    TUndoDragRegion(TGridObject* AGridObject, const TGridRegion& ASource, const TGridRegion& ADest);
    TGridRegion SourceRegion() const { return fSourceRegion; }
    TGridRegion DestRegion() const { return fDestRegion; }
    int Count() const { return int(fList.size()); }
    // Takes over the record of the cell at (ACol, ARow) as the move finds
    // it; HadObject tells whether a cell object stood there.
    void StoreCell(std::unique_ptr<TDrawCellInfo> Info, bool HadObject);
    qint64 MemorySize() const override { return fMemory; }

protected:
    void DoUndo() override;

private:
    struct TStored {
        std::unique_ptr<TDrawCellInfo> Info;
        bool HadObject;
    };
    std::vector<TStored> fList;
    TGridRegion fSourceRegion;
    TGridRegion fDestRegion;
    qint64 fMemory = 64;
};

// The records of one grid, newest last.
class TUndoList {
public:
    explicit TUndoList(TGridObject* AGridObject);
    virtual ~TUndoList();
    TUndoList(const TUndoList&) = delete;
    TUndoList& operator=(const TUndoList&) = delete;

    static constexpr int UndoCount = 1024;
    // A pasted block of a hundred thousand cells takes some tens of
    // megabytes; 1024 such records would take gigabytes, so the records
    // together are held to 64 MB, the oldest leaving first. The newest
    // record always stays, whatever its size.
    static constexpr qint64 MemoryLimit = 64ll * 1024 * 1024;

    int Count() const { return int(fItems.size()); }
    TGridObjectUndo* Items(int Index) const { return fItems[size_t(Index)].get(); }
    QString Context() const { return GetContext(); }
    virtual QString GetContext() const;
    virtual TGridObjectUndo* AddItem(std::unique_ptr<TGridObjectUndo> Item);
    // Takes a record off without undoing it, as a paste that wrote nothing.
    void Remove(TGridObjectUndo* Item);
    virtual void Undo();
    void Clear();
    qint64 MemorySize() const;
    bool StartEditor() const { return fStartEditor; }
    void SetStartEditor() { fStartEditor = true; }
    // Verifies the bounds and that every record belongs to this list's grid.
    bool CheckConsistency(QString* Fault = nullptr) const;
    // Call after a record grew: the bound is kept again.
    void Trim();

private:
    TGridObject* fGridObject;
    std::deque<std::unique_ptr<TGridObjectUndo>> fItems;
    bool fStartEditor = false;
};
