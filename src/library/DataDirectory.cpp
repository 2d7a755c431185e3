#include "library/DataDirectory.h"
#include "library/TableLayouts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace sw::library {

namespace {
QString WithSlash(const QString& dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}
} // namespace

bool DirectoryWritable(const QString& dir)
{
    if (!QFileInfo(dir).isDir())
        return false;
    // Permission bits do not tell about read-only mounts or ACLs: try it.
    QTemporaryFile probe(WithSlash(dir) + QStringLiteral(".stickwell-XXXXXX"));
    return probe.open();
}

QString UserDataDirectory()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rules ignore a relative path.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return WithSlash(base) + QStringLiteral("Stickwell");
}

QString PrepareUserDataDirectory(const QString& exeDir)
{
    const QString dir = WithSlash(UserDataDirectory());
    QDir().mkpath(dir);
    const QString table = QString::fromLatin1(kTemplateTableName);
    if (!QFileInfo::exists(dir + table)) {
        // The index goes with its table; a stale one left from before would not match it.
        const QString index = QString::fromLatin1(kTemplateIndexName);
        QFile::remove(dir + index);
        if (QFile::copy(WithSlash(exeDir) + table, dir + table)) {
            // A system-wide install's files are read-only; the user's copy must take templates.
            QFile::setPermissions(dir + table, QFile::ReadOwner | QFile::WriteOwner);
            if (QFile::copy(WithSlash(exeDir) + index, dir + index))
                QFile::setPermissions(dir + index, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    return dir;
}

QString ResolveDataDirectory(const QString& exeDir)
{
    if (DirectoryWritable(exeDir))
        return WithSlash(QDir(exeDir).absolutePath());
    return PrepareUserDataDirectory(exeDir);
}

} // namespace sw::library
