#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;
class TConfigStorage;

// The settings key of the program in the current user's root.
inline constexpr char kProgramRegPath[] = "Software\\Ormelin\\veskor";

enum TStorage { spHKLM, spHKCU };
enum TStoreEngine { steReg, steFile };

// The stored placement of one window or control: seven signed 16-bit fields, little-endian.
struct TRegState {
    int16_t X = 0;
    int16_t Y = 0;
    int16_t W = 0;
    int16_t H = 0;
    // For a window: 0 normal, 1 minimized, 2 maximized.
    int16_t State = 0;
    // For a control: 1 visible, 0 hidden.
    int16_t Style = 0;
    // For a control: the tool bar row it is docked in (see TWinState::AreaOfRow).
    int16_t Pos = 0;

    static constexpr int kSize = 14;
    QByteArray Encode() const;
    // False unless bytes holds exactly kSize bytes.
    static bool Decode(const QByteArray& bytes, TRegState* state);
};

using TOnSetCtrl = std::function<void(QWidget* ctrl, const TRegState& state)>;
using TOnGetCtrl = std::function<void(QWidget* ctrl, TRegState& state)>;

// Keeps the placement of the window it sits on (and, when asked, of some of its tool bars,
// dock widgets and other controls) under one settings key and puts it back later.
//
// The main window uses it like this:
//   at creation:  SetStorage(spHKCU); SetRegPath(kProgramRegPath); ReStoreControls({}); CloseReg();
//   when closing: StoreControls({});
// A missing or damaged value leaves the window at its design size, centred on its screen.
//
// Tool bars and dock widgets of a QMainWindow are placed by area; their "row" (Pos) is
// 1 top, 2 bottom, 3 left, 4 right, and 0 for a floating one. Other controls take the digit
// that ends their parent's name and go back into the owner's child "ControlBar" + Pos.
class TWinState : public QObject {
    Q_OBJECT
public:
    explicit TWinState(QWidget* owner);
    ~TWinState() override;

    QWidget* Owner() const { return fOwner; }

    QString RegPath() const { return fRegPath; }
    void SetRegPath(const QString& value);
    TStorage Storage() const { return fStorage; }
    void SetStorage(TStorage value);
    TStoreEngine Engine() const { return fEngine; }
    void SetEngine(TStoreEngine value);

    // Called with a record just read, before it is applied.
    void SetOnSetCtrl(TOnSetCtrl handler) { fOnSetCtrl = std::move(handler); }
    // Called with a zeroed record before it is filled and stored.
    void SetOnGetCtrl(TOnGetCtrl handler) { fOnGetCtrl = std::move(handler); }

    // Opens RegPath (creating it when writing); keeps it open across calls.
    bool OpenReg(bool doWrite);
    // Releases the store, which closes its key and writes ini files.
    void CloseReg();
    bool IsRegOpen() const { return fIsRegOpen; }

    bool StoreControl(QWidget* ctrl);
    bool ReStoreControl(QWidget* ctrl);
    // The owner first, then the listed controls; stops at the first failure.
    bool StoreControls(const QList<QWidget*>& controls);
    // The owner first, then the listed controls from the last to the first; stops at the
    // first failure.
    bool ReStoreControls(const QList<QWidget*>& controls);

    // The value name of a control: "MainWnd" for the owner, else its object name.
    QString ValueName(const QWidget* ctrl) const;

    // The tool bar row of a main window area and back; 0 for none.
    static int RowOfArea(int area);
    static int AreaOfRow(int row);

protected:
    TConfigStorage* Reg() const { return fReg.get(); }

private:
    void FillState(QWidget* ctrl, TRegState& state) const;
    bool ApplyWindowState(QWidget* form, const TRegState& state);
    void ApplyControlState(QWidget* ctrl, const TRegState& state);
    void DockDefault(QWidget* ctrl);

    QWidget* fOwner;
    QString fRegPath;
    std::unique_ptr<TConfigStorage> fReg;
    bool fIsRegOpen = false;
    bool fOpenForWriting = false;
    TOnSetCtrl fOnSetCtrl;
    TOnGetCtrl fOnGetCtrl;
    TStorage fStorage = spHKLM;
    TStoreEngine fEngine = steReg;
};
