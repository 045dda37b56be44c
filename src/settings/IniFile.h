#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// An ini file held in memory: sections of name=value lines, read from and written to one
// file whole. Names compare without regard to case; values are kept as the file's bytes.
// Lines that are not name=value (comments, stray text) are kept as they stand, so writing
// the file back never drops what was there.
class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    QString FileName() const { return fFileName; }
    // False, with a reason, when the file exists but cannot be read.
    bool Load(QString* error);
    // Writes atomically; 0 or the errno of the failure.
    int Save() const;
    bool IsModified() const { return fModified; }

    bool SectionExists(const QString& section) const;
    void AddSection(const QString& section);
    void EraseSection(const QString& section);
    bool ValueExists(const QString& section, const QString& name) const;
    QByteArray ReadValue(const QString& section, const QString& name, bool* found = nullptr) const;
    void WriteValue(const QString& section, const QString& name, const QByteArray& value);
    bool DeleteValue(const QString& section, const QString& name);
    QStringList ValueNames(const QString& section) const;

private:
    struct TLine {
        QByteArray Raw;
        QString Name;
        QByteArray Value;
        bool IsValue = false;
    };
    struct TSection {
        QString Name;
        QList<TLine> Lines;
    };

    TSection* FindSection(const QString& section);
    const TSection* FindSection(const QString& section) const;

    QString fFileName;
    QList<TLine> fPreamble;
    QList<TSection> fSections;
    bool fModified = false;
};

// The ini object of an open key.
class TIniReg : public TIniFile {
public:
    using TIniFile::TIniFile;

    QString defSection;
    uint32_t dwAccess = 0;
};
