#pragma once

#include "grid/model/GridCell.h"

#include <QString>

// What the formula engine asks of the grid its formulas live in: resolving
// the names of cells and regions, and reading (and so calculating) cells. The
// grid object implements it; the formula engine knows nothing else of it.
class IInterfaceGridObject {
public:
    virtual ~IInterfaceGridObject() = default;

    virtual bool GetColIndexByName(const QString& AName, qint32& Index) const = 0;
    // Resolves a name in letters-and-digits form; RCName receives its form
    // relative to ACurrent.
    virtual bool GetRegionCoordByName(
        const QString& AName, TGridCell ACurrent, QString& RCName, TGridRegion& Coord) const = 0;
    virtual QString GetCellName(qint32 ACol, qint32 ARow) const = 0;
    virtual QString GetRowName(qint32 ARow) const = 0;
    virtual QString GetColName(qint32 ACol) const = 0;
    virtual QString GetRegionName(const TGridRegion& Coord) const = 0;
    // The cell's text, calculating a formula cell first; may raise
    // ECyclicalReference.
    virtual QString GetCellValue(qint32 ACol, qint32 ARow) = 0;
    virtual void SetCellValue(qint32 ACol, qint32 ARow, const QString& AText) = 0;
};
