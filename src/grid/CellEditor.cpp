#include "grid/CellEditor.h"

#include "text/TextLines.h"

#include <algorithm>

QString TCellEditor::Text() const
{
    qsizetype Size = 0;
    for (const QString& L : fLines)
        Size += L.size() + 2;
    QString Result;
    Result.reserve(Size);
    for (size_t I = 0; I < fLines.size(); ++I) {
        if (I > 0)
            Result += QStringLiteral("\r\n");
        Result += fLines[I];
    }
    return Result;
}

void TCellEditor::SetText(const QString& Value)
{
    fLines = SplitLines(Value);
    fCaretPos = fStartPos = TextEnd();
}

TCharPos TCellEditor::Clamp(TCharPos Pos) const
{
    Pos.Line = std::clamp(Pos.Line, 0, LineCount() - 1);
    Pos.Char = std::clamp(Pos.Char, 0, qint32(Line(Pos.Line).size()));
    return Pos;
}

void TCellEditor::SetCaret(TCharPos Pos, bool Extend)
{
    fCaretPos = Clamp(Pos);
    if (!Extend)
        fStartPos = fCaretPos;
}

void TCellEditor::SetSelection(TCharPos Caret, TCharPos Start)
{
    fCaretPos = Clamp(Caret);
    fStartPos = Clamp(Start);
}

QString TCellEditor::SelectedText() const
{
    const TCharPos A = SelectionFirst();
    const TCharPos B = SelectionLast();
    if (A.Line == B.Line)
        return Line(A.Line).mid(A.Char, B.Char - A.Char);
    QString S = Line(A.Line).mid(A.Char);
    for (qint32 L = A.Line + 1; L < B.Line; ++L)
        S += QStringLiteral("\r\n") + Line(L);
    S += QStringLiteral("\r\n") + Line(B.Line).left(B.Char);
    return S;
}

bool TCellEditor::DeleteSelection()
{
    if (!HasSelection())
        return false;
    const TCharPos A = SelectionFirst();
    const TCharPos B = SelectionLast();
    QString Joined = Line(A.Line).left(A.Char) + Line(B.Line).mid(B.Char);
    fLines.erase(fLines.begin() + A.Line + 1, fLines.begin() + B.Line + 1);
    fLines[size_t(A.Line)] = std::move(Joined);
    fCaretPos = fStartPos = A;
    return true;
}

bool TCellEditor::InsertText(const QString& Value)
{
    const bool Deleted = DeleteSelection();
    if (Value.isEmpty())
        return Deleted;
    std::vector<QString> Parts = SplitLines(Value);
    const TCharPos At = fCaretPos;
    const QString Tail = Line(At.Line).mid(At.Char);
    QString& First = fLines[size_t(At.Line)];
    First = First.left(At.Char) + Parts.front();
    TCharPos End { At.Line, qint32(First.size()) };
    if (Parts.size() > 1) {
        Parts.back() += Tail;
        End = { At.Line + qint32(Parts.size()) - 1, qint32(Parts.back().size() - Tail.size()) };
        fLines.insert(fLines.begin() + At.Line + 1, std::make_move_iterator(Parts.begin() + 1),
            std::make_move_iterator(Parts.end()));
    } else {
        First += Tail;
    }
    fCaretPos = fStartPos = End;
    return true;
}

bool TCellEditor::DeleteBefore()
{
    if (HasSelection())
        return DeleteSelection();
    const TCharPos To = PrevChar(fCaretPos);
    if (To == Clamp(fCaretPos))
        return false;
    fStartPos = To;
    return DeleteSelection();
}

bool TCellEditor::DeleteAfter()
{
    if (HasSelection())
        return DeleteSelection();
    const TCharPos To = NextChar(fCaretPos);
    if (To == Clamp(fCaretPos))
        return false;
    fStartPos = To;
    return DeleteSelection();
}

void TCellEditor::SelectAll()
{
    fStartPos = { 0, Line(0).startsWith(u'=') ? 1 : 0 };
    fCaretPos = TextEnd();
}

TCharPos TCellEditor::NextChar(TCharPos Pos) const
{
    Pos = Clamp(Pos);
    if (Pos.Char < Line(Pos.Line).size())
        return { Pos.Line, Pos.Char + 1 };
    if (Pos.Line + 1 < LineCount())
        return { Pos.Line + 1, 0 };
    return Pos;
}

TCharPos TCellEditor::PrevChar(TCharPos Pos) const
{
    Pos = Clamp(Pos);
    if (Pos.Char > 0)
        return { Pos.Line, Pos.Char - 1 };
    if (Pos.Line > 0)
        return { Pos.Line - 1, qint32(Line(Pos.Line - 1).size()) };
    return Pos;
}

TCharPos TCellEditor::LineEnd(TCharPos Pos) const
{
    Pos = Clamp(Pos);
    return { Pos.Line, qint32(Line(Pos.Line).size()) };
}

TCharPos TCellEditor::TextEnd() const { return { LineCount() - 1, qint32(fLines.back().size()) }; }
