#include "report/RptForm.h"

#include "messages/MsgDlg.h"
#include "messages/Trace.h"
#include "report/HeapRelease.h"
#include "report/JournalReport.h"
#include "report/ReportIcons.h"
#include "report/RecordedPage.h"
#include "report/ReportPrinter.h"
#include "report/Worker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

// The white page on the grey scroll box. It paints the shown page of the finished document
// and nothing while a layout runs.
class TDrawPanel : public QWidget {
public:
    explicit TDrawPanel(TRptForm* owner, QWidget* parent)
        : QWidget(parent)
        , fOwner(owner)
    {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
        setFocusPolicy(Qt::StrongFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (fOwner)
            fOwner->PaintPage(painter, size());
    }

private:
    TRptForm* fOwner;
};

namespace {

QFont ArialPixels(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

constexpr int kZoomPercent[] = { 200, 150, 100, 75, 50, 25, 10 };

} // namespace

QStringList TRptForm::ZoomItems()
{
    return { QStringLiteral("200%"), QStringLiteral("150%"), QStringLiteral("100%"),
        QStringLiteral("75%"), QStringLiteral("50%"), QStringLiteral("25%"),
        QStringLiteral("10%"), QStringLiteral("По ширине страницы"),
        QStringLiteral("Страница целиком") };
}

int TRptForm::TypedZoom(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return 100;
    return std::clamp(value, 10, 500);
}

TReportLayout TRptForm::JournalLayout()
{
    return [](const TReportRequest& request, const TReportProgress& progress) {
        auto printer = std::make_unique<TReportPrinter>(request.Geometry);
        std::shared_ptr<const TReportSource> source
            = request.ReadSource ? request.ReadSource() : nullptr;
        if (!source)
            return printer;
        TJournalReport report(source);
        TReportFont font;
        font.Family = request.Font.family();
        font.PointSize = request.Font.pointSizeF() > 0 ? request.Font.pointSizeF() : 6;
        font.Bold = request.Font.bold();
        font.Italic = request.Font.italic();
        report.SetFont(font);
        std::atomic<bool> cancel = false;
        TReportCallbacks callbacks;
        callbacks.Progress = [&](int stage, int total) {
            if (progress.Step && !progress.Step(stage, total))
                cancel = true;
        };
        callbacks.PageLaidOut = progress.Draft;
        callbacks.Cancel = &cancel;
        report.SetCallbacks(std::move(callbacks));
        report.DoReport(*printer);
        if (progress.ColumnsLeftOut)
            progress.ColumnsLeftOut(report.LeftOutColumns());
        return printer;
    };
}

TRptForm::TRptForm(TReportLayout layout, QWidget* parent)
    : TExecForm(parent)
    , fLayout(std::move(layout))
    , fPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , fRptFont(QStringLiteral("Arial"), 6)
{
    setObjectName(QStringLiteral("RptForm"));
    setWindowTitle(QStringLiteral("Отчёт"));
    setFont(ArialPixels(11));
    resize(733, 712);
    fPrinter->setFullPage(false);
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        fPrinter->setOutputFormat(QPrinter::PdfFormat);
    TPrinterGeometry::SetUpPrinter(*fPrinter);
    fGeometry = CurrentGeometry();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CreateToolBar();
    column->addWidget(fTbrMain);

    fSbxMain = new QScrollArea(this);
    fSbxMain->setObjectName(QStringLiteral("sbxMain"));
    fSbxMain->setWidgetResizable(false);
    fSbxMain->setBackgroundRole(QPalette::Dark);
    fSbxMain->viewport()->installEventFilter(this);
    fSbxMain->installEventFilter(this);
    fCanvas = new QWidget;
    fCanvas->setObjectName(QStringLiteral("sbxMainContent"));
    fCanvas->installEventFilter(this);
    fSbxMain->setWidget(fCanvas);
    fPnlShadow = new QWidget(fCanvas);
    fPnlShadow->setObjectName(QStringLiteral("pnlShadow"));
    fPnlShadow->setAutoFillBackground(true);
    QPalette shadow = fPnlShadow->palette();
    shadow.setColor(QPalette::Window, QColor(75, 75, 75));
    fPnlShadow->setPalette(shadow);
    fPnlShadow->setEnabled(false);
    fPnlShadow->hide();
    fDrawPanel = new TDrawPanel(this, fCanvas);
    fDrawPanel->setObjectName(QStringLiteral("FDrawPanel"));
    fDrawPanel->move(8, 8);
    fDrawPanel->installEventFilter(this);
    fPgBar = new QProgressBar(fCanvas);
    fPgBar->setObjectName(QStringLiteral("pgBar"));
    fPgBar->setTextVisible(true);
    fPgBar->hide();
    column->addWidget(fSbxMain, 1);

    fStbMain = new QStatusBar(this);
    fStbMain->setObjectName(QStringLiteral("stbMain"));
    fStbMain->setSizeGripEnabled(false);
    fStbMain->hide();
    column->addWidget(fStbMain);

    installEventFilter(this);
    fWorker = TWorker::CreateSuspended([this] { WorkLoop(); }, this);
}

TRptForm::~TRptForm()
{
    // A layout in progress is asked to stop at its next progress report; the worker is
    // released from any call it is waiting on, and the window waits for the thread to end
    // before anything it uses goes away.
    CloseExec();
    if (fPrn)
        fPrn->Abort();
    if (fWorker) {
        fWorker->Stop();
        fWorker->wait();
        delete fWorker;
        fWorker = nullptr;
    }
    const bool large = fPrn && fPrn->PageCount() > 1;
    fPrn.reset();
    fDraft.reset();
    if (large)
        ReleaseFreedHeap();
}

void TRptForm::CreateToolBar()
{
    fTbrMain = new QToolBar(this);
    fTbrMain->setObjectName(QStringLiteral("tbrMain"));
    fTbrMain->setIconSize(QSize(16, 16));
    const QStyle* s = style();
    auto add = [&](const char* name, const QIcon& icon, const QString& hint,
                   void (TRptForm::*slot)()) {
        QAction* a = fTbrMain->addAction(icon, hint);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        return a;
    };
    add("tbtPrint", PrinterIcon(), QStringLiteral("Печать"), &TRptForm::Print);
    add("tbtPrintDialog", s->standardIcon(QStyle::SP_FileDialogDetailedView),
        QStringLiteral("Диалог печати"), &TRptForm::PrintDialog);
    add("tbtPrinterSetupDialog", PageSetupIcon(), QStringLiteral("Настройка принтера"),
        &TRptForm::PrinterSetup);
    fTbrMain->addSeparator();
    add("tbSave", s->standardIcon(QStyle::SP_DialogSaveButton),
        QStringLiteral("Записать страницу в файл"), &TRptForm::SavePage);
    fTbrMain->addSeparator();
    fTbtPrevPage = add("tbtPrevPage", s->standardIcon(QStyle::SP_ArrowLeft),
        QStringLiteral("Предыдущая страница"), nullptr);
    connect(fTbtPrevPage, &QAction::triggered, this, [this] { SetPageIndex(fPageIndex - 1); });
    fTbtNextPage = add("tbtNextPage", s->standardIcon(QStyle::SP_ArrowRight),
        QStringLiteral("Следующая страница"), nullptr);
    connect(fTbtNextPage, &QAction::triggered, this, [this] { SetPageIndex(fPageIndex + 1); });
    fTbtPrevPage->setVisible(false);
    fTbtNextPage->setVisible(false);
    fTbrMain->addSeparator();

    fCbxScale = new QComboBox(fTbrMain);
    fCbxScale->setObjectName(QStringLiteral("cbxScale"));
    fCbxScale->setToolTip(QStringLiteral("Масштаб"));
    fCbxScale->setEditable(true);
    fCbxScale->setInsertPolicy(QComboBox::NoInsert);
    fCbxScale->setMaxVisibleItems(20);
    fCbxScale->addItems(ZoomItems());
    fCbxScale->setCurrentIndex(kWholePage);
    fCbxScale->setMinimumContentsLength(16);
    connect(fCbxScale, &QComboBox::activated, this, &TRptForm::SetZoomMode);
    // The box completes nothing: "10" would otherwise become "100%" under the user's hands.
    fCbxScale->setCompleter(nullptr);
    connect(fCbxScale->lineEdit(), &QLineEdit::textEdited, this, [this] { fViewMode = -1; });
    // Enter reaches the line edit through the combo box, past any event filter of the line
    // edit, so the zoom is taken from the signal rather than from the key.
    connect(fCbxScale->lineEdit(), &QLineEdit::returnPressed, this, &TRptForm::ApplyTypedZoom);
    fTbrMain->addWidget(fCbxScale);
    fTbrMain->addSeparator();

    auto* refresh = new QPushButton(QStringLiteral("Обновить"), fTbrMain);
    refresh->setObjectName(QStringLiteral("btnRefresh"));
    connect(refresh, &QPushButton::clicked, this, &TRptForm::RequestLayout);
    fTbrMain->addWidget(refresh);
    fTbrMain->addSeparator();
    fCkbGridPrint = new QCheckBox(QStringLiteral("2 x 2"), fTbrMain);
    fCkbGridPrint->setObjectName(QStringLiteral("ckbGridPrint"));
    connect(fCkbGridPrint, &QCheckBox::clicked, this, &TRptForm::SetGridPrint);
    fTbrMain->addWidget(fCkbGridPrint);
    auto* font = new QPushButton(QStringLiteral("Шрифт ..."), fTbrMain);
    font->setObjectName(QStringLiteral("Button1"));
    connect(font, &QPushButton::clicked, this, [this] {
        QFontDialog dialog(fRptFont, this);
        dialog.setOption(QFontDialog::ScalableFonts);
        connect(&dialog, &QFontDialog::currentFontChanged, this, [](const QFont&) {});
        // The dialog has no Apply button of its own; "Применить" lays the report out with
        // the font chosen so far and leaves the dialog open.
        auto* apply = new QPushButton(QStringLiteral("Применить"), &dialog);
        connect(apply, &QPushButton::clicked, this,
            [this, &dialog] { SetReportFont(dialog.currentFont()); });
        if (auto* box = dialog.findChild<QDialogButtonBox*>())
            box->addButton(apply, QDialogButtonBox::ApplyRole);
        if (dialog.exec() == QDialog::Accepted)
            SetReportFont(dialog.selectedFont());
    });
    fTbrMain->addWidget(font);
}

QWidget* TRptForm::PagePanel() const { return fDrawPanel; }

void TRptForm::showEvent(QShowEvent* event)
{
    TExecForm::showEvent(event);
    if (fWorker && !fWorker->isRunning() && !fWorker->isFinished()) {
        fWorker->Resume();
        RequestLayout();
    }
    ApplyZoom();
}

void TRptForm::resizeEvent(QResizeEvent* event)
{
    TExecForm::resizeEvent(event);
    ApplyZoom();
}

void TRptForm::RequestLayout()
{
    if (!fWorker || fWorker->isFinished())
        return;
    fRequest.Geometry = fGeometry;
    fRequest.Font = fRptFont;
    fRequest.SpecialMode = fSpecialMode;
    if (fSourceProvider) {
        try {
            fRequest.ReadSource = fSourceProvider();
        } catch (const std::exception& e) {
            ShowMessage(QString::fromUtf8(e.what()));
            return;
        }
    }
    // Requests during a layout collapse into one more, as the event resets itself.
    if (fPending.load() < 2)
        ++fPending;
    fWorker->SyncEvent().Set();
}

void TRptForm::SetReportFont(const QFont& font)
{
    fRptFont = font;
    RequestLayout();
}

void TRptForm::SetGridPrint(bool on)
{
    // Nothing is redrawn now: the sheets are counted at the next layout.
    fSpecialMode = on;
    if (fCkbGridPrint->isChecked() != on)
        fCkbGridPrint->setChecked(on);
}

void TRptForm::SetZoomMode(int mode)
{
    fViewMode = mode;
    if (fCbxScale->currentIndex() != mode && mode >= 0)
        fCbxScale->setCurrentIndex(mode);
    if (mode != -1)
        ApplyZoom();
}

void TRptForm::ApplyTypedZoom()
{
    const QString text = fCbxScale->currentText();
    const int item = fCbxScale->findText(text);
    if (item >= 0) {
        SetZoomMode(item);
        return;
    }
    bool number = false;
    const int typed = text.trimmed().toInt(&number);
    fTypedZoom = TypedZoom(text);
    // The box is left showing the zoom in effect: a text that is no number shows the 100 %
    // it gave, and a number out of bounds the bound it was held to.
    if (!number) {
        SetZoomMode(kZoom100);
        fCbxScale->setEditText(fCbxScale->itemText(kZoom100));
        return;
    }
    fViewMode = -1;
    if (typed != fTypedZoom)
        fCbxScale->setEditText(QString::number(fTypedZoom));
    ApplyZoom();
}

TPrinterGeometry TRptForm::CurrentGeometry() const
{
    if (fPrinter->outputFormat() == QPrinter::NativeFormat && fPrinter->isValid())
        return TPrinterGeometry::Of(*fPrinter);
    TPrinterGeometry a4 = TPrinterGeometry::A4(
        fPrinter->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
    return a4;
}

void TRptForm::WorkLoop()
{
    while (!fWorker->Terminated()) {
        if (!fWorker->SyncEvent().Wait())
            return;
        if (fWorker->Terminated())
            return;
        TReportRequest request;
        std::unique_ptr<TReportPrinter> replaced;
        if (!Exec([&] {
                fOldPage = std::max(1, fPrn ? fPrn->CurrentPage() : 1);
                request = fRequest;
                // A source copied on the main thread lives only as long as its layout.
                fRequest.ReadSource = nullptr;
                // The page panel shows nothing of the old document from here on, so it goes
                // before the new one is laid out: a refresh never holds two documents.
                replaced = std::move(fPrn);
                LayoutStarted();
            }))
            return;
        if (replaced) {
            replaced.reset();
            ReleaseFreedHeap();
        }
        fProcessing = true;
        std::unique_ptr<TReportPrinter> printer;
        QStringList leftOut;
        try {
            TReportProgress progress;
            // The bar moves by whole percents, so a large report does not wait for the main
            // thread at every step.
            int shown = -1;
            progress.Step = [this, &shown](int stage, int total) {
                const int percent = total > 0 ? int(qint64(stage) * 100 / total) : 0;
                if (percent != shown) {
                    shown = percent;
                    Exec([&] {
                        fPgBar->setMaximum(std::max(total, 1));
                        fPgBar->setValue(stage);
                    });
                }
                return !fWorker->Terminated();
            };
            progress.Draft = [this](int page, std::shared_ptr<const TRecordedPage> draft) {
                if (page != 1)
                    return;
                Exec([&] {
                    fDraft = std::move(draft);
                    fPnlShadow->show();
                    fDrawPanel->show();
                    fDrawPanel->update();
                    fPgBar->raise();
                });
            };
            progress.ColumnsLeftOut = [&leftOut](const QStringList& titles) { leftOut = titles; };
            printer = fLayout(request, progress);
            // Let go of the journal's copy before anyone is told the layout is done.
            request.ReadSource = nullptr;
        } catch (const std::exception& e) {
            // The worker ends with the error; the user learns why the report stays empty.
            fProcessing = false;
            const QString message = QString::fromUtf8(e.what());
            Exec([this, message] {
                fPgBar->hide();
                ShowMessage(message);
            });
            --fPending;
            throw;
        }
        fProcessing = false;
        if (fWorker->Terminated())
            return;
        if (printer && printer->PageCount() >= fOldPage)
            printer->SetCurrentPage(fOldPage);
        TPrintJob job;
        if (!Exec([&] {
                LayoutDone(std::move(printer), request.SpecialMode, leftOut);
                job = TakePrintJob();
            }))
            return;
        if (job.Wanted)
            RunPrintJob(job);
        // What the layout read and measured is gone by now.
        ReleaseFreedHeap();
        --fPending;
        Exec([this] { emit LayoutFinished(); });
    }
}

void TRptForm::LayoutStarted()
{
    fPnlShadow->hide();
    fDrawPanel->hide();
    fPgBar->setValue(0);
    fPgBar->setGeometry(8, 8, std::max(200, fSbxMain->viewport()->width() - 16), 20);
    fPgBar->show();
}

void TRptForm::LayoutDone(std::unique_ptr<TReportPrinter> printer, bool specialMode,
                          const QStringList& columnsLeftOut)
{
    fPgBar->hide();
    fLeftOutText = TJournalReport::LeftOutText(columnsLeftOut);
    // The status line cuts a long list of titles at the window's edge; the hint has it all.
    fStbMain->setToolTip(fLeftOutText);
    fDraft.reset();
    if (printer) {
        printer->SetSpecialMode(specialMode);
        fPrn = std::move(printer);
    }
    fPnlShadow->show();
    int count = fPrn ? fPrn->PageCount() : 1;
    if (fPrn && fPrn->SpecialMode())
        count = count / 4 + (count % 4 ? 1 : 0);
    UpdatePageCount(count);
    fDrawPanel->hide();
    fDrawPanel->show();
}

void TRptForm::UpdatePageCount(int count)
{
    count = std::max(count, 1);
    fPageCount = count;
    if (fPageIndex > count)
        fPageIndex = count;
    fTbtPrevPage->setVisible(count > 1);
    fTbtNextPage->setVisible(count > 1);
    // The status line also tells of columns left out, on a report of one page too.
    fStbMain->setVisible(count > 1 || !fLeftOutText.isEmpty());
    fTbtPrevPage->setEnabled(fPageIndex > 1);
    fTbtNextPage->setEnabled(fPageIndex < count);
    ShowPageStatus();
    if (fPrn)
        fPrn->SetCurrentPage(fPageIndex);
    ApplyZoom();
}

void TRptForm::SetPageIndex(int value)
{
    value = std::clamp(value, 1, fPageCount);
    if (value == fPageIndex)
        return;
    fPageIndex = value;
    fTbtPrevPage->setEnabled(value > 1);
    fTbtNextPage->setEnabled(value < fPageCount);
    ShowPageStatus();
    if (fPrn)
        fPrn->SetCurrentPage(value);
    fDrawPanel->repaint();
}

void TRptForm::ShowPageStatus()
{
    QString text;
    if (fPageCount > 1)
        text = QStringLiteral("Страница %1 из %2").arg(fPageIndex).arg(fPageCount);
    if (!fLeftOutText.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(". ")) + fLeftOutText;
    fStbMain->showMessage(text);
}

void TRptForm::PaintPage(QPainter& painter, QSize size)
{
    if (fProcessing) {
        if (fDraft)
            fDraft->Replay(painter, QRectF(QPointF(), QSizeF(size)));
        return;
    }
    if (fPrn && fPrn->Done())
        fPrn->DisplayPage(painter, size, fPageIndex);
}

void TRptForm::ApplyZoom()
{
    if (!fPnlShadow || !fDrawPanel)
        return;
    fPnlShadow->hide();
    fDrawPanel->hide();
    const TPrinterGeometry g = fPrn ? fPrn->Geometry() : fGeometry;
    const int pw = std::max(g.PrintableWidth, 1);
    const int ph = std::max(g.PrintableHeight, 1);
    const int dx = std::max(g.DpiX, 1);
    const int dy = std::max(g.DpiY, 1);
    const int s = logicalDpiX();
    const QSize client = fSbxMain->viewport()->size();
    QRect panel;
    QSize content;
    auto percentage = [&](int p) {
        panel = QRect(8, 8, int(qint64(pw) * p * s / dx / 100), int(qint64(p) * ph * s / dy / 100));
        content = QSize(panel.width() + 16, panel.height() + 16);
    };
    if (fViewMode >= 0 && fViewMode < int(std::size(kZoomPercent)))
        percentage(kZoomPercent[fViewMode]);
    else if (fViewMode == -1)
        percentage(fTypedZoom);
    else if (fViewMode == kPageWidth) {
        const int width = std::max(client.width() - 33, 1);
        panel = QRect(8, 8, width, int(qint64(width) * ph / pw));
        content = QSize(client.width(), panel.height() + 16);
    } else {
        int height = std::max(client.height() - 16, 1);
        int width = int(qint64(pw) * height / ph);
        if (client.width() - 16 < width) {
            width = std::max(client.width() - 16, 1);
            height = int(qint64(width) * ph / pw);
        }
        panel = QRect((client.width() - width) / 2, (client.height() - height) / 2, width, height);
        content = client;
    }
    fCanvas->resize(content.expandedTo(QSize(1, 1)));
    fSbxMain->horizontalScrollBar()->setValue(0);
    fSbxMain->verticalScrollBar()->setValue(0);
    fDrawPanel->setGeometry(panel);
    if (!fProcessing)
        fDrawPanel->show();
    fPnlShadow->setGeometry(panel.translated(4, 4));
    if (!fProcessing)
        fPnlShadow->show();
    fPnlShadow->stackUnder(fDrawPanel);
}

bool TRptForm::HandleKey(QKeyEvent* key)
{
    QScrollBar* v = fSbxMain->verticalScrollBar();
    QScrollBar* h = fSbxMain->horizontalScrollBar();
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    const int height = fSbxMain->viewport()->height();
    const int width = fSbxMain->viewport()->width();
    switch (key->key()) {
    case Qt::Key_PageUp:
        v->setValue(ctrl ? 0 : v->value() + v->singleStep() - height);
        break;
    case Qt::Key_PageDown:
        v->setValue(ctrl ? v->maximum() : v->value() + height - v->singleStep());
        break;
    case Qt::Key_Up:
        v->setValue(v->value() - v->singleStep());
        break;
    case Qt::Key_Down:
        v->setValue(v->value() + v->singleStep());
        break;
    case Qt::Key_Home:
        h->setValue(0);
        if (ctrl)
            v->setValue(0);
        break;
    case Qt::Key_End:
        h->setValue(h->maximum());
        if (ctrl)
            v->setValue(v->maximum());
        break;
    case Qt::Key_Left:
        h->setValue(ctrl ? h->value() + h->singleStep() - width : h->value() - h->singleStep());
        break;
    case Qt::Key_Right:
        h->setValue(ctrl ? h->value() + width - h->singleStep() : h->value() + h->singleStep());
        break;
    default:
        return false;
    }
    return true;
}

bool TRptForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != fCbxScale->lineEdit()) {
        // A key is seen once, by the first of our widgets it reaches: the page, the scroll
        // box, or the window when a control passed it on. The scroll box would add a step of
        // its own to the scrolling keys, so those stop here.
        QWidget* focus = QApplication::focusWidget();
        const bool first = watched == focus || watched == this;
        auto* key = static_cast<QKeyEvent*>(event);
        if (first && HandleKey(key) && watched != this)
            return true;
        return false;
    }
    if (event->type() == QEvent::Wheel
        && (watched == fDrawPanel || watched == fCanvas || watched == fSbxMain->viewport()
            || watched == this)) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QScrollBar* v = fSbxMain->verticalScrollBar();
        v->setValue(v->value() - wheel->angleDelta().y());
        return true;
    }
    return TExecForm::eventFilter(watched, event);
}

