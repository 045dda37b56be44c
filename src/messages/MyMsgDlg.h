#pragma once

#include "messages/MsgButtons.h"
#include "messages/MsgForm.h"

#include <QString>

class QIcon;

// The message window filled from a button set, a text and a caption.
class TMyMsgDlg : public TMsgForm {
    Q_OBJECT

public:
    explicit TMyMsgDlg(QWidget* parent = nullptr);

    int AModResult = mrNone;
    QString infoText;
    TButtonSet AButtons;
    QString ACaption;

    // Sets the caption, the buttons, the icon, the text and the size from the fields.
    void processinfo();
    // Shows the window modally and keeps its result in AModResult; does nothing while a
    // SyncShow of this window is already running.
    void SyncShow();
    void DoAll();

    static constexpr int NormalWidth = 262;
    static constexpr int YesToAllWidth = 302;

    // The text as the memo shows it: a carriage return, a line feed or the pair of them each
    // end one line.
    static QString DisplayText(const QString& text);
    // The icon of a message: the platform's standard icon of its lowest icon bit, or the
    // program's own icon when it names none.
    static QIcon MessageIcon(TButtonSet buttons);

private:
    int MemoLineCount(const QString& text, int width) const;

    bool fSyncShowing = false;
};
