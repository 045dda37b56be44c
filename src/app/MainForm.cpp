#include "app/MainForm.h"

#include "app/JournalArchive.h"
#include "app/Application.h"
#include "app/ColumnDialog.h"
#include "app/FilterView.h"
#include "app/FormView.h"
#include "app/JournalGrid.h"
#include "app/JournalTableModel.h"
#include "app/JournalTableView.h"
#include "app/SearchEdit.h"
#include "app/VerLabel.h"
#include "app/VersionInfo.h"
#include "messages/MsgDlg.h"
#include "messages/Trace.h"
#include "settings/ColumnLayout.h"
#include "settings/ExtraWinState.h"
#include "report/QuerySnapshot.h"
#include "report/RptForm.h"
#include "platform/db/DbError.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QFont ArialPixels(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

constexpr int kTopPanelHeight = 63;

} // namespace

TMainForm::TMainForm(const QString& dataDir, const QString& database, QWidget* parent)
    : QMainWindow(parent)
    , fJournal(dataDir)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(Caption());
    setFont(ArialPixels(12));
    setAttribute(Qt::WA_DeleteOnClose, false);

    fModel = new TJournalTableModel(fJournal.Query(), this);
    fModel->SetErrorHandler([this](const QString& message) { fDBGrid1->EditRefused(message); });

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CreateTopPanel());
    CreatePages();
    column->addWidget(fPages, 1);
    setCentralWidget(central);
    CreateMenus();

    // One panel for the long hint of the control under the mouse; when no hint shows, where
    // the user is in the journal.
    statusBar()->setSizeGripEnabled(true);
    fRecordPosition = new QLabel(statusBar());
    fRecordPosition->setObjectName(QStringLiteral("lblRecord"));
    statusBar()->addWidget(fRecordPosition, 1);
    TDbQuery* query = &fJournal.Query();
    for (auto signal : { &TDbQuery::AfterOpen, &TDbQuery::AfterClose, &TDbQuery::AfterScroll,
             &TDbQuery::StateChanged })
        connect(query, signal, this, &TMainForm::ShowRecordPosition);
    connect(query, &TDbQuery::RecordsInserted, this, &TMainForm::ShowRecordPosition);
    connect(query, &TDbQuery::RecordsRemoved, this, &TMainForm::ShowRecordPosition);

    connect(&fJournal, &TJournal::JournalOpened, this, &TMainForm::JournalOpened);
    connect(&fJournal.Query(), &TDbQuery::BeforeClose, this, &TMainForm::JournalClosing);
    connect(&fJournal.Query(), &TDbQuery::AfterScroll, this, &TMainForm::RecordMoved);
    connect(&fJournal.Query(), &TDbQuery::AfterScroll, fFormView, &TFormView::RecordMoved);
    connect(&fJournal.Query(), &TDbQuery::StateChanged, fFormView, &TFormView::ValuesChanged);
    connect(&fJournal.Query(), &TDbQuery::RecordChanged, fFormView, &TFormView::ValuesChanged);
    connect(&fJournal, &TJournal::AliasesApplied, fFormView, &TFormView::AliasesApplied);
    connect(&fJournal, &TJournal::AliasesApplied, fFilterView, &TFilterView::AliasesApplied);

    // The design placement: a 644 x 520 client area in the middle of the screen, kept on
    // the first start and whenever no stored placement can be read.
    resize(644, 520 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    RunCommand([&] {
        if (!database.isEmpty())
            fJournal.Connection().SetConnectionString(database);
        fJournal.Start();
    });
    fJournal.ReadKeysInBackground();
    fPages->setCurrentIndex(0);
    fExtraWinState = new TExtraWinState(this);
    fExtraWinState->setObjectName(QStringLiteral("ExtraWinState"));
    fExtraWinState->SetStorage(spHKCU);
    fExtraWinState->SetRegPath(QString::fromLatin1(kProgramRegPath));
    RestoreLayout();
    fStarting = false;
}

