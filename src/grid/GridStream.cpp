#include "grid/GridStream.h"

#include "grid/GridObject.h"
#include "grid/model/TextFlags.h"

#include <QtEndian>

#include <map>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace {

constexpr char Magic[4] = { 'V', 'G', 'R', 'D' };
constexpr quint16 Version = 1;

enum TValueType : quint8 { vtInt, vtInt64, vtBool, vtString, vtFont, vtOrders };

using TValue = std::variant<qint32, qint64, bool, QString, TGridFont, TChangedOrders>;

// Each stored property: its tag in the stream, its name and its type. Tags
// never change meaning; new properties take new tags.
struct TPropertyDef {
    quint8 Tag;
    const char* Name;
    TValueType Type;
};

constexpr TPropertyDef GridProperties[] = {
    { 1, "ColCount", vtInt },
    { 2, "RowCount", vtInt },
    { 3, "FixedCols", vtInt },
    { 4, "FixedRows", vtInt },
    { 5, "DefaultColWidth", vtInt },
    { 6, "DefaultRowHeight", vtInt },
    { 7, "SpaceWidth", vtInt },
    { 8, "SpaceHeight", vtInt },
    { 9, "Ctl3D", vtBool },
    { 10, "HideSelection", vtBool },
    { 11, "SelectionFrame", vtBool },
    { 12, "Highlight", vtBool },
    { 13, "AutoCollapse", vtBool },
    { 14, "RowSizing", vtBool },
    { 15, "ColSizing", vtBool },
    { 16, "RowMoving", vtBool },
    { 17, "ColMoving", vtBool },
    { 18, "AutoNumCols", vtBool },
    { 19, "AutoNumRows", vtBool },
    { 20, "AutoRowStart", vtInt },
    { 21, "RowSelect", vtBool },
    { 22, "clFixedCell", vtInt },
    { 23, "clFixedSpace", vtInt },
    { 24, "clEditCell", vtInt },
    { 25, "clEditSpace", vtInt },
    { 26, "clFixedHighlight", vtInt },
    { 27, "clEditHighlight", vtInt },
    { 28, "clEditor", vtInt },
    { 29, "xlCursors", vtBool },
    { 30, "InternalEditor", vtBool },
    { 31, "ReadOnly", vtBool },
    { 32, "AutoHint", vtBool },
    { 33, "EnableCalculation", vtBool },
    { 34, "CellExitKeys", vtInt },
    { 35, "UseTheme", vtBool },
    { 36, "UndoEnabled", vtBool },
};

constexpr TPropertyDef ItemProperties[] = {
    { 1, "Name", vtString },
    { 2, "Title", vtString },
    { 3, "Cell", vtInt64 },
    { 4, "Size", vtInt },
    { 5, "Visible", vtBool },
    { 6, "Font", vtFont },
    { 7, "Alignment", vtInt },
    { 8, "BackColor", vtInt },
    { 9, "ReadOnly", vtBool },
    { 10, "Tag", vtInt },
    { 11, "FirstCol", vtInt },
    { 12, "FirstRow", vtInt },
    { 13, "LastCol", vtInt },
    { 14, "LastRow", vtInt },
    { 15, "CellFormat", vtInt },
    { 16, "Content", vtString },
    { 17, "Precision", vtInt },
    { 18, "ChangedOrders", vtOrders },
};

using TRecord = std::map<quint8, TValue>;

const TPropertyDef* FindDef(const TPropertyDef* Begin, const TPropertyDef* End, quint8 Tag)
{
    for (const TPropertyDef* D = Begin; D != End; ++D)
        if (D->Tag == Tag)
            return D;
    return nullptr;
}

