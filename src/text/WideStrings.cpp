#include "text/WideStrings.h"

#include "text/StringListError.h"

#include <QFile>
#include <QIODevice>

void TWideStrings::Error(const char* Format, int Arg)
{
    QString Message = QString::fromLatin1(Format);
    if (Message.contains(QLatin1String("%1")))
        Message = Message.arg(Arg);
    throw EStringListError(Message);
}

void TWideStrings::Put(int Index, const QString& S)
{
    TWideStringsUpdate Update(*this);
    Delete(Index);
    Insert(Index, S);
}

int TWideStrings::GetCapacity() const { return GetCount(); }

void TWideStrings::SetCapacity(int) { }

QString TWideStrings::GetWideText() const
{
    const int N = GetCount();
    QString Result;
    for (int I = 0; I < N; ++I) {
        const QString Line = Get(I);
        if (I > 0)
            Result += QStringLiteral("\r\n");
        // An empty last line would vanish when the text is split again, so it
        // is written as a line break of its own.
        if (I == N - 1 && Line.isEmpty())
            Result += QStringLiteral("\r\n");
        else
            Result += Line;
    }
    return Result;
}

void TWideStrings::SetWideText(const QString& Value)
{
    TWideStringsUpdate Update(*this);
    Clear();
    const qsizetype N = Value.size();
    qsizetype I = 0;
    while (I < N) {
        const qsizetype Start = I;
        while (I < N && Value[I] != u'\r' && Value[I] != u'\n')
            ++I;
        Add(Value.mid(Start, I - Start));
        if (I < N && Value[I] == u'\r')
            ++I;
        if (I < N && Value[I] == u'\n')
            ++I;
    }
}

bool TWideStrings::SameLines(const TWideStrings& Other) const
{
    const int N = GetCount();
    if (N != Other.GetCount())
        return false;
    for (int I = 0; I < N; ++I)
        if (Get(I) != Other.Get(I))
            return false;
    return true;
}

int TWideStrings::Add(const QString& S)
{
    const int Result = GetCount();
    Insert(Result, S);
    return Result;
}

void TWideStrings::AddStrings(const TWideStrings& Strings)
{
    // Reading the source first keeps adding a list to itself finite.
    const int N = Strings.GetCount();
    QStringList Lines;
    Lines.reserve(N);
    for (int I = 0; I < N; ++I)
        Lines.append(Strings.Get(I));
    TWideStringsUpdate Update(*this);
    for (const QString& Line : Lines)
        Add(Line);
}

void TWideStrings::Exchange(int Index1, int Index2)
{
    TWideStringsUpdate Update(*this);
    const QString S1 = Get(Index1);
    const QString S2 = Get(Index2);
    Put(Index1, S2);
    Put(Index2, S1);
}

void TWideStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    TWideStringsUpdate Update(*this);
    const QString S = Get(CurIndex);
    Delete(CurIndex);
    Insert(NewIndex, S);
}

int TWideStrings::IndexOf(const QString& S) const
{
    const int N = GetCount();
    for (int I = 0; I < N; ++I)
        if (Get(I).compare(S, Qt::CaseInsensitive) == 0)
            return I;
    return -1;
}

bool TWideStrings::LoadFromFile(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return false;
    return LoadFromStream(File);
}

bool TWideStrings::SaveToFile(const QString& FileName) const
{
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return SaveToStream(File) && File.flush();
}

bool TWideStrings::LoadFromStream(QIODevice& Stream)
{
    if (!Stream.isReadable())
        return false;
    const QByteArray Bytes = Stream.readAll();
    const qsizetype Chars = Bytes.size() / 2;
    QString Text(Chars, Qt::Uninitialized);
    for (qsizetype I = 0; I < Chars; ++I)
        Text[I] = QChar(char16_t(uchar(Bytes[2 * I]) | (uchar(Bytes[2 * I + 1]) << 8)));
    TWideStringsUpdate Update(*this);
    SetWideText(Text);
    return true;
}

bool TWideStrings::SaveToStream(QIODevice& Stream) const
{
    const QString Text = GetWideText();
    QByteArray Bytes(Text.size() * 2, Qt::Uninitialized);
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const char16_t U = Text[I].unicode();
        Bytes[2 * I] = char(U & 0xFF);
        Bytes[2 * I + 1] = char(U >> 8);
    }
    return Stream.write(Bytes) == Bytes.size();
}

void TWideStrings::Assign(const TPersistent& Source)
{
    if (const auto* Strings = dynamic_cast<const TWideStrings*>(&Source)) {
        if (Strings == this)
            return;
        TWideStringsUpdate Update(*this);
        Clear();
        AddStrings(*Strings);
        return;
    }
    TPersistent::Assign(Source);
}

void TWideStrings::BeginUpdate()
{
    if (fUpdateCount == 0)
        SetUpdating(true);
    ++fUpdateCount;
}

void TWideStrings::EndUpdate()
{
    --fUpdateCount;
    if (fUpdateCount == 0)
        SetUpdating(false);
}

void TWideStrings::SetUpdating(bool) { }

QString TWideStrings::EncodedLines() const
{
    const QString Text = GetText();
    QString Result;
    Result.reserve(Text.size() * 6);
    for (const QChar C : Text)
        Result += QStringLiteral("#$%1").arg(C.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return Result;
}

bool TWideStrings::DecodeLines(const QString& Value)
{
    if (Value.size() % 6 != 0)
        return false;
    QString Text(Value.size() / 6, Qt::Uninitialized);
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QStringView Group = QStringView(Value).mid(I * 6, 6);
        if (Group[0] != u'#' || Group[1] != u'$')
            return false;
        bool Ok = false;
        const uint Code = Group.mid(2).toUInt(&Ok, 16);
        if (!Ok || Code > 0xFFFF)
            return false;
        Text[I] = QChar(char16_t(Code));
    }
    TWideStringsUpdate Update(*this);
    Clear();
    SetWideText(Text);
    return true;
}

bool TWideStrings::ShouldStoreLines(const TPersistent* Ancestor) const
{
    if (!Ancestor)
        return GetCount() > 0;
    const auto* Strings = dynamic_cast<const TWideStrings*>(Ancestor);
    return !Strings || !SameLines(*Strings);
}
