#pragma once

#include "grid/model/GridCell.h"
#include "grid/model/GridEvents.h"
#include "text/WideStringsCollection.h"

#include <QByteArray>
#include <QRect>

#include <functional>
#include <optional>

class IGridWindow;
class TGridObject;
class THead;
class TCell;
class TCustomDropList;

enum TButtonViewStyle {
    bvsNone,
    bvsSimple,
    bvsList,
    bvsEllipsis,
    bvsCheck,
    bvsImage,
    bvsSpeedButton,
    bvsListButton
};
enum TButtonAlignment { baLeft, baRight, baCenter };
// What opening a list does: cycle to the next item, show a list viewer, or
// run the application's dialog.
enum TViewportStyle { vsNone, vsList, vsEllipsis };

// The value Data takes when no item is current.
constexpr qint32 DropListNoData = qint32(0x80000001);

using TDropListNotify = std::function<void(TCustomDropList& Sender)>;
using TGetDropList
    = std::function<void(TCustomDropList& Sender, qint32 ACol, qint32 ARow, TCellStates AState,
        THead* AColHead, THead* ARowHead, TWideStringsCollection& AList, bool& Handled)>;
using TGetButtonState = std::function<qint32(TGridObject* AGridObject, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText)>;

// Shows a list's WorkList and reports the choice with CloseUp. A viewer is
// attached to lists without being owned by them; destroying it detaches it.
class IDropListViewer {
public:
    virtual ~IDropListViewer();
    virtual void ShowList(TCustomDropList& List) = 0;
    // The list was closed elsewhere; the viewer goes away without calling
    // back.
    virtual void HideList(TCustomDropList& List) = 0;
};

// A set of predefined values for cells: a list to choose from, a dialog, a
// check box or a button. Heads, cells and drawing records refer to it
// without owning it, so one list serves any number of cells and grids; it
// describes the cell it was last opened for until it is opened for another.
class TCustomDropList {
public:
    TCustomDropList();
    virtual ~TCustomDropList();
    TCustomDropList(const TCustomDropList&) = delete;
    TCustomDropList& operator=(const TCustomDropList&) = delete;

    // The grid and control the list was last opened in, and that cell.
    TGridObject* GridObject() const { return fGridObject; }
    IGridWindow* GridControl() const { return fGridControl; }
    qint32 Col() const { return fCol; }
    qint32 Row() const { return fRow; }
    QRect TextRect() const { return fTextRect; }
    TCellStates State() const { return fState; }
    THead* ColHead() const { return fColHead; }
    THead* RowHead() const { return fRowHead; }
    TCell* Cell() const { return fCell; }
    QString CellText() const { return fCellText; }
    // A viewer puts its result here.
    void SetCellText(const QString& Value) { fCellText = Value; }

    TWideStringsCollection& List() { return fList; }
    const TWideStringsCollection& List() const { return fList; }
    void SetList(const TWideStringsCollection& Value) { fList.Assign(Value); }
    const TWideStringsCollection& WorkList() const { return fWorkList; }
    qint32 ItemIndex() const { return GetItemIndex(); }
    qint32 Data() const { return fData; }

    IDropListViewer* Viewer() const { return fViewer; }
    void SetViewer(IDropListViewer* Value) { fViewer = Value; }

    // The picture of bvsImage and bvsSpeedButton buttons, as encoded image
    // data; the window layer decodes it.
    const QByteArray& ButtonImage() const { return fButtonImage; }
    void SetButtonImage(const QByteArray& Value);
    bool ButtonTransparent() const { return fButtonTransparent; }
    void SetButtonTransparent(bool Value) { SetLook(fButtonTransparent, Value); }
    bool StretchImage() const { return fStretchImage; }
    void SetStretchImage(bool Value) { SetLook(fStretchImage, Value); }
    bool CaptionBorder() const { return fCaptionBorder; }
    void SetCaptionBorder(bool Value) { SetLook(fCaptionBorder, Value); }
    bool ButtonFlat() const { return fFlat; }
    void SetButtonFlat(bool Value) { SetLook(fFlat, Value); }

    virtual void SetItemIndex(qint32 Value);
    virtual qint32 GetItemIndex() const { return fItemIndex; }
    // WorkList becomes a copy of List.
    virtual void LoadWorkList();
    virtual IDropListViewer* GetViewer() const { return fViewer; }
    // The item the cell's current text stands for: the first item is "off",
    // the second "on" for a check box. -1 without a grid or a match.
    virtual qint32 GetChecked(TGridObject* AGridObject, qint32 ACol, qint32 ARow,
        TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell,
        const QString& CellText);
    // Describes the cell and fills WorkList for it.
    virtual void Initialize(TGridObject* AGridObject, qint32 ACol, qint32 ARow, TCellStates AState,
        THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText);
    // Opens the list on a cell: cycles, shows a viewer or runs the dialog.
    virtual void DropDown(TGridObject* AGridObject, qint32 ACol, qint32 ARow, TCellStates AState,
        THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText);
    virtual void DoDropDown();
    // Ends the choice; with Accept the chosen value goes into the cell.
    virtual void CloseUp(bool Accept);
    virtual void DoCloseUp();
    virtual void Click();

    // The value a choice writes, by DataField; none when it writes nothing.
    std::optional<QString> ChosenValue() const;
    // The list was closed without a choice (by the grid, or because it is
    // going away): an open viewer goes away and the choice ends.
    void Dismiss();
    // A grid going away is forgotten by every list that last opened in it.
    static void GridDestroying(TGridObject* AGridObject);

    TButtonViewStyle ButtonViewStyle = bvsNone;
    bool ButtonEnabled = true;
    quint16 ButtonWidth = 13;
    TButtonAlignment ButtonAlignment = baRight;
    bool ButtonAlwaysVisible = false;
    bool OpenEditor = false;
    bool CloseEditor = false;
    // -1 writes the item's text, 0 its index, -2 never writes; any other
    // value writes the empty text.
    qint32 DataField = -1;
    TViewportStyle ViewportStyle = vsNone;
    // A vsList list without a viewer of its own shows the grid window's list.
    bool InternalView = true;

    TDropListNotify OnDropDown;
    TDropListNotify OnCloseUp;
    TDropListNotify OnClick;
    TGetDropList OnGetList;
    TDrawCellEvent OnDrawButton;
    TGetButtonState OnGetButtonState;

private:
    friend class IDropListViewer;
    void SetLook(bool& Field, bool Value);
    void Repaint();
    bool ShowViewer();
    // The item a cell's text stands for.
    qint32 ItemOfText(const QString& Text) const;
    void HideViewer();

    TGridObject* fGridObject = nullptr;
    IGridWindow* fGridControl = nullptr;
    qint32 fCol = -1;
    qint32 fRow = -1;
    QRect fTextRect;
    TCellStates fState;
    THead* fColHead = nullptr;
    THead* fRowHead = nullptr;
    TCell* fCell = nullptr;
    QString fCellText;
    TWideStringsCollection fList;
    TWideStringsCollection fWorkList;
    qint32 fItemIndex = -1;
    qint32 fData = DropListNoData;
    IDropListViewer* fViewer = nullptr;
    // The viewer showing the list now, which must be told when the list
    // closes by other means.
    IDropListViewer* fShownViewer = nullptr;
    QByteArray fButtonImage;
    bool fButtonTransparent = false;
    bool fStretchImage = true;
    bool fCaptionBorder = false;
    bool fFlat = false;
    // Set between DropDown and CloseUp, while painting must not move the
    // item being chosen.
    bool fDroppedDown = false;
};
