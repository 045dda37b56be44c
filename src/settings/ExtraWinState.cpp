#include "settings/ExtraWinState.h"

#include "messages/Trace.h"
#include "settings/ConfigStorage.h"
#include "settings/WindowPlacement.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QToolBar>

#include <algorithm>
#include <exception>

namespace {

const QString kCountName = QStringLiteral("controlcount");
const QString kListName = QStringLiteral("controllist");

// A list longer than this is taken for damage rather than read.
constexpr int kMaxControls = 4096;

void PutInt32(QByteArray& bytes, int offset, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char(uint32_t(value) >> (8 * i) & 0xFF);
}

int32_t GetInt32(const QByteArray& bytes, int offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[offset + i]);
    return int32_t(value);
}

void PutShortString(QByteArray& bytes, int offset, const QByteArray& text)
{
    const int length = int(qMin<qsizetype>(text.size(), TWSData::kNameLength));
    bytes[offset] = char(length);
    for (int i = 0; i < length; ++i)
        bytes[offset + 1 + i] = text[i];
}

QByteArray GetShortString(const QByteArray& bytes, int offset)
{
    const int length = qMin(int(uint8_t(bytes[offset])), TWSData::kNameLength);
    return bytes.mid(offset + 1, length);
}

template <typename F> bool CallSafely(const F& call)
{
    try {
        call();
        return true;
    } catch (const std::exception& error) {
        TraceText(QStringLiteral("TExtraWinState: %1").arg(QString::fromLocal8Bit(error.what())),
            TRACE_WARNING);
    } catch (...) {
        TraceText(QStringLiteral("TExtraWinState: a notification failed"), TRACE_WARNING);
    }
    return false;
}

// A window of its own counts as floating too: it is placed on the screen, not in a parent.
bool IsFloating(const QWidget* ctrl) { return IsFloatingBar(ctrl) || ctrl->isWindow(); }

bool IsVerticalArea(int row) { return row == 3 || row == 4; }

// The coordinate that tells the tool bar lines of an area apart, and the one along a line.
int LineOf(const TWSData& data)
{
    return IsVerticalArea(data.Align) ? data.Position.left() : data.Position.top();
}
int AlongOf(const TWSData& data)
{
    return IsVerticalArea(data.Align) ? data.Position.top() : data.Position.left();
}

}

QByteArray TWSData::ShortName(const QString& name) { return name.toLatin1().left(kNameLength); }

QByteArray TWSData::Encode(bool ownerRecord) const
{
    QByteArray bytes(kSize, '\0');
    PutShortString(bytes, 0, Name);
    PutInt32(bytes, 24, Position.left());
    PutInt32(bytes, 28, Position.top());
    PutInt32(bytes, 32, Position.left() + Position.width());
    PutInt32(bytes, 36, Position.top() + Position.height());
    if (ownerRecord)
        bytes[40] = char(WindowState);
    else
        PutShortString(bytes, 40, DockName);
    bytes[61] = char(Floating ? 1 : 0);
    bytes[62] = char(Visible ? 1 : 0);
    bytes[63] = char(Align);
    return bytes;
}

bool TWSData::Decode(const QByteArray& bytes, TWSData* data, bool ownerRecord)
{
    if (bytes.size() != kSize)
        return false;
    data->Name = GetShortString(bytes, 0);
    const int left = GetInt32(bytes, 24);
    const int top = GetInt32(bytes, 28);
    data->Position
        = QRect(QPoint(left, top), QSize(GetInt32(bytes, 32) - left, GetInt32(bytes, 36) - top));
    if (ownerRecord) {
        data->WindowState = uint8_t(bytes[40]);
        data->DockName.clear();
    } else {
        data->DockName = GetShortString(bytes, 40);
        data->WindowState = 0;
    }
    data->Floating = bytes[61] != 0;
    data->Visible = bytes[62] != 0;
    data->Align = uint8_t(bytes[63]);
    return true;
}

TExtraWinState::TExtraWinState(QWidget* owner)
    : TWinState(owner)
{
}

TExtraWinState::~TExtraWinState() = default;

void TExtraWinState::Fail(const QString& operation, const QString& message) const
{
    TraceText(QStringLiteral("TExtraWinState.%1: %2").arg(operation, message), TRACE_ERROR);
}

