#pragma once

#include <QDialog>
#include <QList>

#include <functional>

class QAction;
class QCheckBox;
class QPushButton;
class QScrollArea;

// Asked for item num: returns false when there is no such item, otherwise fills in its caption
// and whether it is ticked.
using TInitEvent = std::function<bool(int num, QString& Name, bool& state)>;
// Item num was ticked (flag true) or cleared.
using TCheckEvent = std::function<void(int num, bool flag)>;
using TNotifyEvent = std::function<void(QObject* Sender)>;

// A modal dialog with one check box per item of a list it knows nothing about. Every change is
// reported at once through OnCheck, so the buttons only close the dialog and "Отмена" undoes
// nothing. The boxes are built on showing and laid out in a grid whose proportions follow the
// screen's; the context menu ticks or clears them all between OnBeginUpdate and OnEndUpdate.
class TVLayForm : public QDialog {
    Q_OBJECT

public:
    explicit TVLayForm(QWidget* owner = nullptr);

    const TCheckEvent& OnCheck() const { return fOnCheck; }
    void SetOnCheck(TCheckEvent handler) { fOnCheck = std::move(handler); }
    const TInitEvent& OnInit() const { return fOnInit; }
    void SetOnInit(TInitEvent handler) { fOnInit = std::move(handler); }
    const TNotifyEvent& OnBeginUpdate() const { return fOnBeginUpdate; }
    void SetOnBeginUpdate(TNotifyEvent handler) { fOnBeginUpdate = std::move(handler); }
    const TNotifyEvent& OnEndUpdate() const { return fOnEndUpdate; }
    void SetOnEndUpdate(TNotifyEvent handler) { fOnEndUpdate = std::move(handler); }

    int CheckCount() const { return fCheckCount; }
    // Whether box ndx is ticked; false outside 0 .. CheckCount() - 1.
    bool GetState(int ndx) const;
    QCheckBox* CheckBox(int ndx) const;

    // Builds the boxes from OnInit and arranges them; done on every showing.
    void DoInit();
    // Ticks (true) or clears every box, reporting each through OnCheck.
    void N1Click(bool tick);

    // Rows and columns for n cells of maxW x maxH, chosen so that the grid is roughly as wide
    // as high relative to the screen's proportions; a row is dropped for every column the
    // short last column spares.
    struct TGridShape {
        int Columns;
        int Rows;
    };
    static TGridShape GridShape(int n, int maxW, int maxH, QSize screen);

    static constexpr int DesignClientWidth = 120;
    static constexpr int DesignClientHeight = 181;
    static constexpr int ButtonPanelHeight = 28;

    int MaxW = 0;
    int MaxH = 0;

    QScrollArea* BtmPanel;
    QWidget* ButtonPanel;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QAction* miCheckAll;
    QAction* miUncheckAll;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CheckClick(QCheckBox* box);
    void Report(QCheckBox* box);
    void Arrange();
    void LayoutPanels();
    void CentreOnOwner();
    QSize ScreenSize() const;

    TCheckEvent fOnCheck;
    TInitEvent fOnInit;
    TNotifyEvent fOnBeginUpdate;
    TNotifyEvent fOnEndUpdate;
    int fCheckCount = 0;
    QWidget* fBoxPanel;
    QList<QCheckBox*> fBoxes;
};
