#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class TGridObject;

// The grid's built-in context menu: undo, the clipboard commands and the
// selection commands, with the user's own menu merged in below them.
class TGridContextMenu : public QObject {
    Q_OBJECT
public:
    // KeyStroke performs a command as the keys that stand for it.
    TGridContextMenu(QWidget* Owner, std::function<void(int Key, Qt::KeyboardModifiers)> KeyStroke);
    ~TGridContextMenu() override;

    QMenu* Menu() const { return fMenu; }
    // Sets the items' captions, visibility and enabling for this grid and
    // merges the user's menu: UserMenu while editing, else the control's.
    void Prepare(TGridObject* Grid, QMenu* UserMenu, bool CanPaste);
    // Removes what the last Prepare merged.
    void RemoveMerged();

    QAction* fmUndo;
    QAction* fmCut;
    QAction* fmCopy;
    QAction* fmPaste;
    QMenu* fmPasteSpecialMenu;
    QAction* fmPasteSpecial;
    QAction* fmPasteValues;
    QAction* fmPasteFormulae;
    QAction* fmSelectAll;
    QAction* fmClear;
    QAction* fmSeparator;

private:
    void CopyItems(QMenu* From, QMenu* To, QMenu* UserMenu);
    void ClickMerged(const QString& Caption);

    QMenu* fMenu;
    QMenu* fUserMenu = nullptr;
    TGridObject* fGrid = nullptr;
    std::function<void(int, Qt::KeyboardModifiers)> fKeyStroke;
};
