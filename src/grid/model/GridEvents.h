#pragma once

#include "grid/model/GridTypes.h"

#include <QRect>
#include <QString>

#include <functional>

class TPersistent;
class THead;
class TDrawCellInfo;
class IGridCanvas;

// Cell-level callbacks. Each has a handled flag that starts false; the first
// handler of the chain that sets it wins.
using TGetEditEvent = std::function<void(TPersistent* Sender, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, QString& Value, bool& Handled)>;
using TSetEditEvent = std::function<void(TPersistent* Sender, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, const QString& Value, bool& Handled)>;
using TGetCellInfo = std::function<void(TPersistent* Sender, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TDrawCellInfo& CellInfo,
    bool& Handled)>;
using TDrawCellEvent = std::function<void(TPersistent* Sender, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, QRect ATextRect,
    TDrawCellInfo& CellInfo, IGridCanvas* ACanvas, bool& Handled)>;
// Whole columns or rows were dragged: ACount of them from AStartMoving so
// that they end at AEndMoving.
using TMovedEvent = std::function<void(TPersistent* Sender, qint32 AStartMoving,
    qint32 AEndMoving, qint32 ACount)>;
