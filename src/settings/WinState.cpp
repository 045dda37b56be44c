#include "settings/WinState.h"

#include "messages/Trace.h"
#include "settings/IniStorage.h"
#include "settings/RegStorage.h"
#include "settings/WindowPlacement.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>
#include <QWidget>

#include <exception>

namespace {

const QString kOwnerValueName = QStringLiteral("MainWnd");

int16_t Clamp16(int value) { return int16_t(qBound(-32768, value, 32767)); }

void PutInt16(QByteArray& bytes, int16_t value)
{
    bytes += char(uint16_t(value) & 0xFF);
    bytes += char(uint16_t(value) >> 8);
}

int16_t GetInt16(const QByteArray& bytes, int offset)
{
    return int16_t(uint16_t(uint8_t(bytes[offset])) | uint16_t(uint8_t(bytes[offset + 1])) << 8);
}

// The user's handlers must not break a store or a restore.
template <typename F> void CallSafely(const F& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        TraceText(QStringLiteral("TWinState: %1").arg(QString::fromLocal8Bit(error.what())),
            TRACE_WARNING);
    } catch (...) {
        TraceText(QStringLiteral("TWinState: a notification failed"), TRACE_WARNING);
    }
}

bool IsFloating(const QWidget* ctrl) { return IsFloatingBar(ctrl); }

int LastDigit(const QString& name)
{
    return !name.isEmpty() && name.back().isDigit() && name.back().unicode() < 128
        ? name.back().unicode() - '0'
        : 0;
}

}

QByteArray TRegState::Encode() const
{
    QByteArray bytes;
    bytes.reserve(kSize);
    for (int16_t field : { X, Y, W, H, State, Style, Pos })
        PutInt16(bytes, field);
    return bytes;
}

bool TRegState::Decode(const QByteArray& bytes, TRegState* state)
{
    if (bytes.size() != kSize)
        return false;
    int16_t* fields[]
        = { &state->X, &state->Y, &state->W, &state->H, &state->State, &state->Style, &state->Pos };
    for (int i = 0; i < 7; ++i)
        *fields[i] = GetInt16(bytes, i * 2);
    return true;
}

TWinState::TWinState(QWidget* owner)
    : QObject(owner)
    , fOwner(owner)
{
}

TWinState::~TWinState() { CloseReg(); }

void TWinState::SetRegPath(const QString& value)
{
    if (value == fRegPath)
        return;
    fRegPath = value;
    CloseReg();
}

void TWinState::SetStorage(TStorage value)
{
    if (value == fStorage)
        return;
    CloseReg();
    fStorage = value;
}

void TWinState::SetEngine(TStoreEngine value)
{
    if (value == fEngine)
        return;
    CloseReg();
    fEngine = value;
}

bool TWinState::OpenReg(bool doWrite)
{
    // A key opened for reading would make every write fail, and the placement taken at
    // close would be lost; so a write reopens it with write access.
    if (fReg && fIsRegOpen && (fOpenForWriting || !doWrite))
        return true;
    if (fReg && fIsRegOpen)
        CloseReg();
    if (!fReg) {
        if (fEngine == steFile)
            fReg = std::make_unique<TIniStorage>();
        else
            fReg = std::make_unique<TRegStorage>();
    }
    fReg->SetRootKey(fStorage == spHKCU ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE);
    fReg->SetAccess(int32_t(doWrite ? KEY_READ | KEY_WRITE : KEY_READ));
    fIsRegOpen = !fRegPath.isEmpty() && fReg->OpenKey(fRegPath, doWrite);
    fOpenForWriting = fIsRegOpen && doWrite;
    return fIsRegOpen;
}

void TWinState::CloseReg()
{
    fReg.reset();
    fIsRegOpen = false;
    fOpenForWriting = false;
}

QString TWinState::ValueName(const QWidget* ctrl) const
{
    return ctrl == fOwner ? kOwnerValueName : ctrl->objectName();
}

int TWinState::RowOfArea(int area)
{
    switch (area) {
    case Qt::TopToolBarArea:
        return 1;
    case Qt::BottomToolBarArea:
        return 2;
    case Qt::LeftToolBarArea:
        return 3;
    case Qt::RightToolBarArea:
        return 4;
    default:
        return 0;
    }
}

int TWinState::AreaOfRow(int row)
{
    static const int areas[] = { 0, Qt::TopToolBarArea, Qt::BottomToolBarArea, Qt::LeftToolBarArea,
        Qt::RightToolBarArea };
    return row >= 1 && row <= 4 ? areas[row] : 0;
}

void TWinState::FillState(QWidget* ctrl, TRegState& state) const
{
    auto setBounds = [&state](const QRect& r) {
        state.X = Clamp16(r.x());
        state.Y = Clamp16(r.y());
        state.W = Clamp16(r.width());
        state.H = Clamp16(r.height());
    };
    if (ctrl->isWindow() && !IsFloating(ctrl)) {
        const Qt::WindowStates states = ctrl->windowState();
        if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
            // Negative left and top mark a maximized window, as the stored format has always
            // done; its normal placement is not kept.
            const QRect frame = ctrl->frameGeometry();
            setBounds(QRect(-1, -1, frame.width(), frame.height()));
            state.State = 2;
        } else {
            setBounds(ctrl->frameGeometry());
            state.State = states & Qt::WindowMinimized ? 1 : 0;
        }
        return;
    }
    if (IsFloating(ctrl)) {
        state.Pos = 0;
        setBounds(ctrl->frameGeometry());
    } else {
        QMainWindow* main = MainWindowOf(ctrl);
        if (auto* bar = qobject_cast<QToolBar*>(ctrl); bar && main)
            state.Pos = int16_t(RowOfArea(main->toolBarArea(bar)));
        else if (auto* dock = qobject_cast<QDockWidget*>(ctrl); dock && main)
            state.Pos = int16_t(RowOfArea(main->dockWidgetArea(dock)));
        else
            state.Pos
                = int16_t(ctrl->parentWidget() ? LastDigit(ctrl->parentWidget()->objectName()) : 0);
        if (state.Pos != 0)
            setBounds(ctrl->geometry());
    }
    state.Style = ctrl->isHidden() ? 0 : 1;
}

