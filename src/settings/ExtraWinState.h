#pragma once

#include "settings/WinState.h"

#include <QByteArray>
#include <QPointer>
#include <QRect>
#include <QRecursiveMutex>
#include <QWidget>

// The stored placement of one control in TExtraWinState's list: 64 bytes, little-endian.
struct TWSData {
    // Up to 20 Latin-1 characters; longer names are cut.
    QByteArray Name;
    // Screen coordinates when floating, else the bounds in the parent.
    QRect Position;
    // The parent's name; empty without a parent.
    QByteArray DockName;
    // In the record of the owner window, its state (0 normal, 1 minimized, 2 maximized)
    // takes the place of DockName.
    uint8_t WindowState = 0;
    bool Floating = false;
    bool Visible = false;
    // The main window area (TWinState::RowOfArea numbering), 0 for none.
    uint8_t Align = 0;

    static constexpr int kSize = 64;
    static constexpr int kNameLength = 20;
    // ownerRecord writes WindowState instead of DockName.
    QByteArray Encode(bool ownerRecord = false) const;
    static bool Decode(const QByteArray& bytes, TWSData* data, bool ownerRecord = false);
    static QByteArray ShortName(const QString& name);
};

enum TRestoreState { rsDefault, rsRegistry };

using TOnStoreCtrl = std::function<void(QWidget* ctrl, bool& store)>;
using TOnShowRestore = std::function<void(QWidget* ctrl, TRestoreState state, bool& show)>;

// Adds the placement of a window's tool bars and dock widgets (and of any control the
// OnCanStore handler picks) kept as one list: the integer "controlcount" and the binary
// "controllist" of TWSData records. Both operations run under a lock, report failure by
// their result and write problems to the diagnostic trace.
class TExtraWinState : public TWinState {
    Q_OBJECT
public:
    explicit TExtraWinState(QWidget* owner);
    ~TExtraWinState() override;

    using TWinState::StoreControls;

    bool StoreOwnerForm() const { return fStoreOwnerForm; }
    void SetStoreOwnerForm(bool value) { fStoreOwnerForm = value; }
    void SetOnCanStore(TOnStoreCtrl handler) { fOnCanStore = std::move(handler); }
    void SetOnShowRestore(TOnShowRestore handler) { fOnShowRestore = std::move(handler); }
    void SetOnStore(std::function<void()> handler) { fOnStore = std::move(handler); }
    void SetOnRestore(std::function<void()> handler) { fOnRestore = std::move(handler); }
    // The control being handled while a notification runs.
    QWidget* ActiveObject() const { return fActiveObject; }

    bool StoreControls();
    bool RestoreControls();

private:
    QList<QWidget*> StoredControls();
    TWSData DataOf(QWidget* ctrl) const;
    QWidget* FindControl(const QByteArray& name) const;
    void RestoreOwnerForm();
    QList<TWSData> ReadList(bool* fromRegistry);
    void ApplyList(QList<TWSData> list, TRestoreState origin);
    void Fail(const QString& operation, const QString& message) const;

    bool fStoreOwnerForm = false;
    TOnStoreCtrl fOnCanStore;
    TOnShowRestore fOnShowRestore;
    std::function<void()> fOnStore;
    std::function<void()> fOnRestore;
    QPointer<QWidget> fActiveObject;
    QRecursiveMutex fCriticalSection;
};
