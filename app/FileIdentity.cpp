#include "app/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

FileIdentity FileIdentity::Of(const QString& path)
{
    FileIdentity identity;
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.size = info.st_size;
    identity.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.inode = info.st_ino;
    identity.device = info.st_dev;
    return identity;
}