void TRptForm::StopPrinting()
{
    // The worker prints on the printer object the dialogs change, so a print still waiting
    // for its layout is dropped and a running job is ended, after the page it is on, before
    // anything touches the printer. The abort is repeated while waiting, since a job that
    // was only about to start would clear it.
    fPrintAction = false;
    QElapsedTimer timer;
    timer.start();
    while (fJobRunning.load() && timer.elapsed() < 10000) {
        if (fPrn)
            fPrn->Abort();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
}

bool TRptForm::HasPrintTarget() const
{
    if (fPrinter->outputFormat() == QPrinter::PdfFormat)
        return !fPrinter->outputFileName().isEmpty();
    return fPrinter->isValid();
}

void TRptForm::Print()
{
    StopPrinting();
    if (!HasPrintTarget()) {
        OfferPdf();
        return;
    }
    fPrintAction = true;
    RequestLayout();
}

void TRptForm::OfferPdf()
{
    if (!Ask(QStringLiteral("Принтер не установлен. Сохранить отчёт в файл PDF?")))
        return;
    if (!fPrn || !fPrn->Done()) {
        ShowMessage(QStringLiteral("Отчёт ещё не готов."));
        return;
    }
    QString filter = QStringLiteral("Документ PDF (*.pdf)");
    const QString name = AskSaveName(QStringLiteral("Сохранить отчёт в файл PDF"),
        fPrn->Title() + QStringLiteral(".pdf"), filter, &filter);
    if (!name.isEmpty())
        SaveReportAsPdf(name);
}

bool TRptForm::SaveReportAsPdf(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString name = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".pdf");
    QString error;
    if (fPrn->SaveToPdf(name, &error))
        return true;
    ShowMessage(error.isEmpty() ? QStringLiteral("Не удалось записать файл %1.").arg(name) : error);
    return false;
}

