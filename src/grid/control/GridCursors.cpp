#include "grid/control/GridCursors.h"

#include <QPixmap>

#include <array>
#include <optional>

// Static libraries do not register their resources by themselves.
static void InitGridCursorResources() { Q_INIT_RESOURCE(GridCursors); }

namespace {

constexpr std::array<const char*, 7> Names { "EXCELCROSS", "ARROWDOWN", "ARROWRIGHT",
    "ROWSIZING", "COLSIZING", "COPYSTRETCH", "COPYDRAGA" };
// The hot spot of each picture, where the pointer's position is.
constexpr std::array<QPoint, 7> HotSpots { QPoint(16, 16), QPoint(16, 29), QPoint(29, 16),
    QPoint(16, 16), QPoint(16, 16), QPoint(16, 16), QPoint(2, 2) };

struct TLoaded {
    std::array<std::optional<QCursor>, 7> Cursors;
    TLoaded()
    {
        InitGridCursorResources();
        for (size_t I = 0; I < Names.size(); ++I) {
            const QPixmap P(QStringLiteral(":/grid/cursors/") + QLatin1String(Names[I]), "XPM");
            if (!P.isNull())
                Cursors[I] = QCursor(P, HotSpots[I].x(), HotSpots[I].y());
        }
    }
};

// Loaded once, on first use, as the program registers its pointers once.
const TLoaded& Loaded()
{
    static const TLoaded L;
    return L;
}

}

QCursor GridCursor(int Number)
{
    const int I = Number - gcrExcelCross;
    if (I < 0 || I >= int(Names.size()) || !Loaded().Cursors[size_t(I)])
        return QCursor(Qt::ArrowCursor);
    return *Loaded().Cursors[size_t(I)];
}

bool GridCursorLoaded(int Number)
{
    const int I = Number - gcrExcelCross;
    return I >= 0 && I < int(Names.size()) && Loaded().Cursors[size_t(I)].has_value();
}