TMainForm::~TMainForm()
{
    // The views read the journal, a member, as they go; they go first.
    hide();
    delete centralWidget();
}

QWidget* TMainForm::CreateTopPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(kTopPanelHeight);
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(4, 4, 4, 4);
    rows->setSpacing(4);

    auto* top = new QHBoxLayout;
    fNavigator = new TNavigatorBar(fJournal.Query(), panel);
    connect(fNavigator, &TNavigatorBar::Clicked, this, &TMainForm::NavigatorClicked);
    top->addWidget(fNavigator);
    top->addSpacing(8);

    fBtnFull = new QPushButton(QStringLiteral("Полная таблица"), panel);
    fBtnFull->setObjectName(QStringLiteral("btnFull"));
    fBtnFull->setToolTip(QStringLiteral("Показать все записи в базе"));
    fBtnFull->setStatusTip(fBtnFull->toolTip());
    connect(fBtnFull, &QPushButton::clicked, this, &TMainForm::FullTable);
    top->addWidget(fBtnFull);

    fBtnPrint = new QPushButton(QStringLiteral("Отчёт ..."), panel);
    fBtnPrint->setObjectName(QStringLiteral("btnPrint"));
    fBtnPrint->setToolTip(QStringLiteral("Печать записей в указанном диапазоне номеров"));
    fBtnPrint->setStatusTip(fBtnPrint->toolTip());
    connect(fBtnPrint, &QPushButton::clicked, this, &TMainForm::ReportCommand);
    top->addWidget(fBtnPrint);
    top->addStretch(1);

    auto* versionCaption = new QLabel(QStringLiteral("версия"), panel);
    top->addWidget(versionCaption);
    auto* version = new TVerLabel(panel);
    version->setObjectName(QStringLiteral("VerLabel1"));
    version->SetInfoType(vsFileVersion);
    top->addWidget(version);
    rows->addLayout(top);

    auto* bottom = new QHBoxLayout;
    fCbSort = new QComboBox(panel);
    fCbSort->setObjectName(QStringLiteral("cbSort"));
    fCbSort->setEditable(false);
    fCbSort->addItems(TJournalQueryBuilder::SortItems());
    fCbSort->setCurrentIndex(0);
    connect(fCbSort, &QComboBox::activated, this, &TMainForm::SortChanged);
    bottom->addWidget(fCbSort);

    fCbxRev = new QCheckBox(QStringLiteral("в обратном порядке"), panel);
    fCbxRev->setObjectName(QStringLiteral("cbxRev"));
    connect(fCbxRev, &QCheckBox::clicked, this, &TMainForm::SortChanged);
    bottom->addWidget(fCbxRev);

    fEdit1 = new TSearchEdit(panel);
    fEdit1->setObjectName(QStringLiteral("Edit1"));
    fEdit1->setMinimumWidth(160);
    connect(fEdit1, &TSearchEdit::EnterPressed, this, &TMainForm::ApplyQuery);
    bottom->addWidget(fEdit1, 1);
    rows->addLayout(bottom);
    return panel;
}

