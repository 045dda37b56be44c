#pragma once

#include "grid/model/DrawFormatInfo.h"
#include "grid/model/GridTypes.h"
#include "text/WideText.h"

class TCellObject;

// The effective look and the text of one cell.
class TDrawCellInfo : public TDrawFormatInfo {
public:
    void Assign(const TDrawFormatInfo& Source) override;

    QString WideText() const { return WideStrings.GetWideText(); }
    void SetWideText(const QString& Value) { WideStrings.SetWideText(Value); }
    qint32 Col() const { return fCol; }
    qint32 Row() const { return fRow; }
    // Only the grid places the record; handlers read the position.
    void SetPosition(qint32 ACol, qint32 ARow)
    {
        fCol = ACol;
        fRow = ARow;
    }

    TWideText WideStrings;
    QString FullText;
    TColor CellColor = 0;
    TCellStates State;
    bool EditorLock = false;
    bool IsValue = false;
    TCellObject* ColHead = nullptr;
    TCellObject* RowHead = nullptr;
    TCellObject* Cell = nullptr;
    TCellFormat CellFormat = cfmtDefault;
    quint8 Precision = 0;

private:
    qint32 fCol = 0;
    qint32 fRow = 0;
};