bool TWinState::StoreControl(QWidget* ctrl)
{
    if (!ctrl || !OpenReg(true))
        return false;
    const QString name = ValueName(ctrl);
    if (name.isEmpty())
        return false;
    TRegState state;
    if (fOnGetCtrl)
        CallSafely([&] { fOnGetCtrl(ctrl, state); });
    FillState(ctrl, state);
    const QByteArray bytes = state.Encode();
    return fReg->WriteBinary(name, uint32_t(bytes.size()), bytes.constData());
}

bool TWinState::ReStoreControl(QWidget* ctrl)
{
    if (!ctrl)
        return false;
    if (!OpenReg(false)) {
        DockDefault(ctrl);
        return false;
    }
    const QString name = ValueName(ctrl);
    QByteArray bytes(TRegState::kSize, '\0');
    uint32_t size = uint32_t(bytes.size());
    TRegState state;
    const bool read = !name.isEmpty() && fReg->ReadBinary(name, size, bytes.data());
    if (!read || !TRegState::Decode(bytes.left(qsizetype(size)), &state)) {
        if (read || (fReg->ValueExists(name) && size != 0))
            TraceText(QStringLiteral("TWinState: the stored placement \"%1\" is not %2 bytes long "
                                     "and was ignored")
                          .arg(name)
                          .arg(TRegState::kSize),
                TRACE_WARNING);
        DockDefault(ctrl);
        return false;
    }
    if (fOnSetCtrl)
        CallSafely([&] { fOnSetCtrl(ctrl, state); });
    if (ctrl->isWindow() && !IsFloating(ctrl))
        return ApplyWindowState(ctrl, state);
    ApplyControlState(ctrl, state);
    return true;
}

void TWinState::DockDefault(QWidget* ctrl)
{
    if (ctrl->isWindow() && !IsFloating(ctrl)) {
        // First start: the design size, centred on the screen.
        if (ctrl == fOwner && !ctrl->isVisible())
            CentreOnScreen(ctrl);
        return;
    }
    auto* bar = qobject_cast<QToolBar*>(ctrl);
    if (QMainWindow* main = MainWindowOf(ctrl); bar && main) {
        main->addToolBar(Qt::TopToolBarArea, bar);
        bar->show();
    }
}

bool TWinState::ApplyWindowState(QWidget* form, const TRegState& state)
{
    if (state.X < 0 && state.Y < 0) {
        SetOuterGeometry(form, QRect(QPoint(100, 100), form->frameGeometry().size()));
        form->setWindowState(Qt::WindowMaximized);
        return true;
    }
    if (state.W <= 0 || state.H <= 0) {
        TraceText(QStringLiteral("TWinState: the stored placement of \"%1\" has no size and was "
                                 "ignored")
                      .arg(ValueName(form)),
            TRACE_WARNING);
        if (form == fOwner && !form->isVisible())
            CentreOnScreen(form);
        return false;
    }
    // A screen that is gone since the placement was stored must not take the window with it.
    SetOuterGeometry(form, KeepOnScreen(QRect(state.X, state.Y, state.W, state.H)));
    switch (state.State) {
    case 1:
        form->setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        form->setWindowState(Qt::WindowMaximized);
        break;
    default:
        form->setWindowState(Qt::WindowNoState);
        break;
    }
    return true;
}

void TWinState::ApplyControlState(QWidget* ctrl, const TRegState& state)
{
    const QRect bounds(state.X, state.Y, state.W, state.H);
    ctrl->hide();
    QMainWindow* main = MainWindowOf(ctrl);
    const auto area = AreaOfRow(state.Pos);
    bool floating = false;
    if (auto* bar = qobject_cast<QToolBar*>(ctrl); bar && main) {
        // Qt offers no way to float a tool bar from code; one stored floating stays docked.
        if (area)
            main->addToolBar(Qt::ToolBarArea(area), bar);
    } else if (auto* dock = qobject_cast<QDockWidget*>(ctrl); dock && main) {
        floating = area == 0;
        if (floating)
            dock->setFloating(true);
        else {
            main->addDockWidget(Qt::DockWidgetArea(area), dock);
            dock->setFloating(false);
        }
    } else if (state.Pos != 0 && fOwner) {
        const QString barName = QStringLiteral("ControlBar%1").arg(state.Pos);
        auto* target = fOwner->findChild<QWidget*>(barName);
        if (target && target != ctrl->parentWidget() && target != ctrl)
            ctrl->setParent(target);
        ctrl->setGeometry(bounds);
    }
    if (floating && bounds.width() > 0 && bounds.height() > 0)
        SetOuterGeometry(ctrl, KeepOnScreen(bounds));
    if (state.Style != 0)
        ctrl->show();
}

bool TWinState::StoreControls(const QList<QWidget*>& controls)
{
    bool result = StoreControl(fOwner);
    for (QWidget* ctrl : controls) {
        if (!result)
            break;
        if (ctrl != fOwner)
            result = StoreControl(ctrl);
    }
    return result;
}

bool TWinState::ReStoreControls(const QList<QWidget*>& controls)
{
    bool result = ReStoreControl(fOwner);
    for (qsizetype i = controls.size() - 1; i >= 0 && result; --i)
        if (controls[i] != fOwner)
            result = ReStoreControl(controls[i]);
    return result;
}