void TMainForm::CreatePages()
{
    fPages = new QTabWidget(this);
    fPages->setObjectName(QStringLiteral("pcPages"));
    fPages->tabBar()->setAttribute(Qt::WA_Hover);
    fPages->tabBar()->installEventFilter(this);
    fPages->installEventFilter(this);

    const QStyle* style = QApplication::style();
    fTsForm = new QWidget(fPages);
    fTsForm->setObjectName(QStringLiteral("tsForm"));
    fPages->addTab(fTsForm, style->standardIcon(QStyle::SP_FileDialogDetailedView),
        QStringLiteral("Форма"));
    fTsFilter = new QWidget(fPages);
    fTsFilter->setObjectName(QStringLiteral("tsFilter"));
    fPages->addTab(fTsFilter, style->standardIcon(QStyle::SP_FileDialogContentsView),
        QStringLiteral("Фильтр"));
    CreateGridViews();

    fTsTable = new QWidget(fPages);
    fTsTable->setObjectName(QStringLiteral("tsTable"));
    auto* box = new QVBoxLayout(fTsTable);
    box->setContentsMargins(0, 0, 0, 0);
    CreateTableView();
    box->addWidget(fDBGrid1);
    fPages->addTab(fTsTable, style->standardIcon(QStyle::SP_FileDialogListView),
        QStringLiteral("&Таблица"));
    connect(fPages, &QTabWidget::currentChanged, this, &TMainForm::TabChanged);
    fActivePage = fPages->currentWidget();

    fPmClose = new QMenu(this);
    fPmClose->setObjectName(QStringLiteral("pmClose"));
    fMiClose = fPmClose->addAction(QStringLiteral("Закрыть"));
    fMiClose->setShortcut(QKeySequence(QStringLiteral("Ctrl+F4")));
    // The menu item only shows the shortcut; the key works through a shortcut of the window,
    // which the menu's enabling for the tab under a right click must not switch off.
    fMiClose->setShortcutContext(Qt::WidgetShortcut);
    connect(fMiClose, &QAction::triggered, this, &TMainForm::CloseActiveReport);
    auto* closeKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+F4")), this);
    connect(closeKey, &QShortcut::activated, this, &TMainForm::CloseActiveReport);
}

void TMainForm::CreateGridViews()
{
    auto place = [this](QWidget* page, const QString& name) {
        auto* grid = new TJournalGrid(page);
        grid->setObjectName(name);
        grid->setFont(ArialPixels(12));
        grid->SetRefusalHandler([this](const QString& message) { ShowError(message); });
        auto* box = new QVBoxLayout(page);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(grid);
        return grid;
    };
    fGcForm = place(fTsForm, QStringLiteral("gcForm"));
    fGcFilter = place(fTsFilter, QStringLiteral("gcFilter"));
    fFormView = new TFormView(fJournal, *fGcForm, this);
    fFilterView = new TFilterView(fJournal, *fGcFilter, [this] { ApplyQuery(); }, this);
}

void TMainForm::CreateTableView()
{
    fDBGrid1 = new TJournalTableView(fJournal.Query(), fTsTable);
    fDBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    fDBGrid1->setFont(ArialPixels(11));
    fDBGrid1->setModel(fModel);
    fDBGrid1->SetCommandRunner([this](const std::function<void()>& c) { RunCommand(c); });
    fDBGrid1->SetErrorHandler([this](const QString& message) { ShowError(message); });
    fDBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    fDBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fDBGrid1->setTabKeyNavigation(true);
    fDBGrid1->setShowGrid(true);
    fDBGrid1->setWordWrap(false);
    const QString hint = QStringLiteral("Содержимое журнала или результат запроса. Выбор "
                                        "данных для печати производите при нажатом [Ctrl] ");
    fDBGrid1->setToolTip(hint);
    fDBGrid1->setStatusTip(hint);

    QHeaderView* titles = fDBGrid1->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    connect(titles, &QHeaderView::sectionClicked, this, &TMainForm::TitleClicked);

    // The row heads are the record indicator; fixed heights keep a large journal cheap to
    // scroll, since the view never measures rows it does not show.
    QHeaderView* indicator = fDBGrid1->verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(QFontMetrics(fDBGrid1->font()).height() + 6);
    indicator->setMinimumWidth(14);
    indicator->setDefaultAlignment(Qt::AlignCenter);
    indicator->setSectionsClickable(false);

    connect(fDBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &TMainForm::ViewRowChanged);
    fDBGrid1->installEventFilter(this);

    fDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(fDBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Настройка ..."), this, &TMainForm::ColumnDialog);
        menu.exec(fDBGrid1->viewport()->mapToGlobal(at));
    });
}

