#pragma once

#include "TestGridWindow.h"
#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "text/MyClipboard.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// One user action on a grid: a key (down and up) or typed text, each
// character as a key press of its own.
struct TKeyStep {
    int Key = 0;
    TShiftState Shift;
    QString Text;
};

inline TKeyStep Press(int Key, TShiftState Shift = {}) { return { Key, Shift, QString() }; }
inline TKeyStep Type(const QString& Text) { return { 0, {}, Text }; }

// A clipboard that lives in the test.
struct TMemoryClipboard : IPlatformClipboard {
    std::unique_ptr<QMimeData> Held;
    const QMimeData* Data() const override { return Held.get(); }
    void SetData(QMimeData* D) override { Held.reset(D); }
};

// A grid of 5 by 5 data cells on a window that measures 7 pixels a
// character, with the consistency check after every step.
struct TKeyGrid {
    TTestGridWindow W;
    TGridObject G { &W };
    TMemoryClipboard Clipboard;
    TKeyGrid()
    {
        G.SetColCount(6);
        G.SetRowCount(6);
        TMyClipboard::Instance().SetPlatform(&Clipboard);
    }
    ~TKeyGrid() { TMyClipboard::Instance().SetPlatform(nullptr); }
    QString Text(qint32 C, qint32 R) { return G.GetCellText(C, R, TCellStates()); }
    // Runs the steps and answers whether the last key was consumed.
    bool Run(const std::vector<TKeyStep>& Steps, const std::string& Case)
    {
        bool Consumed = false;
        for (size_t I = 0; I < Steps.size(); ++I) {
            const TKeyStep& S = Steps[I];
            if (S.Key != 0) {
                int Key = S.Key;
                Consumed = G.KeyDown(Key, S.Shift);
                G.KeyUp(S.Key, S.Shift);
            } else {
                for (QChar C : S.Text) {
                    int None = 0;
                    G.KeyDown(None, {});
                    Consumed = G.KeyPress(C);
                    G.KeyUp(0, {});
                }
            }
            QString Fault;
            EXPECT_TRUE(G.CheckConsistency(&Fault))
                << Case << ", step " << I << ": " << Fault.toStdString();
        }
        return Consumed;
    }
};
