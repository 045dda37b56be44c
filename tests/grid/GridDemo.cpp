// A window with a 10,000 by 50 grid for looking at the grid as a user does:
// fixed row and column, mixed formats, a selection and drop-list buttons.
//   veskor_grid_demo [--shot FILE] [--scroll ROWS] [--wheel NOTCHES]
// With --shot the window saves its picture after the given scrolling and
// quits; scrolling goes through the scroll bar's drag and the wheel as a
// user's would.
#include "grid/GridObject.h"
#include "grid/control/GridControl.h"
#include "grid/DropList.h"

#include <QApplication>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    QString Shot;
    int Scroll = 0;
    int Wheel = 0;
    const QStringList Args = App.arguments();
    for (int I = 1; I + 1 < Args.size(); ++I) {
        if (Args[I] == QLatin1String("--shot"))
            Shot = Args[++I];
        else if (Args[I] == QLatin1String("--scroll"))
            Scroll = Args[++I].toInt();
        else if (Args[I] == QLatin1String("--wheel"))
            Wheel = Args[++I].toInt();
    }
    TGridControl C;
    C.setWindowTitle(QStringLiteral("Сетка"));
    C.resize(900, 520);
    TGridObject& G = C.Grid();
    G.SetColCount(51);
    G.SetRowCount(10001);
    G.SetSpaceWidth(1);
    G.SetSpaceHeight(1);
    G.SetDefaultColWidth(110);
    G.SetGridColor(TGridObject::gcFixedSpace, RGBColor(160, 160, 160));
    G.SetGridColor(TGridObject::gcEditSpace, RGBColor(220, 220, 220));
    G.SetSelectionFrame(true);
    G.SetAutoHint(true);
    C.OnGetEditText = [](TPersistent*, qint32 ACol, qint32 ARow, TCellStates, THead*, THead*,
                          QString& Value, bool& Handled) {
        if (ACol == 0 || ARow == 0 || ACol <= 4)
            return;
        Value = QStringLiteral("Проба %1-%2").arg(ARow).arg(ACol);
        Handled = true;
    };
    static TCustomDropList List, Ellipsis, Check, ListButton;
    List.ButtonViewStyle = bvsList;
    List.ButtonAlwaysVisible = true;
    Ellipsis.ButtonViewStyle = bvsEllipsis;
    Ellipsis.ButtonAlwaysVisible = true;
    Check.ButtonViewStyle = bvsCheck;
    Check.ButtonAlwaysVisible = true;
    Check.List().Add(QStringLiteral("0"));
    Check.List().Add(QStringLiteral("1"));
    ListButton.ButtonViewStyle = bvsListButton;
    ListButton.ButtonAlwaysVisible = true;
    ListButton.SetCaptionBorder(true);
    for (qint32 R = 1; R <= 10000; R += 1) {
        if (R > 400 && R < 9900)
            continue;
        TCell* Cell = G.Cells().GetCell(1, R);
        Cell->SetText(QString::number(R * 3.14159, 'f', 5));
        Cell->SetCellFormat(cfmtNumeric);
        Cell->SetPrecision(2);
        G.Cells().GetCell(3, R)->SetText(R % 3 == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        G.Cells().GetCell(4, R)->SetText(QStringLiteral("Вариант %1").arg(R % 4));
        G.Cells().GetCell(2, R)->SetText(QStringLiteral("Длинный текст, не помещающийся в ячейку %1").arg(R));
    }
    // The heads are formatted after the cells are made: making a cell makes
    // its row head, and that head's stamps would win over earlier settings.
    // The journal gives the fixed column's head its row-number look: the
    // fixed cells take that head's format.
    G.Cols().GetHead(0)->SetAlignment({ afRight, afVCenter, afSingleLine, afNoPrefix });
    THead* Numbers = G.Cols().GetHead(1);
    Numbers->SetAlignment({ afRight, afSingleLine, afNoPrefix });
    G.Cols().GetHead(2)->SetDropList(&Ellipsis);
    G.Cols().GetHead(3)->SetDropList(&Check);
    G.Cols().GetHead(4)->SetDropList(&ListButton);
    TGridFont Bold = G.Cols().GetHead(5)->Font();
    Bold.SetStyle({ fsBold });
    Bold.SetColor(RGBColor(0, 0, 160));
    G.Cols().GetHead(5)->SetFont(Bold);
    G.Cols().GetHead(5)->SetDropList(&List);
    G.Cols().GetHead(6)->SetBackColor(RGBColor(255, 248, 220));
    G.Cols().GetHead(6)->SetAlignment({ afHCenter, afSingleLine, afNoPrefix });
    G.FocusCell(5, 3, false, true);
    G.ExtendSelection(7, 7);
    G.AdjustWidth(0);
    C.show();
    if (Shot.isEmpty())
        return App.exec();
    QTimer::singleShot(300, [&] {
        if (Scroll != 0 && C.VertScrollBar()) {
            // A drag: the thumb moves in steps and is released at the end.
            QScrollBar* Bar = C.VertScrollBar();
            Bar->setSliderDown(true);
            for (int P = 0; P <= Scroll; P += std::max(1, Scroll / 7)) {
                Bar->setSliderPosition(P);
                Bar->triggerAction(QAbstractSlider::SliderMove);
            }
            Bar->setSliderPosition(Scroll);
            Bar->setSliderDown(false);
        }
        for (int I = 0; I < std::abs(Wheel); ++I) {
            const QPointF At(300, 200);
            QWheelEvent E(At, C.mapToGlobal(At), QPoint(), QPoint(0, Wheel > 0 ? -120 : 120),
                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&C, &E);
        }
        QTimer::singleShot(300, [&] {
            C.grab().save(Shot);
            App.quit();
        });
    });
    return App.exec();
}