QList<QWidget*> TExtraWinState::StoredControls()
{
    QList<QWidget*> result;
    if (!Owner())
        return result;
    for (QWidget* ctrl : Owner()->findChildren<QWidget*>()) {
        // A control without a name could not be found again.
        if (ctrl->objectName().isEmpty())
            continue;
        bool store = qobject_cast<QToolBar*>(ctrl) || qobject_cast<QDockWidget*>(ctrl);
        if (fOnCanStore) {
            fActiveObject = ctrl;
            CallSafely([&] { fOnCanStore(ctrl, store); });
            fActiveObject = nullptr;
        }
        if (store)
            result += ctrl;
    }
    return result;
}

TWSData TExtraWinState::DataOf(QWidget* ctrl) const
{
    TWSData data;
    data.Name = TWSData::ShortName(ctrl->objectName());
    data.Floating = IsFloating(ctrl) || !ctrl->parentWidget();
    data.Position = data.Floating ? ctrl->frameGeometry() : ctrl->geometry();
    if (QWidget* parent = ctrl->parentWidget())
        data.DockName = TWSData::ShortName(parent->objectName());
    data.Visible = !ctrl->isHidden();
    if (QMainWindow* main = MainWindowOf(ctrl); main && !data.Floating) {
        if (auto* bar = qobject_cast<QToolBar*>(ctrl))
            data.Align = uint8_t(RowOfArea(main->toolBarArea(bar)));
        else if (auto* dock = qobject_cast<QDockWidget*>(ctrl))
            data.Align = uint8_t(RowOfArea(main->dockWidgetArea(dock)));
    }
    return data;
}

QWidget* TExtraWinState::FindControl(const QByteArray& name) const
{
    if (!Owner() || name.isEmpty())
        return nullptr;
    if (TWSData::ShortName(Owner()->objectName()) == name)
        return Owner();
    for (QWidget* ctrl : Owner()->findChildren<QWidget*>())
        if (!ctrl->objectName().isEmpty() && TWSData::ShortName(ctrl->objectName()) == name)
            return ctrl;
    return nullptr;
}

bool TExtraWinState::StoreControls()
{
    QMutexLocker lock(&fCriticalSection);
    if (!OpenReg(true)) {
        Fail(QStringLiteral("StoreControls"),
            QStringLiteral("the settings key \"%1\" cannot be opened for writing").arg(RegPath()));
        return false;
    }
    const QList<QWidget*> controls = StoredControls();
    QByteArray list;
    for (QWidget* ctrl : controls)
        list += DataOf(ctrl).Encode();
    bool result = Reg()->WriteInteger(kCountName, int32_t(controls.size()));
    if (result && !Reg()->WriteBinary(kListName, uint32_t(list.size()), list.constData())) {
        Reg()->WriteInteger(kCountName, 0);
        Fail(QStringLiteral("StoreControls"), QStringLiteral("the control list was not written"));
        result = false;
    }
    if (fOnStore)
        CallSafely(fOnStore);
    QWidget* owner = Owner();
    if (fStoreOwnerForm && owner && owner->isWindow() && !owner->objectName().isEmpty()) {
        // The normal rectangle, so that a maximized window comes back to its old size when
        // the user restores it.
        TWSData data;
        data.Name = TWSData::ShortName(owner->objectName());
        data.Position = owner->normalGeometry();
        const Qt::WindowStates states = owner->windowState();
        data.WindowState = states & (Qt::WindowMaximized | Qt::WindowFullScreen) ? 2
            : states & Qt::WindowMinimized                                       ? 1
                                                                                 : 0;
        data.Floating = true;
        data.Visible = owner->isVisible();
        const QByteArray bytes = data.Encode(true);
        result = Reg()->WriteBinary(owner->objectName(), uint32_t(bytes.size()), bytes.constData())
            && result;
    }
    CloseReg();
    return result;
}

void TExtraWinState::RestoreOwnerForm()
{
    QWidget* owner = Owner();
    if (!owner || !owner->isWindow() || owner->objectName().isEmpty())
        return;
    QByteArray bytes(TWSData::kSize, '\0');
    uint32_t size = uint32_t(bytes.size());
    TWSData data;
    if (!Reg()->ReadBinary(owner->objectName(), size, bytes.data()))
        return;
    if (!TWSData::Decode(bytes.left(qsizetype(size)), &data, true) || data.Position.width() <= 0
        || data.Position.height() <= 0) {
        Fail(QStringLiteral("RestoreControls"),
            QStringLiteral("the stored placement of \"%1\" is damaged").arg(owner->objectName()));
        return;
    }
    owner->setGeometry(KeepOnScreen(data.Position));
    owner->setWindowState(data.WindowState == 2 ? Qt::WindowMaximized
            : data.WindowState == 1             ? Qt::WindowMinimized
                                                : Qt::WindowNoState);
}