void TMainForm::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->addAction(QStringLiteral("Отчёт ..."), this, &TMainForm::ReportCommand);
    file->addAction(QStringLiteral("Настройка ..."), this, &TMainForm::ColumnDialog);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Выход"), this, &QWidget::close);
    exit->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Правка"));
    QAction* save = edit->addAction(QStringLiteral("Сохранить"), this, &TMainForm::Post);
    save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    edit->addAction(QStringLiteral("Отменить"), this, &TMainForm::Cancel);
    edit->addSeparator();
    edit->addAction(QStringLiteral("Полная таблица"), this, &TMainForm::FullTable);
    edit->addSeparator();
    edit->addAction(QStringLiteral("Скрутить предыдущий год"), this, &TMainForm::ArchiveCommand);

    QMenu* view = menuBar()->addMenu(QStringLiteral("Вид"));
    auto* group = new QActionGroup(this);
    fMiViewForm = view->addAction(QStringLiteral("Форма"));
    fMiViewTable = view->addAction(QStringLiteral("Таблица"));
    for (QAction* a : { fMiViewForm, fMiViewTable }) {
        a->setCheckable(true);
        group->addAction(a);
    }
    fMiViewForm->setChecked(true);
    connect(fMiViewForm, &QAction::triggered, this, [this] { fPages->setCurrentWidget(fTsForm); });
    connect(
        fMiViewTable, &QAction::triggered, this, [this] { fPages->setCurrentWidget(fTsTable); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    help->addAction(QStringLiteral("О программе ..."), this, &TMainForm::AboutBox);
}

void TMainForm::RunCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const EDatabaseError& e) {
        // A write refused because the file was archived elsewhere is not the user's fault:
        // the new journal opens and the user sees what could not be written.
        if (fJournal.FileReplaced())
            JournalReplaced();
        else
            ShowError(e.Message());
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
}

bool TMainForm::PrepareCommand()
{
    if (!fDBGrid1->HandOverEdit() || !fFormView->HandOverEdit())
        return false;
    fFilterView->HandOverEdit();
    if (fJournal.FileReplaced())
        JournalReplaced();
    // A server that went away and came back: the command runs on a new connection, and a
    // record being edited is carried over to it.
    if (fJournal.ConnectionLost()) {
        try {
            fJournal.ReconnectKeepingEdit();
        } catch (const EDatabaseError& e) {
            ShowError(QStringLiteral("Связь с сервером журнала потеряна: ") + e.Message());
            return false;
        }
    }
    return true;
}

void TMainForm::JournalReplaced()
{
    QString message = QStringLiteral(
        "Журнал перенесён в архив на другом рабочем месте. Открыт новый журнал.");
    const QString lost = UnsavedEditText();
    if (!lost.isEmpty())
        message += QStringLiteral("\r\r") + lost;
    try {
        fJournal.Reconnect();
    } catch (const EDatabaseError& e) {
        message += QStringLiteral("\r\r") + e.Message();
    }
    ShowError(message);
}

QString TMainForm::UnsavedEditText() const
{
    const TDbQuery& query = fJournal.Query();
    if (!query.Active() || query.State() == dsBrowse || !query.Modified())
        return QString();
    QStringList values;
    for (int i = 0; i < query.FieldCount(); ++i) {
        const TDbField& field = query.Field(i);
        if (query.FieldModified(field))
            values << QStringLiteral("«%1»: %2").arg(field.DisplayLabel(), field.DisplayText());
    }
    QString which;
    if (query.State() == dsInsert) {
        which = QStringLiteral("Новая запись не сохранена");
    } else {
        const TDbField& first = query.Field(0);
        which = QStringLiteral("Изменения записи «%1» %2 не сохранены")
                    .arg(first.DisplayLabel(), first.DisplayText());
    }
    return which + QStringLiteral(":\r") + values.join(u'\r');
}

void TMainForm::ShowInfo(const QString& caption, const QString& message)
{
    if (fInfoSink)
        fInfoSink(message);
    else
        ShowMsgDlg(message, { bOk, iASTERISK }, caption);
}