void TRptForm::PrintAfterLayout(TPrintRangeChoice choice, int from, int to)
{
    fPrintChoice = choice;
    fPrintFrom = from;
    fPrintTo = to;
    fPrintAction = true;
    RequestLayout();
}

void TRptForm::PrintDialog()
{
    // In 2 x 2 mode the dialog, the selection and the page numbers count sheets, as the
    // window shows them.
    StopPrinting();
    fnLastPage = fPageIndex;
    QPrintDialog dialog(fPrinter.get(), this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintSelection);
    dialog.setMinMax(1, std::max(fPageCount, 1));
    dialog.setFromTo(fnLastPage, std::max(fPageCount, 1));
    if (dialog.exec() != QDialog::Accepted)
        return;
    fGeometry = CurrentGeometry();
    TPrintRangeChoice choice = prAll;
    if (dialog.printRange() == QAbstractPrintDialog::Selection)
        choice = prSelection;
    else if (dialog.printRange() == QAbstractPrintDialog::PageRange)
        choice = prPages;
    ApplyZoom();
    PrintAfterLayout(choice, dialog.fromPage(), dialog.toPage());
}

void TRptForm::PrinterSetup()
{
    StopPrinting();
    QPageSetupDialog dialog(fPrinter.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fGeometry = CurrentGeometry();
    ApplyZoom();
    RequestLayout();
}

TRptForm::TPrintJob TRptForm::TakePrintJob()
{
    TPrintJob job;
    if (!fPrintAction || !fPrn)
        return job;
    fPrintAction = false;
    job.Wanted = true;
    fJobRunning = true;
    // Pages are counted as the window shows them: sheets of four in 2 x 2 mode.
    const bool sheets = fPrn->SpecialMode();
    const int last = fPageCount;
    if (last < fnLastPage)
        fnLastPage = 1;
    auto firstOf = [&](int shown) { return sheets ? (shown - 1) * 4 + 1 : shown; };
    auto lastOf = [&](int shown) {
        return sheets ? std::min(shown * 4, fPrn->PageCount()) : shown;
    };
    switch (fPrintChoice) {
    case prAll:
        job.From = 1;
        job.To = fPrn->PageCount();
        break;
    case prSelection:
        job.From = firstOf(std::max(fnLastPage, 1));
        job.To = lastOf(std::max(fnLastPage, 1));
        break;
    case prPages:
        job.From = firstOf(std::clamp(fPrintFrom, 1, last));
        job.To = lastOf(std::clamp(fPrintTo, 1, last));
        break;
    }
    fPrinter->setDocName(fPrn->Title());
    return job;
}

void TRptForm::RunPrintJob(const TPrintJob& job)
{
    QString error;
    const bool failed = fPrn && !fPrn->PrintRange(*fPrinter, job.From, job.To, &error)
        && !error.isEmpty();
    // The job is over before the message waits for the user, so that a print asked for
    // meanwhile does not wait for the message as well.
    fJobRunning = false;
    if (failed)
        Exec([this, error] {
            RenewPrinter();
            ShowMessage(error);
        });
}

void TRptForm::RenewPrinter()
{
    if (fPrinter->printerState() != QPrinter::Active && fPrinter->printerState() != QPrinter::Error)
        return;
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    fresh->setFullPage(false);
    if (fPrinter->outputFormat() == QPrinter::NativeFormat)
        fresh->setPrinterName(fPrinter->printerName());
    else
        fresh->setOutputFormat(fPrinter->outputFormat());
    fresh->setOutputFileName(fPrinter->outputFileName());
    fresh->setPageLayout(fPrinter->pageLayout());
    fresh->setCopyCount(fPrinter->copyCount());
    fresh->setCollateCopies(fPrinter->collateCopies());
    fresh->setDuplex(fPrinter->duplex());
    fresh->setColorMode(fPrinter->colorMode());
    fresh->setDocName(fPrinter->docName());
    fPrinter = std::move(fresh);
}

bool TRptForm::SavePageTo(const QString& fileName, QString* error)
{
    if (!fPrn || !fPrn->Done() || fPageIndex < 1) {
        if (error)
            *error = QStringLiteral("Отчёт ещё не готов.");
        return false;
    }
    // In 2 x 2 mode the shown sheet starts with page (sheet - 1) * 4 + 1; that page is saved.
    const int page = fPrn->SpecialMode() ? (fPageIndex - 1) * 4 + 1 : fPageIndex;
    if (page > fPrn->PageCount())
        return false;
    return fPrn->SavePageToFile(page, fileName, error);
}

void TRptForm::SavePage()
{
    if (!fPrn || fPageIndex < 1 || fPageIndex > fPageCount)
        return;
    const QString emf = QStringLiteral("Enhanced Metafiles (*.emf)");
    const QString pdf = QStringLiteral("Документ PDF, весь отчёт (*.pdf)");
    QString filter = emf;
    QString name = AskSaveName(QStringLiteral("Сохранить"),
        QStringLiteral("page%1").arg(fPageIndex), emf + QStringLiteral(";;") + pdf, &filter);
    if (name.isEmpty())
        return;
    if (filter == pdf) {
        SaveReportAsPdf(name);
        return;
    }
    QString error;
    const QFileInfo info(name);
    name = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".emf");
    if (!SavePageTo(name, &error) && !error.isEmpty())
        ShowMessage(error);
}

QString TRptForm::AskSaveName(const QString& caption, const QString& proposed,
                              const QString& filters, QString* filter)
{
    if (fSaveNameSink)
        return fSaveNameSink(caption, proposed, filters, filter);
    return QFileDialog::getSaveFileName(this, caption, proposed, filters, filter);
}

void TRptForm::ShowMessage(const QString& text)
{
    if (fMessageSink) {
        TraceText(text, TRACE_ERROR);
        fMessageSink(text);
    } else {
        ShowMsgDlg(text, { bOk, iEXCLAMATION }, windowTitle());
    }
}

bool TRptForm::Ask(const QString& question)
{
    if (fQuestionSink)
        return fQuestionSink(question);
    return ShowMsgDlg(question, { bYes, bNo, iQUESTION }, windowTitle()) == mrYes;
}

bool TRptForm::WaitForLayout(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (fPending.load() > 0) {
        if (timer.elapsed() > timeoutMs || !fWorker || fWorker->isFinished())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCoreApplication::processEvents();
    return true;
}
