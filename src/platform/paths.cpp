#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesmora {

QString normalizeSeparators(const QString &name)
{
    QString s = name;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return s;
}

bool isPathName(const QString &name)
{
    return name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char('/'));
}

bool isAbsoluteName(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return true;
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
}

QString resolveCaseInsensitive(const QString &path)
{
    const QString norm = normalizeSeparators(path);
    if (norm.isEmpty() || QFileInfo::exists(norm))
        return norm;
    const bool absolute = norm.startsWith(QLatin1Char('/'));
    const QStringList parts = norm.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        const QString dirPath = current.isEmpty() ? QStringLiteral(".") : current;
        QString candidate = current + part;
        if (!QFileInfo::exists(candidate) && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QStringList entries = QDir(dirPath).entryList(QDir::AllEntries | QDir::Hidden |
                                                                QDir::System | QDir::NoDotAndDotDot);
            bool found = false;
            for (const QString &e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    candidate = current + e;
                    found = true;
                    break;
                }
            }
            if (!found) {
                // A name that does not exist yet keeps its spelling below the
                // folders that were found.
                QStringList rest = parts.mid(i);
                return current + rest.join(QLatin1Char('/'));
            }
        }
        current = candidate;
        if (i + 1 < parts.size())
            current += QLatin1Char('/');
    }
    return current;
}

QString resolveAgainst(const QString &folder, const QString &name)
{
    if (isAbsoluteName(name))
        return resolveCaseInsensitive(name);
    return resolveCaseInsensitive(folder + normalizeSeparators(name));
}

namespace {
QString withSlash(QString s)
{
    if (!s.endsWith(QLatin1Char('/')))
        s += QLatin1Char('/');
    return s;
}

// Copies of read-only bundled files must stay changeable by their owner.
void addOwnerWrite(const QString &path, bool folder)
{
    QFile::Permissions p = QFile::permissions(path) | QFile::ReadOwner | QFile::WriteOwner;
    if (folder)
        p |= QFile::ExeOwner;
    QFile::setPermissions(path, p);
}

// Copies every file below `from` that `to` lacks, sub-folders included.
void copyMissing(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    addOwnerWrite(to, true);
    const QDir src(from);
    for (const QFileInfo &entry : src.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            copyMissing(entry.filePath(), target);
        } else if (!QFileInfo::exists(target) && QFile::copy(entry.filePath(), target)) {
            addOwnerWrite(target, false);
        }
    }
}

} // namespace

QString programFolderFor(const QString &exeDir, bool exeWritable, const QString &userDir)
{
    if (exeWritable)
        return withSlash(exeDir);
    // The per-user folder receives what the program folder holds and it does
    // not have yet; what the learner already has there is never replaced.
    for (const QString &sub : {QStringLiteral("Scripts"), QStringLiteral("pictures"), QStringLiteral("guide"),
                               QStringLiteral("Temp")}) {
        const QString src = exeDir + QLatin1Char('/') + sub;
        const QString dst = userDir + QLatin1Char('/') + sub;
        if (QFileInfo(src).isDir())
            copyMissing(src, dst);
        else
            QDir().mkpath(dst);
    }
    // The settings the program came with hold until the learner has own ones.
    const QString ini = QStringLiteral("/tesmora.ini");
    if (!QFileInfo::exists(userDir + ini) && QFile::copy(exeDir + ini, userDir + ini))
        addOwnerWrite(userDir + ini, false);
    return withSlash(userDir);
}

QString defaultProgramFolder()
{
    const QString env = qEnvironmentVariable("TESMORA_HOME");
    if (!env.isEmpty())
        return withSlash(QDir(env).absolutePath());
    const QString exeDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return programFolderFor(exeDir, QFileInfo(exeDir).isWritable(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace tesmora
