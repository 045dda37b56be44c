#include "settings/IniFile.h"

#include "platform/registry/AtomicFile.h"

#include <QFile>

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}

TIniFile::TIniFile(const QString& fileName)
    : fFileName(fileName)
{
}

bool TIniFile::Load(QString* error)
{
    fPreamble.clear();
    fSections.clear();
    fModified = false;
    QFile file(fFileName);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<TLine>* target = &fPreamble;
    for (QByteArray raw : lines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArray trimmed = raw.trimmed();
        TLine line;
        line.Raw = raw;
        if (trimmed.startsWith('[') && trimmed.contains(']')) {
            TSection section;
            section.Name
                = QString::fromUtf8(trimmed.mid(1, trimmed.lastIndexOf(']') - 1)).trimmed();
            fSections.append(section);
            target = &fSections.last().Lines;
            continue;
        }
        const qsizetype equals = raw.indexOf('=');
        if (equals > 0 && !trimmed.startsWith(';') && !raw.left(equals).trimmed().isEmpty()) {
            line.IsValue = true;
            line.Name = QString::fromUtf8(raw.left(equals).trimmed());
            line.Value = raw.mid(equals + 1);
        }
        target->append(line);
    }
    return true;
}

int TIniFile::Save() const
{
    QByteArray bytes;
    for (const TLine& line : fPreamble)
        bytes += line.Raw + '\n';
    for (const TSection& section : fSections) {
        bytes += '[' + section.Name.toUtf8() + "]\n";
        for (const TLine& line : section.Lines)
            bytes += (line.IsValue ? line.Name.toUtf8() + '=' + line.Value : line.Raw) + '\n';
    }
    return WriteFileAtomically(fFileName, bytes, 0600);
}

TIniFile::TSection* TIniFile::FindSection(const QString& section)
{
    for (TSection& s : fSections)
        if (SameName(s.Name, section))
            return &s;
    return nullptr;
}

const TIniFile::TSection* TIniFile::FindSection(const QString& section) const
{
    return const_cast<TIniFile*>(this)->FindSection(section);
}

bool TIniFile::SectionExists(const QString& section) const { return FindSection(section); }

void TIniFile::AddSection(const QString& section)
{
    if (FindSection(section))
        return;
    fSections.append({ section, {} });
    fModified = true;
}

void TIniFile::EraseSection(const QString& section)
{
    for (qsizetype i = fSections.size() - 1; i >= 0; --i)
        if (SameName(fSections[i].Name, section)) {
            fSections.removeAt(i);
            fModified = true;
        }
}

bool TIniFile::ValueExists(const QString& section, const QString& name) const
{
    bool found = false;
    ReadValue(section, name, &found);
    return found;
}

QByteArray TIniFile::ReadValue(const QString& section, const QString& name, bool* found) const
{
    if (found)
        *found = false;
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsValue && SameName(line.Name, name)) {
                if (found)
                    *found = true;
                return line.Value;
            }
    return {};
}

void TIniFile::WriteValue(const QString& section, const QString& name, const QByteArray& value)
{
    AddSection(section);
    TSection* s = FindSection(section);
    for (TLine& line : s->Lines)
        if (line.IsValue && SameName(line.Name, name)) {
            if (line.Value != value) {
                line.Value = value;
                fModified = true;
            }
            return;
        }
    TLine line;
    line.IsValue = true;
    line.Name = name;
    line.Value = value;
    // A new value goes after the section's last value, ahead of blank lines that separate it
    // from the next section.
    qsizetype at = s->Lines.size();
    while (at > 0 && s->Lines[at - 1].Raw.trimmed().isEmpty() && !s->Lines[at - 1].IsValue)
        --at;
    s->Lines.insert(at, line);
    fModified = true;
}

bool TIniFile::DeleteValue(const QString& section, const QString& name)
{
    TSection* s = FindSection(section);
    if (!s)
        return false;
    for (qsizetype i = 0; i < s->Lines.size(); ++i)
        if (s->Lines[i].IsValue && SameName(s->Lines[i].Name, name)) {
            s->Lines.removeAt(i);
            fModified = true;
            return true;
        }
    return false;
}

QStringList TIniFile::ValueNames(const QString& section) const
{
    QStringList names;
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsValue)
                names.append(line.Name);
    return names;
}