class TWriter {
public:
    void Raw(const void* P, qsizetype N) { fData.append(static_cast<const char*>(P), N); }
    void U8(quint8 V) { Raw(&V, 1); }
    void U16(quint16 V)
    {
        V = qToLittleEndian(V);
        Raw(&V, 2);
    }
    void U32(quint32 V)
    {
        V = qToLittleEndian(V);
        Raw(&V, 4);
    }
    void I64(qint64 V)
    {
        V = qToLittleEndian(V);
        Raw(&V, 8);
    }
    void String(const QString& S)
    {
        U32(quint32(S.size()));
        for (QChar C : S)
            U16(C.unicode());
    }
    void Value(const TValue& V)
    {
        if (auto* I = std::get_if<qint32>(&V))
            U32(quint32(*I));
        else if (auto* L = std::get_if<qint64>(&V))
            I64(*L);
        else if (auto* B = std::get_if<bool>(&V))
            U8(*B ? 1 : 0);
        else if (auto* S = std::get_if<QString>(&V))
            String(*S);
        else if (auto* F = std::get_if<TGridFont>(&V)) {
            String(F->Name());
            U8(F->Charset());
            U32(F->Color());
            U32(quint32(F->Height()));
            U8(F->Style().Bits());
            U32(quint32(F->PixelsPerInch()));
            U8(quint8(F->Pitch()));
        } else if (auto* O = std::get_if<TChangedOrders>(&V)) {
            // Four 32-bit little-endian stamps: font, alignment, colour,
            // drop list.
            for (qint32 Stamp : *O)
                U32(quint32(Stamp));
        }
    }
    void Record(const TRecord& R)
    {
        for (const auto& [Tag, V] : R) {
            U8(Tag);
            Value(V);
        }
        U8(0);
    }
    QByteArray fData;
};

class TReader {
public:
    explicit TReader(const QByteArray& Data)
        : fData(Data)
    {
    }
    qsizetype Left() const { return fData.size() - fPos; }
    bool Raw(void* P, qsizetype N)
    {
        if (N < 0 || Left() < N)
            return Fail("truncated");
        memcpy(P, fData.constData() + fPos, size_t(N));
        fPos += N;
        return true;
    }
    bool U8(quint8& V) { return Raw(&V, 1); }
    bool U16(quint16& V)
    {
        if (!Raw(&V, 2))
            return false;
        V = qFromLittleEndian(V);
        return true;
    }
    bool U32(quint32& V)
    {
        if (!Raw(&V, 4))
            return false;
        V = qFromLittleEndian(V);
        return true;
    }
    bool I64(qint64& V)
    {
        if (!Raw(&V, 8))
            return false;
        V = qFromLittleEndian(V);
        return true;
    }
    bool String(QString& S)
    {
        quint32 N = 0;
        if (!U32(N))
            return false;
        // The length is checked against what is left before anything is
        // allocated, so a garbled length cannot ask for gigabytes.
        if (qsizetype(N) > Left() / 2)
            return Fail("string longer than the stream");
        S.resize(qsizetype(N));
        for (quint32 I = 0; I < N; ++I) {
            quint16 U = 0;
            U16(U);
            S[qsizetype(I)] = QChar(char16_t(U));
        }
        return true;
    }
    bool Value(TValueType Type, TValue& V)
    {
        quint8 B = 0;
        quint32 U = 0;
        switch (Type) {
        case vtInt:
            if (!U32(U))
                return false;
            V = qint32(U);
            return true;
        case vtInt64: {
            qint64 L = 0;
            if (!I64(L))
                return false;
            V = L;
            return true;
        }
        case vtBool:
            if (!U8(B))
                return false;
            if (B > 1)
                return Fail("bad Boolean");
            V = B == 1;
            return true;
        case vtString: {
            QString S;
            if (!String(S))
                return false;
            V = S;
            return true;
        }
        case vtFont: {
            TGridFont F;
            QString Name;
            quint32 Color = 0, Height = 0, Ppi = 0;
            quint8 Charset = 0, Style = 0, Pitch = 0;
            if (!String(Name) || !U8(Charset) || !U32(Color) || !U32(Height) || !U8(Style)
                || !U32(Ppi) || !U8(Pitch))
                return false;
            if (Style > 0x0F || Pitch > fpFixed || qint32(Ppi) <= 0)
                return Fail("bad font");
            F.SetName(Name);
            F.SetCharset(Charset);
            F.SetColor(Color);
            F.SetPixelsPerInch(qint32(Ppi));
            F.SetHeight(qint32(Height));
            F.SetStyle(TFontStyles::FromBits(Style));
            F.SetPitch(TFontPitch(Pitch));
            V = F;
            return true;
        }
        case vtOrders: {
            TChangedOrders O {};
            for (qint32& Stamp : O) {
                if (!U32(U))
                    return false;
                Stamp = qint32(U);
            }
            V = O;
            return true;
        }
        }
        return Fail("bad type");
    }
    bool Record(const TPropertyDef* Begin, const TPropertyDef* End, TRecord& R)
    {
        while (true) {
            quint8 Tag = 0;
            if (!U8(Tag))
                return false;
            if (Tag == 0)
                return true;
            const TPropertyDef* Def = FindDef(Begin, End, Tag);
            if (!Def)
                return Fail("unknown property");
            if (R.count(Tag))
                return Fail("property stored twice");
            TValue V;
            if (!Value(Def->Type, V))
                return false;
            R.emplace(Tag, std::move(V));
        }
    }
    bool Fail(const char* Why)
    {
        if (fError.isEmpty())
            fError = QString::fromLatin1(Why);
        return false;
    }
    QString fError;

private:
    const QByteArray& fData;
    qsizetype fPos = 0;
};

