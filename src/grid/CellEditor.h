#pragma once

#include "grid/model/GridCell.h"

#include <QString>

#include <algorithm>

#include <vector>

inline bool operator<(const TCharPos& A, const TCharPos& B)
{
    return A.Line < B.Line || (A.Line == B.Line && A.Char < B.Char);
}

// The text of the built-in cell editor with its caret and selection. It
// knows characters and lines only; pixels are the grid's business, which
// lays the lines out as it paints them.
class TCellEditor {
public:
    QString Text() const;
    // Replaces the text; the caret goes to its end and the selection
    // collapses.
    void SetText(const QString& Value);
    int LineCount() const { return int(fLines.size()); }
    const QString& Line(int Index) const { return fLines[size_t(Index)]; }

    TCharPos CaretPos() const { return fCaretPos; }
    TCharPos StartPos() const { return fStartPos; }
    // Places the caret; Extend keeps the selection's other end. Positions
    // outside the text are moved into it.
    void SetCaret(TCharPos Pos, bool Extend);
    void SetSelection(TCharPos Caret, TCharPos Start);
    bool HasSelection() const { return !(fCaretPos == fStartPos); }
    TCharPos SelectionFirst() const { return std::min(fCaretPos, fStartPos); }
    TCharPos SelectionLast() const { return std::max(fCaretPos, fStartPos); }
    QString SelectedText() const;

    // Editing; each answers whether the text changed.
    bool InsertText(const QString& Value);
    bool DeleteSelection();
    bool DeleteBefore();
    bool DeleteAfter();
    // Everything selected, the caret at the end; a formula's leading "="
    // stays outside, so typing replaces the formula's body.
    void SelectAll();

    // Caret movements by the text's structure.
    TCharPos Clamp(TCharPos Pos) const;
    TCharPos NextChar(TCharPos Pos) const;
    TCharPos PrevChar(TCharPos Pos) const;
    TCharPos LineStart(TCharPos Pos) const { return { Clamp(Pos).Line, 0 }; }
    TCharPos LineEnd(TCharPos Pos) const;
    TCharPos TextStart() const { return { 0, 0 }; }
    TCharPos TextEnd() const;

private:
    // Never empty: an empty text is one empty line.
    std::vector<QString> fLines { QString() };
    TCharPos fCaretPos;
    TCharPos fStartPos;
};
