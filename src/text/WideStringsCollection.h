#pragma once

#include "text/WideText.h"

#include <functional>
#include <memory>
#include <vector>

class TWideStringsCollection;

// One entry of a drop list: a text of one or more lines and a number the
// application attaches to it.
class TWideStringsCollectionItem : public TPersistent {
public:
    explicit TWideStringsCollectionItem(TWideStringsCollection* Collection = nullptr);

    const TWideText& WideStrings() const { return fWideStrings; }
    void SetWideStrings(const TWideStrings& Value);
    virtual QString WideText() const { return fWideStrings.GetWideText(); }
    virtual void SetWideText(const QString& Value);
    qint32 Data() const { return fData; }
    void SetData(qint32 Value);
    // The first line, or the class name for an item without lines.
    QString DisplayName() const;

    // Another item gives its lines and Data; a line list gives its lines.
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TWideStringsCollectionItem"); }

protected:
    // Copies the lines into a line list.
    bool AssignTo(TPersistent& Dest) const override;

private:
    friend class TWideStringsCollection;
    void Changed();

    TWideStringsCollection* fCollection;
    TWideText fWideStrings;
    qint32 fData = 0;
};

// An ordered list of items that reports every change of itself or of an
// item through OnUpdate.
class TWideStringsCollection : public TPersistent {
public:
    TWideStringsCollection() = default;
    TWideStringsCollection(const TWideStringsCollection&) = delete;
    TWideStringsCollection& operator=(const TWideStringsCollection&) = delete;

    int Count() const { return int(fItems.size()); }
    // Index must lie in 0 .. Count-1.
    TWideStringsCollectionItem& Items(int Index) const { return *fItems.at(size_t(Index)); }
    TWideStringsCollectionItem& Add();
    TWideStringsCollectionItem& Add(const QString& Text, qint32 Data = 0);
    // An index outside the list is ignored.
    void Delete(int Index);
    void Clear();
    // The first item whose text equals Value, letter case ignored; -1 when
    // none. Linear in the size of the texts.
    int IndexOf(const QString& Value) const;

    // A collection copies its items, announcing the change once.
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TWideStringsCollection"); }

    // Changes made inside the bracket are announced once, at its end.
    void BeginUpdate() { ++fUpdateCount; }
    void EndUpdate();

    std::function<void(TWideStringsCollection& Sender)> OnUpdate;

private:
    friend class TWideStringsCollectionItem;
    void Update();

    std::vector<std::unique_ptr<TWideStringsCollectionItem>> fItems;
    int fUpdateCount = 0;
    bool fPendingUpdate = false;
};