bool TMainForm::Confirm(const QString& question)
{
    return fConfirmSink
        ? fConfirmSink(question)
        : ShowMsgDlg(question, { bYes, bNo, iQUESTION }, TApplication::Title()) == mrYes;
}

void TMainForm::ShowError(const QString& message)
{
    if (fStarting) {
        // A failure while the window is being built is shown once the event loop runs, over
        // the window rather than before it appears.
        QTimer::singleShot(0, this, [this, message] { ShowError(message); });
        return;
    }
    ShowErrorBox(TApplication::Title(), message);
}

void TMainForm::ShowErrorBox(const QString& caption, const QString& message)
{
    TraceText(message, TRACE_ERROR);
    if (fErrorSink)
        fErrorSink(message);
    else
        ShowMsgDlg(message, { bOk, iHAND }, caption);
}

void TMainForm::ApplyQuery()
{
    if (!PrepareCommand())
        return;
    RunCommand([this] {
        TQueryInputs inputs;
        inputs.SearchText = fEdit1->text();
        inputs.FilterRowCount = fFilterView->FilterRowCount();
        inputs.FilterValue = [this](int row) { return fFilterView->FilterValue(row); };
        fQueryBuilder.ApplyQuery(fJournal, inputs);
    });
}

void TMainForm::FullTable()
{
    if (!PrepareCommand())
        return;
    RunCommand([this] { fQueryBuilder.ApplyFullTable(fJournal); });
}

void TMainForm::SortChanged()
{
    fQueryBuilder.SetSortItem(fCbSort->currentIndex(), fCbxRev->isChecked());
    ApplyQuery();
}

void TMainForm::TitleClicked(int column)
{
    const QString name = fModel->FieldNameAt(column);
    if (name.isEmpty())
        return;
    fQueryBuilder.SetTitleSort(name, fCbxRev->isChecked());
    ApplyQuery();
}

void TMainForm::Post()
{
    if (!PrepareCommand())
        return;
    RunCommand([this] { fJournal.Post(); });
}

void TMainForm::Cancel()
{
    fDBGrid1->DropEdit();
    fFormView->DropEdit();
    RunCommand([this] { fJournal.Cancel(); });
}

void TMainForm::Refresh()
{
    if (!PrepareCommand())
        return;
    RunCommand([this] { fJournal.Refresh(); });
}

void TMainForm::NavigatorClicked(TNavigatorBar::TButton which)
{
    TDbQuery& query = fJournal.Query();
    const bool leavesTheEditor = which != TNavigatorBar::nbDelete
        && which != TNavigatorBar::nbCancel && which != TNavigatorBar::nbPost
        && which != TNavigatorBar::nbRefresh;
    if (leavesTheEditor && !PrepareCommand())
        return;
    switch (which) {
    case TNavigatorBar::nbFirst:
        RunCommand([&] { query.First(); });
        break;
    case TNavigatorBar::nbPrior:
        RunCommand([&] { query.Prior(); });
        break;
    case TNavigatorBar::nbNext:
        RunCommand([&] { query.Next(); });
        break;
    case TNavigatorBar::nbLast:
        RunCommand([&] { query.Last(); });
        break;
    case TNavigatorBar::nbInsert:
        RunCommand([&] { query.Insert(); });
        break;
    case TNavigatorBar::nbDelete:
        DeleteRecord();
        break;
    case TNavigatorBar::nbEdit:
        RunCommand([&] { query.Edit(); });
        break;
    case TNavigatorBar::nbPost:
        Post();
        break;
    case TNavigatorBar::nbCancel:
        Cancel();
        break;
    case TNavigatorBar::nbRefresh:
        Refresh();
        break;
    case TNavigatorBar::nbCount:
        break;
    }
}

void TMainForm::DeleteRecord()
{
    TDbQuery& query = fJournal.Query();
    if (!query.Active() || query.IsEmpty())
        return;
    if (!Confirm(QStringLiteral("Удалить запись?")))
        return;
    fDBGrid1->DropEdit();
    fFormView->DropEdit();
    RunCommand([&] { query.Delete(); });
}

