#pragma once

#include <QByteArray>
#include <QString>

class TGridObject;

// The stored form of a grid: its published properties, its column and row
// heads and its cells with their published properties (only those that
// differ from their defaults) and their "ChangedOrders" stamps.
class TGridStream {
public:
    static QByteArray Save(const TGridObject& Grid);
    // Reads a stored grid into Grid. A truncated, garbled or inconsistent
    // stream is refused with a reason, and Grid is then left as it was.
    static bool Load(TGridObject& Grid, const QByteArray& Data, QString* Error = nullptr);
};
