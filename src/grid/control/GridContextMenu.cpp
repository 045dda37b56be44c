#include "grid/control/GridContextMenu.h"

#include "grid/GridObject.h"
#include "grid/Undo.h"

#include <QMenu>

namespace {

// Items the control owns carry this mark; everything else in the menu was
// merged and goes at the next opening.
const char* const OwnedMark = "veskorGridOwned";

QAction* Owned(QAction* A)
{
    A->setProperty(OwnedMark, true);
    return A;
}

QAction* FindByCaption(QMenu* Menu, const QString& Caption)
{
    const QList<QAction*> Items = Menu->actions();
    for (QAction* A : Items)
        if (!A->isSeparator() && A->text() == Caption)
            return A;
    for (QAction* A : Items)
        if (A->menu())
            if (QAction* Found = FindByCaption(A->menu(), Caption))
                return Found;
    return nullptr;
}

}

TGridContextMenu::TGridContextMenu(
    QWidget* Owner, std::function<void(int, Qt::KeyboardModifiers)> KeyStroke)
    : QObject(Owner)
    , fMenu(new QMenu(Owner))
    , fKeyStroke(std::move(KeyStroke))
{
    auto Key = [this](QAction* A, int K, Qt::KeyboardModifiers M) {
        connect(A, &QAction::triggered, this, [this, K, M] {
            if (K != 0 && fKeyStroke)
                fKeyStroke(K, M);
        });
        return A;
    };
    fmUndo = Owned(fMenu->addAction(QStringLiteral("Отменить %1").arg(QString())));
    connect(fmUndo, &QAction::triggered, this, [this] {
        if (fGrid && fGrid->UndoList())
            fGrid->UndoList()->Undo();
    });
    Owned(fMenu->addSeparator());
    fmCut = Owned(Key(fMenu->addAction(QStringLiteral("Вырезать")), Qt::Key_X, Qt::ControlModifier));
    fmCopy = Owned(Key(fMenu->addAction(QStringLiteral("Копировать")), Qt::Key_C, Qt::ControlModifier));
    fmPaste = Owned(Key(fMenu->addAction(QStringLiteral("Вставить")), Qt::Key_V, Qt::ControlModifier));
    fmPasteSpecialMenu = new QMenu(QStringLiteral("Специальная вставка ..."), fMenu);
    fmPasteSpecial = Owned(fMenu->addMenu(fmPasteSpecialMenu));
    fmPasteValues = Owned(Key(fmPasteSpecialMenu->addAction(QStringLiteral("Вставить значения")),
        Qt::Key_V, Qt::ControlModifier | Qt::AltModifier));
    fmPasteFormulae = Owned(Key(fmPasteSpecialMenu->addAction(QStringLiteral("Вставить формулы")),
        Qt::Key_V, Qt::ControlModifier));
    Owned(fMenu->addSeparator());
    fmSelectAll = Owned(Key(fMenu->addAction(QStringLiteral("Выделить всё")), Qt::Key_A, Qt::ControlModifier));
    Owned(fMenu->addSeparator());
    fmClear = Owned(Key(fMenu->addAction(QStringLiteral("Очистить содержимое")), Qt::Key_Delete, Qt::NoModifier));
    // Set aside: it heads the merged items only when there are some.
    fmSeparator = Owned(new QAction(this));
    fmSeparator->setSeparator(true);
}

TGridContextMenu::~TGridContextMenu() { RemoveMerged(); }

void TGridContextMenu::RemoveMerged()
{
    for (QAction* A : fMenu->actions()) {
        if (A == fmSeparator) {
            fMenu->removeAction(A);
            continue;
        }
        if (!A->property(OwnedMark).toBool()) {
            fMenu->removeAction(A);
            // A copied submenu owns its action; deleting the menu takes both.
            if (QMenu* Sub = A->menu())
                delete Sub;
            else
                delete A;
        }
    }
}

void TGridContextMenu::Prepare(TGridObject* Grid, QMenu* UserMenu, bool CanPaste)
{
    fGrid = Grid;
    if (!Grid)
        return;
    const bool ReadOnly = Grid->ReadOnly();
    fmPaste->setEnabled(CanPaste && !ReadOnly);
    fmCut->setVisible(!ReadOnly);
    fmClear->setVisible(!ReadOnly);
    TUndoList* Undo = Grid->UndoList();
    if (!Undo || !Grid->UndoEnabled()) {
        fmUndo->setVisible(false);
    } else {
        fmUndo->setVisible(true);
        if (Undo->Count() > 0) {
            fmUndo->setText(QStringLiteral("Отменить %1").arg(Undo->Context()));
            fmUndo->setEnabled(true);
        } else {
            fmUndo->setText(QStringLiteral("Нельзя отменить"));
            fmUndo->setEnabled(false);
        }
    }
    fmPasteSpecial->setVisible(Grid->EnableCalculation());
    fmPasteSpecial->setEnabled(fmPaste->isEnabled() && !Grid->EditorMode());

    RemoveMerged();
    fUserMenu = UserMenu;
    if (!UserMenu || UserMenu == fMenu)
        return;
    // The user's menu prepares itself first, as if it were opening.
    emit UserMenu->aboutToShow();
    if (UserMenu->actions().isEmpty())
        return;
    fMenu->addAction(fmSeparator);
    CopyItems(UserMenu, fMenu, UserMenu);
}

void TGridContextMenu::CopyItems(QMenu* From, QMenu* To, QMenu* UserMenu)
{
    for (QAction* Source : From->actions()) {
        if (Source->isSeparator()) {
            To->addSeparator();
            continue;
        }
        QAction* Copy;
        if (Source->menu()) {
            auto* Sub = new QMenu(Source->text(), To);
            CopyItems(Source->menu(), Sub, UserMenu);
            Copy = To->addMenu(Sub);
        } else {
            Copy = To->addAction(Source->icon(), Source->text());
            const QString Caption = Source->text();
            connect(Copy, &QAction::triggered, this, [this, Caption] { ClickMerged(Caption); });
        }
        Copy->setEnabled(Source->isEnabled());
        Copy->setVisible(Source->isVisible());
        Copy->setCheckable(Source->isCheckable());
        Copy->setChecked(Source->isChecked());
        Copy->setShortcut(Source->shortcut());
        Copy->setToolTip(Source->toolTip());
    }
}

void TGridContextMenu::ClickMerged(const QString& Caption)
{
    // The copy stands for the item of that caption in the menu in force
    // now, which may have changed since the copy was made.
    if (fUserMenu)
        if (QAction* A = FindByCaption(fUserMenu, Caption))
            A->trigger();
}
