#pragma once

#include "grid/DropList.h"

#include <QListWidget>

// The list a grid control shows for a drop list whose application gives
// no viewer of its own: the items of WorkList under the cell's text, the
// current item marked. A click or Enter chooses, Escape or a click
// elsewhere cancels. It lives for one opening and then deletes itself.
class TDropListWindow : public QListWidget, public IDropListViewer {
    Q_OBJECT
public:
    explicit TDropListWindow(QWidget* Control);

    void ShowList(TCustomDropList& List) override;
    void HideList(TCustomDropList& List) override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

private:
    void Finish(bool Accept);
    void PlaceUnder(const QRect& TextRect);

    QWidget* fControl;
    // The list being chosen from; none once the choice is made, so that
    // hiding the window afterwards reports nothing.
    TCustomDropList* fList = nullptr;
};
