#pragma once

#include "grid/model/CellObject.h"

#include <vector>

// A row or a column head: a column head in the grid's column list, a row
// head in its row list.
class THead : public TCellObject {
public:
    explicit THead(IGridHost* Grid = nullptr, qint32 DefSize = 20);
    ~THead() override;

    qint32 Size() const { return fSize; }
    void SetSize(qint32 Value);
    // The size before the head was collapsed; 0 when it is not collapsed.
    qint32 AnchorSize() const { return fAnchorSize; }
    void SetAnchorSize(qint32 Value) { fAnchorSize = Value; }
    bool Visible() const { return fVisible; }
    void SetVisible(bool Value);
    // The selection's commands write sizes and visibility without a change
    // notification of their own and lay out once at the end.
    void StoreSize(qint32 Value) { fSize = Value; }
    void StoreVisible(bool Value) { fVisible = Value; }
    const TWideText& Title() const { return WideStrings(); }
    void SetTitle(const TWideStrings& Value);

    // The head list's collapse history, or none outside a head list.
    virtual std::vector<THead*>* CollapseHistory();
    // Under a control, numbers stay with the positions and the head moves.
    void SetIndex(int Value) override;

    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("THead"); }

private:
    qint32 fSize;
    qint32 fAnchorSize = 0;
    bool fVisible = true;
};
