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

QString PrepareDataDirectory(const QString& dataDir, const QString& catalogueDir)
{
    const QString dir = WithSlash(QDir(dataDir).absolutePath());
    QDir().mkpath(dir);
    const QString table = QString::fromLatin1(kTemplateTableName);
    if (!QFileInfo::exists(dir + table)) {
        // The index goes with its table; a stale one left from before would not match it.
        const QString index = QString::fromLatin1(kTemplateIndexName);
        QFile::remove(dir + index);
        if (QFile::copy(WithSlash(catalogueDir) + table, dir + table)) {
            // A system-wide install's files are read-only; the user's copy must take templates.
            QFile::setPermissions(dir + table, QFile::ReadOwner | QFile::WriteOwner);
            if (QFile::copy(WithSlash(catalogueDir) + index, dir + index))
                QFile::setPermissions(dir + index, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    return dir;
}

QString PrepareUserDataDirectory(const QString& catalogueDir)
{
    return PrepareDataDirectory(UserDataDirectory(), catalogueDir);
}

QString ResourceDirectory(const QString& exeDir)
{
    const QString beside = WithSlash(QDir(exeDir).absolutePath());
    if (QFileInfo::exists(beside + QString::fromLatin1(kTemplateTableName)))
        return beside;
    const QString installed = QDir::cleanPath(beside + QStringLiteral("../share/stickwell"));
    if (QFileInfo(installed).isDir())
        return WithSlash(installed);
    return beside;
}

void SetUpResourceSearchPath(const QString& exeDir)
{
    QDir::setSearchPaths(QString::fromLatin1(kResourcePrefix),
                         {ResourceDirectory(exeDir), WithSlash(QDir(exeDir).absolutePath())});
}

QString ResolveDataDirectory(const QString& exeDir)
{
    const QString resources = ResourceDirectory(exeDir);
    const QString named = qEnvironmentVariable(kDataDirVariable);
    if (!named.isEmpty())
        return PrepareDataDirectory(named, resources);
    // An installed program keeps the user's data with the user, even in a writable prefix.
    const bool installed = resources != WithSlash(QDir(exeDir).absolutePath());
    if (!installed && DirectoryWritable(exeDir))
        return WithSlash(QDir(exeDir).absolutePath());
    return PrepareUserDataDirectory(resources);
}

} // namespace sw::library
