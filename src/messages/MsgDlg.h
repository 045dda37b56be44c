#pragma once

#include "messages/MsgButtons.h"

#include <QString>

class TMyMsgDlg;

// Shows a message in the system's own message box and returns the TMsgResult of the button
// that closed it. The text also goes to the diagnostic trace ("[MsgInfo] " + text), as a
// warning when the icon is iEXCLAMATION or iHAND. An empty caption keeps "Tessaline".
//
// Messages do not nest: a call on the main thread while a message is on screen returns
// mrNone at once. A call from another thread is shown by the main thread; the caller waits
// for the answer, and callers from other threads wait for each other. When the own box
// cannot be shown, the platform's message box asks instead. Without a widget application
// nothing is shown and the result is mrNone.
int ShowMsgDlg(const QString& text, TButtonSet buttons, const QString& caption = {});

// Creates and destroys the one current message window. Replaceable so that a program can
// style its messages differently; a factory that throws makes ShowMsgDlg fall back to the
// platform's message box.
class TDlgFactory {
public:
    virtual ~TDlgFactory();
    // The current window, created when there is none.
    virtual TMyMsgDlg* DoCreate();
    virtual void DoFree();

protected:
    TMyMsgDlg* fDialog = nullptr;
};

// Installs a factory (not owned) and returns the previous one; nullptr restores the default.
TDlgFactory* SetDlgFactory(TDlgFactory* factory);
