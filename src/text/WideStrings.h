#pragma once

#include "text/Persistent.h"

#include <QString>

class QIODevice;

// A list of lines of UTF-16 text. The whole text reads with CR LF between
// lines; setting it splits at CR LF, lone CR and lone LF.
class TWideStrings : public TPersistent {
public:
    ~TWideStrings() override = default;

    int Count() const { return GetCount(); }
    QString operator[](int Index) const { return Get(Index); }

    virtual QString Get(int Index) const = 0;
    virtual void Put(int Index, const QString& S);
    virtual int GetCapacity() const;
    virtual void SetCapacity(int Value);
    virtual int GetCount() const = 0;
    virtual QString GetWideText() const;
    virtual void SetWideText(const QString& Value);
    virtual bool SameLines(const TWideStrings& Other) const;
    virtual int Add(const QString& S);
    void Append(const QString& S) { Add(S); }
    virtual void AddStrings(const TWideStrings& Strings);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const QString& S) const;
    virtual void Insert(int Index, const QString& S) = 0;
    // File and stream failures are reported by the result; the list is then
    // unchanged.
    virtual bool LoadFromFile(const QString& FileName);
    virtual bool SaveToFile(const QString& FileName) const;
    virtual bool LoadFromStream(QIODevice& Stream);
    virtual bool SaveToStream(QIODevice& Stream) const;
    // A copy of the whole text; the caller owns it like any QString.
    virtual QString GetText() const { return GetWideText(); }
    virtual void SetText(const QString& AText) { SetWideText(AText); }

    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TWideStrings"); }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return fUpdateCount; }

    // The persisted form of a list that is not a TWideText: "#$" and four
    // hexadecimal digits per code unit of the text.
    QString EncodedLines() const;
    // Returns false, leaving the list unchanged, for a malformed value.
    bool DecodeLines(const QString& Value);
    // Whether the encoded form must be written, given the value it would
    // inherit (none when there is no ancestor).
    bool ShouldStoreLines(const TPersistent* Ancestor) const;

protected:
    TWideStrings() = default;
    virtual void SetUpdating(bool Updating);
    [[noreturn]] static void Error(const char* Format, int Arg);

private:
    int fUpdateCount = 0;
};

// Keeps a list inside one BeginUpdate/EndUpdate bracket, also when an error
// passes through.
class TWideStringsUpdate {
public:
    explicit TWideStringsUpdate(TWideStrings& Strings)
        : fStrings(Strings)
    {
        fStrings.BeginUpdate();
    }
    ~TWideStringsUpdate() { fStrings.EndUpdate(); }
    TWideStringsUpdate(const TWideStringsUpdate&) = delete;
    TWideStringsUpdate& operator=(const TWideStringsUpdate&) = delete;

private:
    TWideStrings& fStrings;
};