TRecord GridRecord(const TGridObject& G)
{
    TRecord R;
    R[1] = G.ColCount();
    R[2] = G.RowCount();
    R[3] = G.FixedCols();
    R[4] = G.FixedRows();
    R[5] = G.DefaultColWidth();
    R[6] = G.DefaultRowHeight();
    R[7] = G.SpaceWidth();
    R[8] = G.SpaceHeight();
    R[9] = G.Ctl3D();
    R[10] = G.HideSelection();
    R[11] = G.SelectionFrame();
    R[12] = G.Highlight();
    R[13] = G.AutoCollapse();
    R[14] = G.RowSizing();
    R[15] = G.ColSizing();
    R[16] = G.RowMoving();
    R[17] = G.ColMoving();
    R[18] = G.AutoNumCols();
    R[19] = G.AutoNumRows();
    R[20] = G.AutoRowStart();
    R[21] = G.RowSelect();
    for (int I = 0; I < 7; ++I)
        R[quint8(22 + I)] = qint32(G.GridColor(TGridObject::TGridColorIndex(I)));
    R[29] = G.xlCursors();
    R[30] = G.InternalEditor();
    R[31] = G.ReadOnly();
    R[32] = G.AutoHint();
    R[33] = G.EnableCalculation();
    R[34] = qint32(G.CellExitKeys().Bits());
    R[35] = G.UseTheme();
    R[36] = G.UndoEnabled();
    return R;
}

// The properties every cell object shares, where they differ from the
// creation defaults.
void ObjectRecord(const TCellObject& O, const TGridFont& DefaultFont, TRecord& R)
{
    if (!O.Name().isEmpty())
        R[1] = O.Name();
    if (O.Cell() != -1)
        R[3] = qint64(O.Cell());
    if (!(O.Font() == DefaultFont))
        R[6] = O.Font();
    if (O.Alignment() != FlagsToAlignment(TextFlags::tfObjectDefault))
        R[7] = qint32(O.Alignment().Bits());
    if (O.BackColor() != clWhite)
        R[8] = qint32(O.BackColor());
    if (O.ReadOnly())
        R[9] = true;
    if (O.Tag() != 0)
        R[10] = O.Tag();
    const TChangedOrders& Orders = O.ChangedOrders();
    if (Orders[0] || Orders[1] || Orders[2] || Orders[3])
        R[18] = Orders;
}

TRecord HeadRecord(const THead& H, const TGridFont& DefaultFont)
{
    TRecord R;
    ObjectRecord(H, DefaultFont, R);
    if (H.Title().Count() > 0)
        R[2] = H.Title().GetWideText();
    if (H.Size() != 20)
        R[4] = H.Size();
    if (!H.Visible())
        R[5] = false;
    return R;
}

TRecord CellRecord(const TCell& C, const TGridFont& DefaultFont)
{
    TRecord R;
    ObjectRecord(C, DefaultFont, R);
    // Coordinates are always written: a cell is nothing without them.
    R[11] = C.FirstCol();
    R[12] = C.FirstRow();
    R[13] = C.LastCol();
    R[14] = C.LastRow();
    if (C.CellFormat() != cfmtDefault)
        R[15] = qint32(C.CellFormat());
    if (!C.Content().isEmpty())
        R[16] = C.Content();
    if (C.Precision() != 3)
        R[17] = qint32(C.Precision());
    return R;
}

template <typename T>
T Get(const TRecord& R, quint8 Tag, T Default)
{
    auto It = R.find(Tag);
    return It == R.end() ? Default : std::get<T>(It->second);
}

void ApplyObject(TCellObject& O, const TRecord& R, const TGridFont& DefaultFont)
{
    O.SetFont(Get<TGridFont>(R, 6, DefaultFont));
    O.SetAlignment(TTextAlignment::FromBits(
        quint32(Get<qint32>(R, 7, qint32(FlagsToAlignment(TextFlags::tfObjectDefault).Bits())))));
    O.SetBackColor(TColor(Get<qint32>(R, 8, qint32(clWhite))));
    O.SetReadOnly(Get<bool>(R, 9, false));
    O.SetTag(Get<qint32>(R, 10, 0));
    O.LoadChangedOrders(Get<TChangedOrders>(R, 18, TChangedOrders {}));
}

