#include "platform/db/FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

TFileIdentity TFileIdentity::Of(const QString& path)
{
    TFileIdentity id;
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.Known = true;
    id.Device = quint64(st.st_dev);
    id.Inode = quint64(st.st_ino);
    return id;
}

bool SameFile(const QString& a, const QString& b)
{
    const TFileIdentity first = TFileIdentity::Of(a);
    return first.Known && first == TFileIdentity::Of(b);
}
