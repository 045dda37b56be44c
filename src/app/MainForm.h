#pragma once

#include "app/Journal.h"
#include "app/JournalQuery.h"
#include "app/JournalTableView.h"
#include "app/NavigatorBar.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;
class TJournalTableModel;
class TSearchEdit;
class TExtraWinState;
class TFilterView;
class TFormView;
class TJournalGrid;
struct TViewColumn;

// The journal's only top-level window: the record form, the filter and the table on tabs,
// the navigator, sort and search controls, the menus and the report tabs.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Connects to the database and opens the journal; a failure is shown and leaves the
    // window open with the journal closed.
    explicit TMainForm(
        const QString& dataDir, const QString& database = QString(), QWidget* parent = nullptr);
    ~TMainForm() override;

    static QString Caption() { return QStringLiteral("KLV - Журнал учета проведенных анализов"); }
    static QString ReportCaption() { return QStringLiteral("Отчёт"); }

    TJournal& Journal() { return fJournal; }
    const TJournalQueryBuilder& QueryBuilder() const { return fQueryBuilder; }
    TJournalTableView* TableView() const { return fDBGrid1; }
    TFormView* FormView() const { return fFormView; }
    TFilterView* FilterView() const { return fFilterView; }
    TSearchEdit* SearchBox() const { return fEdit1; }
    QTabWidget* Pages() const { return fPages; }
    QComboBox* SortList() const { return fCbSort; }
    QCheckBox* ReverseBox() const { return fCbxRev; }
    TNavigatorBar* Navigator() const { return fNavigator; }
    QAction* ViewFormAction() const { return fMiViewForm; }
    QAction* ViewTableAction() const { return fMiViewTable; }
    QMenu* TabMenu() const { return fPmClose; }
    QAction* CloseTabAction() const { return fMiClose; }

    // Where errors and yes/no questions go; the dialogs by default. Scripts and tests put
    // their own answers here.
    void SetErrorSink(std::function<void(const QString&)> sink) { fErrorSink = std::move(sink); }
    void SetConfirmSink(std::function<bool(const QString&)> sink)
    {
        fConfirmSink = std::move(sink);
    }
    // Where notices go (what a command did); the message box by default.
    void SetInfoSink(std::function<void(const QString&)> sink) { fInfoSink = std::move(sink); }

    // Runs a command; a failure of the data layer is shown in an error box and the window
    // stays usable.
    void RunCommand(const std::function<void()>& command);

    // The commands behind the controls and menus.
    void ApplyQuery();
    void FullTable();
    void ReportCommand();
    void AboutBox();
    void ColumnDialog();
    void ArchiveCommand();
    void Post();
    void Cancel();
    void Refresh();
    // "Закрыть" of the tab menu: the report on the active tab goes, the fixed tabs stay.
    void CloseActiveReport();
    // Prepares the tab menu as a right click on the tab set would.
    void PrepareTabMenu();
    bool IsReportTab(int index) const;

    // "Запись 15 из 2 000" for the status bar; empty while the journal is closed.
    static QString RecordPositionText(const TDbQuery& query);
    QString RecordPosition() const;

    // The text of the about box, lines separated by carriage returns.
    static QString AboutText();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateTopPanel();
    void CreatePages();
    void CreateMenus();
    void CreateTableView();
    void CreateGridViews();
    // Leaving the form tab writes its open editor; a refused value keeps the user there.
    bool LeavePage(const QWidget* page);
    void NavigatorClicked(TNavigatorBar::TButton which);
    void SortChanged();
    void TitleClicked(int column);
    void ViewRowChanged();
    void RecordMoved();
    void JournalOpened();
    void JournalClosing();
    void ShowRecordPosition();
    QStringList ViewFieldNames() const;
    void TabChanged(int index);
    void ShowError(const QString& message);
    bool Confirm(const QString& question);
    void ShowInfo(const QString& caption, const QString& message);
    // Before a command: an open cell editor's text goes into the record (false when the
    // record refused it), and a journal archived elsewhere is opened anew.
    bool PrepareCommand();
    void JournalReplaced();
    // Which record and which values an edit not yet written holds; empty without one.
    QString UnsavedEditText() const;
    bool WriteRecordForClose();
    void ShowErrorBox(const QString& caption, const QString& message);
    void DeleteRecord();
    void DiscardEmptyInsert();
    std::vector<TViewColumn> ViewColumns() const;
    std::vector<int> SelectedRows() const;
    void FitColumnWidths();
    void StoreLayout();
    void RestoreLayout();

    TJournal fJournal;
    TJournalQueryBuilder fQueryBuilder;
    TJournalTableModel* fModel = nullptr;
    TExtraWinState* fExtraWinState = nullptr;

    TNavigatorBar* fNavigator = nullptr;
    QPushButton* fBtnFull = nullptr;
    QPushButton* fBtnPrint = nullptr;
    QComboBox* fCbSort = nullptr;
    QCheckBox* fCbxRev = nullptr;
    TSearchEdit* fEdit1 = nullptr;
    QTabWidget* fPages = nullptr;
    QWidget* fTsForm = nullptr;
    QWidget* fTsFilter = nullptr;
    QWidget* fTsTable = nullptr;
    TJournalTableView* fDBGrid1 = nullptr;
    TJournalGrid* fGcForm = nullptr;
    TJournalGrid* fGcFilter = nullptr;
    TFormView* fFormView = nullptr;
    TFilterView* fFilterView = nullptr;
    const QWidget* fActivePage = nullptr; // compared, never used: a report tab may be gone
    QAction* fMiViewForm = nullptr;
    QAction* fMiViewTable = nullptr;
    QMenu* fPmClose = nullptr;
    QAction* fMiClose = nullptr;
    QLabel* fRecordPosition = nullptr;
    bool fFollowingQuery = false;
    bool fStarting = true;
    QStringList fLayoutFields; // the fields the columns were last laid out for
    QByteArray fSessionColumns; // their widths (-1 hidden) when the query last closed
    std::function<void(const QString&)> fErrorSink;
    std::function<bool(const QString&)> fConfirmSink;
    std::function<void(const QString&)> fInfoSink;
};
