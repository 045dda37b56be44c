#include "text/WideText.h"

namespace {

constexpr int MaxListSize = 134217727;

bool IsBreak(QChar C) { return C == u'\r' || C == u'\n'; }

}

TWideText::TWideText(const TWideText& Other)
    : TWideStrings()
    , fText(Other.fText)
    , fModified(true)
    , fSorted(Other.fSorted)
    , fDuplicates(Other.fDuplicates)
{
}

TWideText& TWideText::operator=(const TWideText& Other)
{
    if (this != &Other)
        SetWideText(Other.fText);
    return *this;
}

void TWideText::Grow() const
{
    int Delta = 128;
    if (fCapacity > 2048)
        Delta = fCapacity / 4;
    else if (fCapacity > 256)
        Delta = 512;
    fCapacity += Delta;
    fList.resize(fCapacity);
}

void TWideText::RebuildLines() const
{
    if (!fModified)
        return;
    fCount = 0;
    fCapacity = 0;
    fList.clear();
    const QChar* P = fText.constData();
    const qsizetype N = fText.size();
    qsizetype I = 0;
    qsizetype LastBreak = -1;
    while (I < N && P[I] != u'\0') {
        if (fCount == fCapacity)
            Grow();
        fList[fCount++] = I;
        while (I < N && P[I] != u'\0' && !IsBreak(P[I]))
            ++I;
        LastBreak = I;
        if (I < N && P[I] == u'\r')
            ++I;
        if (I < N && P[I] == u'\n')
            ++I;
    }
    if (LastBreak >= 0 && LastBreak < N && IsBreak(P[LastBreak])) {
        if (fCount == fCapacity)
            Grow();
        fList[fCount++] = I;
    }
    fEnd = I;
    fModified = false;
}

qsizetype TWideText::NextStart(int Index) const
{
    return Index + 1 < fCount ? fList[Index + 1] : fEnd;
}

qsizetype TWideText::ContentEnd(int Index) const
{
    const qsizetype Start = fList[Index];
    qsizetype End = NextStart(Index);
    if (End > Start && IsBreak(fText[End - 1])) {
        --End;
        if (End > Start && IsBreak(fText[End - 1]))
            --End;
    }
    return End;
}

void TWideText::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index > Limit)
        Error("List index out of bounds (%1)", Index);
}

void TWideText::CheckNotSorted() const
{
    if (fSorted)
        Error("Operation not allowed on sorted list", 0);
}

int TWideText::GetCount() const
{
    RebuildLines();
    return fCount;
}

int TWideText::GetCapacity() const
{
    RebuildLines();
    return fCapacity;
}

void TWideText::SetCapacity(int Value)
{
    RebuildLines();
    if (Value < fCount || Value > MaxListSize)
        Error("List capacity out of bounds (%1)", Value);
    fCapacity = Value;
    fList.resize(Value);
}

QString TWideText::Get(int Index) const
{
    RebuildLines();
    CheckIndex(Index, fCount - 1);
    const qsizetype Start = fList[Index];
    return fText.mid(Start, ContentEnd(Index) - Start);
}

void TWideText::Replace(const QString& NewText)
{
    SetWideText(NewText);
    NotifyChanged();
}

void TWideText::Put(int Index, const QString& S)
{
    RebuildLines();
    CheckNotSorted();
    CheckIndex(Index, fCount - 1);
    NotifyChanging();
    QString NewText = fText.left(fList[Index]) + S;
    if (Index < fCount - 1)
        NewText += QStringLiteral("\r\n") + fText.mid(fList[Index + 1]);
    Replace(NewText);
}

void TWideText::Insert(int Index, const QString& S)
{
    RebuildLines();
    CheckNotSorted();
    CheckIndex(Index, fCount);
    NotifyChanging();
    if (fCount == fCapacity)
        Grow();
    QString NewText;
    if (Index < fCount)
        NewText = fText.left(fList[Index]) + S + QStringLiteral("\r\n") + fText.mid(fList[Index]);
    else if (fCount > 0)
        NewText = fText.left(fEnd) + QStringLiteral("\r\n") + S;
    else
        NewText = S;
    Replace(NewText);
}

void TWideText::Delete(int Index)
{
    RebuildLines();
    CheckIndex(Index, fCount - 1);
    NotifyChanging();
    QString NewText;
    if (Index == 0)
        NewText = fCount > 1 ? fText.mid(fList[1]) : QString();
    else if (Index < fCount - 1)
        NewText = fText.left(fList[Index]) + fText.mid(fList[Index + 1]);
    else
        NewText = fText.left(ContentEnd(Index - 1));
    Replace(NewText);
}

void TWideText::Clear()
{
    RebuildLines();
    // A text that holds no lines (it starts with NUL) is emptied as well, so
    // that the whole text always reads empty after Clear.
    if (fCount == 0 && fText.isEmpty())
        return;
    NotifyChanging();
    fCount = 0;
    fCapacity = 0;
    fList.clear();
    fText.clear();
    fEnd = 0;
    fModified = false;
    NotifyChanged();
}

void TWideText::SetWideText(const QString& Value)
{
    TWideStringsUpdate Update(*this);
    fText = Value;
    fModified = true;
}

void TWideText::Assign(const TPersistent& Source)
{
    if (const auto* Text = dynamic_cast<const TWideText*>(&Source)) {
        if (Text != this)
            SetWideText(Text->fText);
        return;
    }
    TWideStrings::Assign(Source);
}

bool TWideText::Find(const QString& S, int& Index) const
{
    Index = IndexOf(S);
    return Index >= 0;
}

void TWideText::SetSorted(bool Value)
{
    if (fSorted == Value)
        return;
    fSorted = Value;
    if (Value)
        Sort();
}

void TWideText::SetUpdating(bool Updating)
{
    if (Updating)
        NotifyChanging();
    else
        NotifyChanged();
}

void TWideText::NotifyChanging()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(*this);
}

void TWideText::NotifyChanged()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(*this);
}
