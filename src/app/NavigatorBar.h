#pragma once

#include <QWidget>
#include <array>

class QToolButton;
class TDbQuery;

// The record navigator over the journal query: first, prior, next, last, insert, delete,
// edit, post, cancel and refresh. It enables its buttons by the query's position and
// state and leaves the commands themselves to the window, which knows how to confirm a
// deletion and where errors go.
class TNavigatorBar : public QWidget {
    Q_OBJECT
public:
    enum TButton { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost,
        nbCancel, nbRefresh, nbCount };

    explicit TNavigatorBar(TDbQuery& query, QWidget* parent = nullptr);

    QToolButton* Button(TButton which) const { return fButtons[which]; }
    // Follows the query's position and state.
    void UpdateButtons();

signals:
    void Clicked(TNavigatorBar::TButton which);

private:
    TDbQuery& fQuery;
    std::array<QToolButton*, nbCount> fButtons {};
};