void TMainForm::DiscardEmptyInsert()
{
    TDbQuery& query = fJournal.Query();
    if (query.Active() && query.State() == dsInsert && !query.Modified())
        RunCommand([&] { query.Cancel(); });
}

void TMainForm::ViewRowChanged()
{
    if (fFollowingQuery || fDBGrid1->RepairPending())
        return;
    TDbQuery& query = fJournal.Query();
    if (!query.Active())
        return;
    const int row = fDBGrid1->currentIndex().row();
    if (row < 0 || row == query.RecNo() - 1 || row >= query.RecordCount())
        return;
    // Leaving a new record the user never filled drops it, and the rows below move up under
    // the pointer; a record that will not be written keeps the cursor. Either way the view
    // goes back to showing the query's record as current, and only then says why.
    const int records = query.RecordCount();
    QString refusal;
    try {
        query.SetRecNo(row + 1);
    } catch (const EDatabaseError& e) {
        refusal = e.Message();
    }
    if (!refusal.isEmpty() || query.RecordCount() != records)
        fDBGrid1->RealignLater();
    RecordMoved();
    if (!refusal.isEmpty()) {
        QTimer::singleShot(0, this, [this, refusal] {
            if (fJournal.FileReplaced())
                JournalReplaced();
            else
                ShowError(refusal);
        });
    }
}

void TMainForm::RecordMoved()
{
    const TDbQuery& query = fJournal.Query();
    if (!query.Active() || query.RecNo() < 1)
        return;
    const int row = query.RecNo() - 1;
    QModelIndex current = fDBGrid1->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    const int column = current.isValid() ? current.column() : 0;
    fFollowingQuery = true;
    const QModelIndex target = fModel->index(row, std::max(0, column));
    fDBGrid1->selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    fDBGrid1->scrollTo(target);
    fFollowingQuery = false;
}

void TMainForm::JournalOpened()
{
    // The stored layout (or, without one, widths fitted to the titles and first rows) is for
    // the first sight of a journal's fields in this run; every later reopen of the same
    // fields (a search, a sort, a refresh) keeps the columns as the user left them just
    // before it.
    const QStringList fields = ViewFieldNames();
    if (!fields.isEmpty()) {
        if (fields != fLayoutFields) {
            if (!RestoreColumnWidths(fDBGrid1, this, QString::fromLatin1(kProgramRegPath)))
                FitColumnWidths();
            fLayoutFields = fields;
        } else if (!fSessionColumns.isEmpty()) {
            ApplyTableColumns(fDBGrid1, fSessionColumns);
        }
    }
    RecordMoved();
}

void TMainForm::JournalClosing()
{
    if (ViewFieldNames() == fLayoutFields)
        fSessionColumns = EncodeTableColumns(fDBGrid1);
}

QStringList TMainForm::ViewFieldNames() const
{
    QStringList fields;
    for (int i = 0; i < fModel->columnCount(); ++i)
        fields << fModel->FieldNameAt(i);
    return fields;
}

void TMainForm::FitColumnWidths()
{
    QHeaderView* titles = fDBGrid1->horizontalHeader();
    titles->setResizeContentsPrecision(40);
    for (int i = 0; i < fModel->columnCount(); ++i) {
        if (fDBGrid1->isColumnHidden(i))
            continue;
        fDBGrid1->resizeColumnToContents(i);
        fDBGrid1->setColumnWidth(i, std::clamp(fDBGrid1->columnWidth(i), 40, 260));
    }
}

QString TMainForm::RecordPositionText(const TDbQuery& query)
{
    if (!query.Active())
        return QString();
    if (query.IsEmpty())
        return QStringLiteral("Нет записей");
    const QLocale locale;
    return QStringLiteral("Запись %1 из %2")
        .arg(locale.toString(query.RecNo()), locale.toString(query.RecordCount()));
}

