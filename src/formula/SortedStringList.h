#pragma once

#include <QString>
#include <QStringView>

#include <vector>

class TFunctionIdentifier;

// Names kept sorted case-insensitively, each with the identifier it carries;
// a name already present in any case is refused.
class TSortedStringList {
public:
    virtual ~TSortedStringList() = default;

    // The sorted index of the new name; raises EFormulaError for a duplicate.
    qsizetype Add(const QString& S, const TFunctionIdentifier* Object);
    // Exact case-insensitive lookup; Index receives the position of S or the
    // place it would be inserted.
    bool Find(QStringView S, qsizetype& Index) const;

    qsizetype Count() const { return qsizetype(fItems.size()); }
    const QString& Strings(qsizetype Index) const { return fItems.at(size_t(Index)).Name; }
    const TFunctionIdentifier* Objects(qsizetype Index) const
    {
        return fItems.at(size_t(Index)).Object;
    }

protected:
    struct TItem {
        QString Name;
        const TFunctionIdentifier* Object = nullptr;
    };
    std::vector<TItem> fItems;
};

class TSpecialStringList : public TSortedStringList {
public:
    // Whether S is a name of the list or the beginning of one: whether a
    // keyword being read can still grow into a registered name.
    virtual bool TestOf(QStringView S) const;
};