QList<TWSData> TExtraWinState::ReadList(bool* fromRegistry)
{
    QList<TWSData> list;
    *fromRegistry = false;
    if (Reg()->ValueExists(kCountName)) {
        const int32_t count = Reg()->ReadIntegerDef(kCountName, -1);
        QByteArray bytes(qsizetype(qBound(0, count, kMaxControls)) * TWSData::kSize, '\0');
        uint32_t size = uint32_t(bytes.size());
        const bool read = count == 0
            || (count > 0 && count <= kMaxControls
                && Reg()->ReadBinary(kListName, size, bytes.data())
                && size == uint32_t(bytes.size()));
        if (read) {
            for (int i = 0; i < count; ++i) {
                TWSData data;
                TWSData::Decode(bytes.mid(qsizetype(i) * TWSData::kSize, TWSData::kSize), &data);
                list += data;
            }
            *fromRegistry = true;
            return list;
        }
        Fail(QStringLiteral("RestoreControls"),
            QStringLiteral("the stored control list does not hold %1 records and was ignored")
                .arg(count));
    }
    for (QWidget* ctrl : StoredControls())
        list += DataOf(ctrl);
    return list;
}

void TExtraWinState::ApplyList(QList<TWSData> list, TRestoreState origin)
{
    // Docked tool bars are put back line by line, so the records of one dock site must come
    // together and in the order of their lines.
    std::stable_sort(list.begin(), list.end(), [](const TWSData& a, const TWSData& b) {
        if (a.DockName != b.DockName)
            return a.DockName < b.DockName;
        if (a.Floating != b.Floating)
            return !a.Floating;
        if (a.Align != b.Align)
            return a.Align < b.Align;
        if (LineOf(a) != LineOf(b))
            return LineOf(a) < LineOf(b);
        return AlongOf(a) < AlongOf(b);
    });
    const TWSData* previousBar = nullptr;
    for (const TWSData& data : list) {
        QWidget* ctrl = FindControl(data.Name);
        if (!ctrl || ctrl == Owner())
            continue;
        fActiveObject = ctrl;
        QMainWindow* main = MainWindowOf(ctrl);
        const int area = AreaOfRow(data.Align);
        if (auto* dock = qobject_cast<QDockWidget*>(ctrl); dock && main) {
            if (data.Floating) {
                dock->setFloating(true);
                if (!data.Position.isEmpty())
                    SetOuterGeometry(dock, KeepOnScreen(data.Position));
            } else if (area) {
                main->addDockWidget(Qt::DockWidgetArea(area), dock);
                dock->setFloating(false);
                if (IsVerticalArea(data.Align))
                    main->resizeDocks({ dock }, { data.Position.width() }, Qt::Horizontal);
                else
                    main->resizeDocks({ dock }, { data.Position.height() }, Qt::Vertical);
            }
        } else if (auto* bar = qobject_cast<QToolBar*>(ctrl); bar && main) {
            // Qt cannot float a tool bar from code; one stored floating stays where it is.
            if (!data.Floating && area) {
                if (previousBar && previousBar->Align == data.Align
                    && LineOf(*previousBar) != LineOf(data))
                    main->addToolBarBreak(Qt::ToolBarArea(area));
                main->addToolBar(Qt::ToolBarArea(area), bar);
                previousBar = &data;
            }
        } else {
            QWidget* site = FindControl(data.DockName);
            if (site && site != ctrl && site != ctrl->parentWidget() && !ctrl->isWindow()
                && !ctrl->isAncestorOf(site))
                ctrl->setParent(site);
            if (!data.Position.isEmpty())
                ctrl->setGeometry(ctrl->isWindow() ? KeepOnScreen(data.Position) : data.Position);
        }
        bool show = data.Visible;
        if (fOnShowRestore)
            CallSafely([&] { fOnShowRestore(ctrl, origin, show); });
        ctrl->setVisible(show);
    }
    fActiveObject = nullptr;
}

bool TExtraWinState::RestoreControls()
{
    QMutexLocker lock(&fCriticalSection);
    if (!OpenReg(false))
        return false;
    if (fStoreOwnerForm) {
        if (fOnRestore)
            CallSafely(fOnRestore);
        RestoreOwnerForm();
    }
    bool fromRegistry = false;
    const QList<TWSData> list = ReadList(&fromRegistry);
    ApplyList(list, fromRegistry ? rsRegistry : rsDefault);
    CloseReg();
    return fromRegistry;
}
