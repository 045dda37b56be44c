#pragma once

#include "grid/model/GridEvents.h"
#include "grid/model/GridFont.h"
#include "grid/model/GridObjectCollectionItem.h"
#include "text/WideText.h"

#include <array>

class TCustomDropList;

// The attribute stamps: which of a cell's sources had an attribute set last.
enum TChangeOrder { coFont, coAlignment, coColor, coDropList };
using TChangedOrders = std::array<qint32, 4>;

// A cell number: a head's column or row index, a cell's Row * ColCount + Col.
// It is 64 bits wide so that the numbers of large grids cannot overflow.
using TCellNumber = qint64;

// The common base of heads and cells: text lines, font, alignment, colour,
// read-only flag, drop list and the per-object event handlers.
class TCellObject : public TGridObjectCollectionItem {
public:
    // Grid gives the creation defaults (the control's font), when known.
    explicit TCellObject(IGridHost* Grid = nullptr);

    TCellNumber Cell() const { return fCell; }
    void SetCell(TCellNumber Value);
    qint32 Tag() const { return fTag; }
    void SetTag(qint32 Value) { fTag = Value; }
    const TWideText& WideStrings() const { return fWideStrings; }
    TWideText& WideStrings() { return fWideStrings; }
    const TGridFont& Font() const { return fFont; }
    void SetFont(const TGridFont& Value);
    TTextAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TTextAlignment Value);
    quint32 TextFlags() const { return fTextFlags; }
    TColor BackColor() const { return fBackColor; }
    void SetBackColor(TColor Value);
    bool ReadOnly() const { return fReadOnly; }
    void SetReadOnly(bool Value) { fReadOnly = Value; }
    TCustomDropList* DropList() const { return fDropList; }
    void SetDropList(TCustomDropList* Value);
    const TChangedOrders& ChangedOrders() const { return fChangedOrders; }
    // The stamps as read from a stream; the grid's counters are raised so that
    // later changes still win.
    void LoadChangedOrders(const TChangedOrders& Value);
    TOperationState OperationState() const { return fOperationState; }
    void SetOperationState(TOperationState Value) { fOperationState = Value; }
    bool NeedRecalc() const { return fNeedRecalc; }
    void SetNeedRecalc(bool Value) { fNeedRecalc = Value; }

    virtual QString GetText() const { return fWideStrings.GetWideText(); }
    virtual void SetText(const QString& Value);
    virtual void UpdateTextFlags();
    // Plain re-indexing in the collection, without renumbering.
    virtual void MoveTo(int NewIndex);
    virtual void NoteChange(int K);
    virtual const TGridFont* DefaultFont() const;
    virtual void Calculate() { fOperationState = osCalculated; }
    virtual bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QString& Value);
    virtual bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, const QString& Value);
    virtual bool GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, TDrawCellInfo& CellInfo);
    virtual bool AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QRect ATextRect, TDrawCellInfo& CellInfo, IGridCanvas* ACanvas);

    QString DisplayName() const override;
    TItemKey SortKey() const override { return { fCell, 0 }; }
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TCellObject"); }

    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TGetCellInfo OnGetCellInfo;
    TDrawCellEvent OnAdvancedDrawCell;

protected:
    void CollectionJoined() override;
    // Stores a number without touching the list order; for lists that place
    // items themselves.
    void StoreCell(TCellNumber Value)
    {
        fCell = Value;
        SortKeyChanged();
    }
    void SignalChange() { Changed(false); }

    bool fFormulaChanged = false;
    bool fCyclicalReference = false;

private:
    friend class TCellObjectList;

    IGridHost* fGridObject = nullptr;
    TCellNumber fCell = -1;
    qint32 fTag = 0;
    TWideText fWideStrings;
    TGridFont fFont;
    TTextAlignment fAlignment;
    quint32 fTextFlags = 0;
    TColor fBackColor = clWhite;
    bool fReadOnly = false;
    TCustomDropList* fDropList = nullptr;
    TChangedOrders fChangedOrders {};
    TOperationState fOperationState = osUnknown;
    bool fNeedRecalc = false;
};