QString TMainForm::RecordPosition() const { return fRecordPosition->text(); }

void TMainForm::ShowRecordPosition()
{
    fRecordPosition->setText(RecordPositionText(fJournal.Query()));
}

void TMainForm::TabChanged(int index)
{
    QWidget* page = fPages->widget(index);
    if (page != fActivePage && !LeavePage(fActivePage)) {
        fPages->setCurrentWidget(fTsForm);
        return;
    }
    fActivePage = page;
    (index == 0 ? fMiViewForm : fMiViewTable)->setChecked(true);
}

bool TMainForm::LeavePage(const QWidget* page)
{
    // On another tab the record can move under the form (a row clicked in the table), and
    // an editor left open there would later write into that other record.
    if (page == fTsForm)
        return fFormView->HandOverEdit();
    if (page == fTsFilter)
        fFilterView->HandOverEdit();
    return true;
}

bool TMainForm::IsReportTab(int index) const
{
    return qobject_cast<TRptForm*>(fPages->widget(index)) != nullptr;
}

std::vector<TViewColumn> TMainForm::ViewColumns() const
{
    std::vector<TViewColumn> columns;
    for (int i = 0; i < fModel->columnCount(); ++i) {
        TViewColumn c;
        c.FieldName = fModel->FieldNameAt(i);
        c.Title = fModel->headerData(i, Qt::Horizontal).toString();
        c.Width = fDBGrid1->columnWidth(i);
        c.Visible = !fDBGrid1->isColumnHidden(i);
        columns.push_back(c);
    }
    return columns;
}

std::vector<int> TMainForm::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : fDBGrid1->selectionModel()->selectedRows())
        rows.push_back(index.row());
    return rows;
}

void TMainForm::ReportCommand()
{
    if (!PrepareCommand())
        return;
    auto* report = new TRptForm(TRptForm::JournalLayout(), fPages);
    // The worker never reads the journal query the user is working in. Selected rows are
    // copied here, on the main thread; the whole result is read again by the worker on a
    // connection of its own, which keeps the window responsive on a large journal.
    report->SetSourceProvider([this]() -> TRptForm::TSourceReader {
        const std::vector<int> selected = SelectedRows();
        if (selected.size() >= 2) {
            std::shared_ptr<const TReportSource> copy = TakeReportSource(
                fJournal.Query(), ViewColumns(), selected, fDBGrid1->logicalDpiX());
            return [copy] { return copy; };
        }
        const TReportQuery query = DescribeReportQuery(
            fJournal.Connection(), fJournal.Query(), ViewColumns(), fDBGrid1->logicalDpiX());
        return [query]() -> std::shared_ptr<const TReportSource> {
            return ReadReportSource(query);
        };
    });
    const int index = fPages->addTab(report,
        QApplication::style()->standardIcon(QStyle::SP_FileDialogListView), QString());
    fPages->setTabText(index, ReportCaption() + u' ' + QString::number(index - 1));
    fPages->setCurrentIndex(index);
}

void TMainForm::PrepareTabMenu()
{
    QWidget* page = fPages->currentWidget();
    if (page)
        fMiClose->setEnabled(IsReportTab(fPages->currentIndex()));
}

void TMainForm::CloseActiveReport()
{
    const int index = fPages->currentIndex();
    if (!IsReportTab(index))
        return;
    QWidget* page = fPages->widget(index);
    fPages->removeTab(index);
    delete page;
}

QString TMainForm::AboutText()
{
    return QStringLiteral("VESKOR2\r\rЖурнал регистрации результатов токсикологической "
                          "лаборатории\r\rОрмелин, лабораторные информационные системы\r"
                          "Версия ")
        + FixedInfoText(ProgramVersionResource(), vsFileVersion);
}

void TMainForm::AboutBox()
{
    ShowMsgDlg(AboutText(), { bOk }, QStringLiteral("veskor2"));
}

