#pragma once

#include "text/WideStrings.h"

#include <QList>

#include <functional>

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TWideText;
using TWideTextNotify = std::function<void(TWideText& Sender)>;

// Keeps the whole text as one string and finds the lines in it on demand, so
// that reading and setting the whole text is cheap; editing single lines
// rewrites the text.
class TWideText : public TWideStrings {
public:
    TWideText() = default;
    TWideText(const TWideText& Other);
    TWideText& operator=(const TWideText& Other);

    QString Get(int Index) const override;
    void Put(int Index, const QString& S) override;
    int GetCapacity() const override;
    void SetCapacity(int Value) override;
    int GetCount() const override;
    QString GetWideText() const override { return fText; }
    void SetWideText(const QString& Value) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const QString& S) override;
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TWideText"); }

    virtual bool Find(const QString& S, int& Index) const;
    // No ordering is defined for a sorted list: sorting keeps the order, and
    // a sorted list refuses insertions.
    virtual void Sort() { }

    bool Sorted() const { return fSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return fDuplicates; }
    void SetDuplicates(TDuplicates Value) { fDuplicates = Value; }

    TWideTextNotify OnChanging;
    TWideTextNotify OnChange;

protected:
    void SetUpdating(bool Updating) override;
    virtual void RebuildLines() const;
    virtual void NotifyChanging();
    virtual void NotifyChanged();

private:
    void CheckIndex(int Index, int Limit) const;
    void CheckNotSorted() const;
    void Grow() const;
    // End of line Index without its line break.
    qsizetype ContentEnd(int Index) const;
    // Start of the line after Index, or the end of the lines.
    qsizetype NextStart(int Index) const;
    void Replace(const QString& NewText);

    // Line starts are offsets into fText: fList[0 .. fCount-1].
    mutable QList<qsizetype> fList;
    QString fText;
    mutable bool fModified = false;
    mutable int fCapacity = 0;
    mutable int fCount = 0;
    // Lines end at the first NUL, like the zero-terminated text they model.
    mutable qsizetype fEnd = 0;
    bool fSorted = false;
    TDuplicates fDuplicates = dupIgnore;
};
