#pragma once

#include <QWidget>

// The size grip in the corner between the grid's separate scroll bars.
class TGridGrab : public QWidget {
public:
    explicit TGridGrab(QWidget* Parent);

protected:
    void paintEvent(QPaintEvent* Event) override;
};