void TMainForm::ColumnDialog() { ShowColumnDialog(*fDBGrid1, this); }

void TMainForm::ArchiveCommand()
{
    if (!PrepareCommand())
        return;
    RunCommand([this] {
        TJournalArchive archive(fJournal.Connection());
        // Moving the whole journal away is not undone by a click: it is asked first, and
        // the user is told afterwards where the records went.
        const TArchiveOutcome outcome
            = archive.Run(fJournal, [this](const QString& q) { return Confirm(q); });
        if (!outcome.Message.isEmpty())
            ShowErrorBox(TJournalArchive::Caption(), outcome.Message);
        else if (outcome.Result == arDone)
            ShowInfo(TJournalArchive::Caption(),
                QStringLiteral("Записи журнала перенесены в архив %1. Начат новый журнал.")
                    .arg(QDir::toNativeSeparators(archive.ArchivePath())));
    });
}

void TMainForm::StoreLayout()
{
    fExtraWinState->StoreControls(QList<QWidget*>());
    StoreColumnLayouts(fDBGrid1, this, fExtraWinState->RegPath());
}

void TMainForm::RestoreLayout()
{
    fExtraWinState->ReStoreControls(QList<QWidget*>());
    fExtraWinState->CloseReg();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A record still being edited is written rather than dropped, an open cell editor's
    // text included. When the database will not take it, the user decides between going back
    // to the record and closing without it; nothing is dropped unseen.
    if (!PrepareCommand() || !WriteRecordForClose()) {
        event->ignore();
        return;
    }
    StoreLayout();
    event->accept();
}

bool TMainForm::WriteRecordForClose()
{
    TDbQuery& query = fJournal.Query();
    if (!query.Active() || query.State() == dsBrowse)
        return true;
    try {
        if (query.Modified())
            query.Post();
        else
            query.Cancel();
        return true;
    } catch (const EDatabaseError& e) {
        TraceText(QStringLiteral("Запись не сохранена при закрытии: ") + e.Message(), TRACE_ERROR);
        const QString question = QStringLiteral("Запись не сохранена: %1\r\r%2\r\r"
                                                "Закрыть журнал без этих изменений? "
                                                "«Нет» — вернуться к записи.")
                                     .arg(e.Message(), UnsavedEditText());
        if (!Confirm(question)) {
            fPages->setCurrentWidget(fTsTable);
            fDBGrid1->setFocus();
            return false;
        }
        query.Cancel();
        return true;
    }
}

bool TMainForm::event(QEvent* event)
{
    // Coming back to the window is when the user would notice a journal archived elsewhere.
    if (event->type() == QEvent::WindowActivate && !fStarting && fJournal.FileReplaced())
        QTimer::singleShot(0, this, [this] {
            if (fJournal.FileReplaced() && fDBGrid1->HandOverEdit()
                && fFormView->HandOverEdit())
                JournalReplaced();
        });
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == fPages->tabBar() || watched == fPages)
        && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A click inside a page that the page left unhandled comes up to the tab set too;
        // only the strip of tabs opens the menu.
        QWidget* page = fPages->currentWidget();
        const bool onPage = watched == fPages && page
            && page->rect().contains(page->mapFrom(fPages, mouse->position().toPoint()));
        if (mouse->button() == Qt::RightButton && !onPage) {
            PrepareTabMenu();
            fPmClose->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    if (watched == fDBGrid1) {
        if (event->type() == QEvent::FocusOut) {
            // The editor of a cell takes the focus from the view while the user types; only
            // a focus that leaves the table for good drops an untouched new record.
            QWidget* now = QApplication::focusWidget();
            if (!now || !fDBGrid1->isAncestorOf(now))
                DiscardEmptyInsert();
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
                DeleteRecord();
                return true;
            }
            // While a cell editor is open it gets the keys itself, so Escape here means the
            // record, not the cell.
            if (key->key() == Qt::Key_Escape && fJournal.Query().State() != dsBrowse) {
                Cancel();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