struct TLoaded {
    TRecord Grid;
    std::vector<TRecord> Cols;
    std::vector<TRecord> Rows;
    std::vector<TRecord> Cells;
};

bool ReadList(TReader& In, std::vector<TRecord>& List)
{
    quint32 N = 0;
    if (!In.U32(N))
        return false;
    // Every record takes at least its end mark.
    if (qsizetype(N) > In.Left())
        return In.Fail("item count larger than the stream");
    List.resize(N);
    for (TRecord& R : List)
        if (!In.Record(std::begin(ItemProperties), std::end(ItemProperties), R))
            return false;
    return true;
}

// The checks that keep a stored grid from breaking the model's invariants:
// every number unique, every cell inside the data area and on its own cell.
bool Validate(TReader& In, const TLoaded& L)
{
    const qint32 Cols = std::max(1, Get<qint32>(L.Grid, 1, 5));
    const qint32 Rows = std::max(1, Get<qint32>(L.Grid, 2, 5));
    const qint32 FixedCols = std::clamp(Get<qint32>(L.Grid, 3, 1), 0, Cols - 1);
    const qint32 FixedRows = std::clamp(Get<qint32>(L.Grid, 4, 1), 0, Rows - 1);
    for (const auto* List : { &L.Cols, &L.Rows }) {
        std::set<qint64> Numbers;
        for (const TRecord& R : *List) {
            const qint64 N = Get<qint64>(R, 3, -1);
            if (N < -1 || (N >= 0 && !Numbers.insert(N).second))
                return In.Fail("head numbers repeat");
            if (R.count(11) || R.count(15) || R.count(16))
                return In.Fail("cell property on a head");
        }
    }
    std::set<std::pair<qint32, qint32>> Positions;
    for (const TRecord& R : L.Cells) {
        const TGridRegion Region { Get<qint32>(R, 11, 0), Get<qint32>(R, 12, 0),
            Get<qint32>(R, 13, 0), Get<qint32>(R, 14, 0) };
        const TGridRegion Area { FixedCols, FixedRows, Cols - 1, Rows - 1 };
        if (!Area.Contains(Region.First()) || !Region.IsNormal())
            return In.Fail("cell outside the data area");
        if (!Positions.insert({ Region.FirstRow, Region.FirstCol }).second)
            return In.Fail("two cells at one position");
        const qint32 Format = Get<qint32>(R, 15, cfmtDefault);
        const qint32 Precision = Get<qint32>(R, 17, 3);
        if (Format < cfmtDefault || Format > cfmtTime || Precision < 0 || Precision > 15)
            return In.Fail("bad number format");
        if (R.count(2) || R.count(4) || R.count(5))
            return In.Fail("head property on a cell");
    }
    return true;
}

void ApplyGrid(TGridObject& G, const TRecord& R)
{
    G.SetColCount(Get<qint32>(R, 1, 5));
    G.SetRowCount(Get<qint32>(R, 2, 5));
    G.SetFixedCols(Get<qint32>(R, 3, 1));
    G.SetFixedRows(Get<qint32>(R, 4, 1));
    G.SetDefaultColWidth(Get<qint32>(R, 5, 100));
    G.SetDefaultRowHeight(Get<qint32>(R, 6, 20));
    G.SetSpaceWidth(Get<qint32>(R, 7, 3));
    G.SetSpaceHeight(Get<qint32>(R, 8, 5));
    G.SetCtl3D(Get<bool>(R, 9, true));
    G.SetHideSelection(Get<bool>(R, 10, false));
    G.SetSelectionFrame(Get<bool>(R, 11, false));
    G.SetHighlight(Get<bool>(R, 12, false));
    G.SetAutoCollapse(Get<bool>(R, 13, true));
    G.SetRowSizing(Get<bool>(R, 14, true));
    G.SetColSizing(Get<bool>(R, 15, true));
    G.SetRowMoving(Get<bool>(R, 16, true));
    G.SetColMoving(Get<bool>(R, 17, true));
    G.SetAutoNumCols(Get<bool>(R, 18, true));
    G.SetAutoNumRows(Get<bool>(R, 19, true));
    G.SetAutoRowStart(Get<qint32>(R, 20, 1));
    G.SetRowSelect(Get<bool>(R, 21, false));
    const TGridObject Defaults;
    for (int I = 0; I < 7; ++I) {
        const auto Index = TGridObject::TGridColorIndex(I);
        G.SetGridColor(Index, TColor(Get<qint32>(R, quint8(22 + I), qint32(Defaults.GridColor(Index)))));
    }
    G.SetxlCursors(Get<bool>(R, 29, false));
    G.SetInternalEditor(Get<bool>(R, 30, true));
    G.SetReadOnly(Get<bool>(R, 31, false));
    G.SetAutoHint(Get<bool>(R, 32, false));
    G.SetEnableCalculation(Get<bool>(R, 33, true));
    G.SetCellExitKeys(TGridCellExitKeys::FromBits(
        quint8(Get<qint32>(R, 34, qint32(Defaults.CellExitKeys().Bits())))));
    G.SetUseTheme(Get<bool>(R, 35, false));
    G.SetUndoEnabled(Get<bool>(R, 36, true));
}

}

