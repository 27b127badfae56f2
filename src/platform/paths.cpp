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

QString executableFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}
} // namespace

QString installedDataFolder()
{
#ifdef TESMORA_INSTALLED_DATA
    // The install puts the bundled files there, relative to the executable.
    const QDir data(executableFolder() + QStringLiteral("/" TESMORA_INSTALLED_DATA));
    if (data.exists(QStringLiteral("Scripts")))
        return withSlash(data.absolutePath());
#endif
    return {};
}

QString bundledFilesFolder()
{
    const QString installed = installedDataFolder();
    return installed.isEmpty() ? withSlash(executableFolder()) : installed;
}

QString defaultProgramFolder()
{
    const QString env = qEnvironmentVariable("TESMORA_HOME");
    if (!env.isEmpty())
        return withSlash(QDir(env).absolutePath());
    const QString exeDir = executableFolder();
    // An installed program never writes beside itself, even where it could.
    if (installedDataFolder().isEmpty() && QFileInfo(exeDir).isWritable())
        return withSlash(exeDir);
    const QString bundled = bundledFilesFolder();
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    // Seed the per-user folder with the bundled files it does not have yet.
    for (const QString &sub : {QStringLiteral("Scripts"), QStringLiteral("pictures")}) {
        QDir src(bundled + sub);
        if (!src.exists())
            continue;
        QDir().mkpath(user + QLatin1Char('/') + sub);
        for (const QString &f : src.entryList(QDir::Files)) {
            const QString dst = user + QLatin1Char('/') + sub + QLatin1Char('/') + f;
            if (!QFileInfo::exists(dst))
                QFile::copy(src.filePath(f), dst);
        }
    }
    return withSlash(user);
}

} // namespace tesmora
