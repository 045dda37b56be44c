#pragma once

#include "grid/GridCanvas.h"
#include "grid/GridWindow.h"
#include "grid/model/GridFont.h"

#include <functional>

// A canvas that measures every character seven pixels wide, and a full-HD
// sized window that asks nothing of the grid; the benchmark fires its timer
// by hand.
class TBenchCanvas : public IGridCanvas {
public:
    QSize TextExtent(const TGridFont&, const QString& Text, quint32) override
    {
        return QSize(int(Text.size()) * 7, 13);
    }
};

class TBenchWindow : public IGridWindow {
public:
    QRect ClientRect() const override { return QRect(0, 0, 1900, 1000); }
    QRect ControlRect() const override { return ClientRect(); }
    IGridCanvas* Canvas() override { return &fCanvas; }
    const TGridFont& Font() const override { return fFont; }
    bool HasFocus() const override { return true; }
    bool IsLoading() const override { return false; }
    bool IsDesigning() const override { return false; }
    bool HasScalingFlags() const override { return true; }
    void InvalidateRect(const QRect&, bool) override { }
    void Update() override { }
    void UpdateScrollBars() override { }
    void SetTimerEvent(std::function<void()> Event, int) override { Timer = std::move(Event); }
    void TopLeftChanged() override { }
    void SelectionChanged(TRange&, TGridObjectCollectionItem*) override { }
    bool GetEditText(qint32, qint32, TCellStates, THead*, THead*, QString&) override
    {
        return false;
    }
    bool SetEditText(qint32, qint32, TCellStates, THead*, THead*, const QString&) override
    {
        return false;
    }
    bool GetCellInfo(qint32, qint32, TCellStates, THead*, THead*, TDrawCellInfo&) override
    {
        return false;
    }

    std::function<void()> Timer;

private:
    TBenchCanvas fCanvas;
    TGridFont fFont;
};