QByteArray TGridStream::Save(const TGridObject& G)
{
    const TGridFont DefaultFont = G.GridControl() ? *const_cast<TGridObject&>(G).ControlFont() : TGridFont();
    TWriter Out;
    Out.Raw(Magic, 4);
    Out.U16(Version);
    Out.Record(GridRecord(G));
    for (const THeadList* List : { &G.Cols(), &G.Rows() }) {
        Out.U32(quint32(List->Count()));
        for (int I = 0; I < List->Count(); ++I)
            Out.Record(HeadRecord(*List->Items(I), DefaultFont));
    }
    Out.U32(quint32(G.Cells().Count()));
    for (int I = 0; I < G.Cells().Count(); ++I)
        Out.Record(CellRecord(*G.Cells().Items(I), DefaultFont));
    return Out.fData;
}

bool TGridStream::Load(TGridObject& G, const QByteArray& Data, QString* Error)
{
    TReader In(Data);
    TLoaded L;
    char Head[4] = {};
    quint16 V = 0;
    bool Ok = In.Raw(Head, 4) && (memcmp(Head, Magic, 4) == 0 || In.Fail("not a stored grid"))
        && In.U16(V) && (V == Version || In.Fail("unknown version"))
        && In.Record(std::begin(GridProperties), std::end(GridProperties), L.Grid)
        && ReadList(In, L.Cols) && ReadList(In, L.Rows) && ReadList(In, L.Cells)
        && (In.Left() == 0 || In.Fail("data after the grid")) && Validate(In, L);
    if (!Ok) {
        if (Error)
            *Error = In.fError;
        return false;
    }
    // Everything is checked; from here on the grid only takes values.
    const TGridFont DefaultFont = G.GridControl() ? *G.ControlFont() : TGridFont();
    G.SetLoading(true);
    G.Cells().Clear();
    G.Cols().Clear();
    G.Rows().Clear();
    ApplyGrid(G, L.Grid);
    for (auto [List, Records] : { std::pair { &G.Cols(), &L.Cols }, std::pair { &G.Rows(), &L.Rows } }) {
        TCollectionUpdate Update(*List);
        for (const TRecord& R : *Records) {
            THead* H = List->Add();
            ApplyObject(*H, R, DefaultFont);
            H->WideStrings().SetWideText(Get<QString>(R, 2, QString()));
            H->SetSize(Get<qint32>(R, 4, 20));
            H->SetVisible(Get<bool>(R, 5, true));
            H->SetCell(Get<qint64>(R, 3, -1));
            H->RestoreName(Get<QString>(R, 1, QString()));
        }
    }
    {
        TCollectionUpdate Update(G.Cells());
        for (const TRecord& R : L.Cells) {
            TCell* C = G.Cells().Add();
            const TGridCell First { Get<qint32>(R, 11, 0), Get<qint32>(R, 12, 0) };
            C->SetCoord(First);
            C->SetCoord(TGridRegion { First.Col, First.Row, Get<qint32>(R, 13, 0), Get<qint32>(R, 14, 0) });
            ApplyObject(*C, R, DefaultFont);
            C->SetCellFormat(TCellFormat(Get<qint32>(R, 15, cfmtDefault)));
            C->SetPrecision(quint8(Get<qint32>(R, 17, 3)));
            C->SetContent(Get<QString>(R, 16, QString()));
            // The number follows from the position; a stored number that
            // disagrees is not allowed to break the order of the list.
            C->RestoreName(Get<QString>(R, 1, QString()));
        }
    }
    G.SetLoading(false);
    G.Selection().UpdateRange();
    G.InvalidateGrid();
    G.UpdateScrollBars();
    return true;
}
