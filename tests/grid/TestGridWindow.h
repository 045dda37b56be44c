#pragma once

#include "grid/GridCanvas.h"
#include "grid/GridWindow.h"
#include "grid/model/GridFont.h"

#include <vector>

// Measures every character as 7 by 13 pixels.
class TTestCanvas : public IGridCanvas {
public:
    QSize TextExtent(const TGridFont&, const QString& Text, quint32) override
    {
        return QSize(int(Text.size()) * 7, 13);
    }
};

// The window a grid object talks to in tests: a fixed client rectangle, a
// fixed-pitch canvas and logs of what the grid asked for.
class TTestGridWindow : public IGridWindow {
public:
    explicit TTestGridWindow(QRect Client = QRect(0, 0, 400, 200))
        : Client(Client)
    {
    }

    QRect ClientRect() const override { return Client; }
    QRect ControlRect() const override { return Client; }
    IGridCanvas* Canvas() override { return &TestCanvas; }
    const TGridFont& Font() const override { return GridFont; }
    bool HasFocus() const override { return true; }
    bool IsLoading() const override { return Loading; }
    bool IsDesigning() const override { return false; }
    bool HasScalingFlags() const override { return true; }
    void InvalidateRect(const QRect& Rect, bool) override { Invalidated.push_back(Rect); }
    void Update() override { }
    void UpdateScrollBars() override { ++ScrollBarUpdates; }
    void SetTimerEvent(std::function<void()> Event, int Interval) override
    {
        Timer = std::move(Event);
        TimerInterval = Timer ? Interval : 0;
    }
    void TopLeftChanged() override { ++TopLeftChanges; }
    void SelectionChanged(TRange&, TGridObjectCollectionItem*) override { ++SelectionChanges; }
    bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead*, THead*, QString& Text) override
    {
        Text.clear();
        if (GetText)
            return GetText(ACol, ARow, AState, Text);
        if (!EditText)
            return false;
        return EditText(ACol, ARow, Text);
    }
    bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead*, THead*,
        const QString& Text) override
    {
        return SetText && SetText(ACol, ARow, AState, Text);
    }
    bool IsTabStop() const override { return TabStop; }
    bool GetCellInfo(qint32, qint32, TCellStates, THead*, THead*, TDrawCellInfo&) override
    {
        return false;
    }

    QRect Client;
    TTestCanvas TestCanvas;
    TGridFont GridFont;
    bool Loading = false;
    std::vector<QRect> Invalidated;
    int ScrollBarUpdates = 0;
    int TopLeftChanges = 0;
    int SelectionChanges = 0;
    std::function<void()> Timer;
    int TimerInterval = 0;
    std::function<bool(qint32, qint32, QString&)> EditText;
    // Handlers that also see the state the grid asks in.
    std::function<bool(qint32, qint32, TCellStates, QString&)> GetText;
    std::function<bool(qint32, qint32, TCellStates, const QString&)> SetText;
    bool TabStop = false;
};
