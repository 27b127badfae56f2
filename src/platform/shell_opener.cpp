#include "shell_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace tesmora {

bool QtShellOpener::open(const QString &path, int show, QString &error)
{
    (void)show; // the desktop decides how its applications show their windows
    error.clear();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        error = QStringLiteral("Opening documents needs the graphical environment.");
        return false;
    }
    const QUrl url = QFileInfo(path).isAbsolute() && QFileInfo::exists(path) ? QUrl::fromLocalFile(path)
                                                                             : QUrl::fromUserInput(path);
    if (QDesktopServices::openUrl(url))
        return true;
    error = QStringLiteral("31"); // no application is associated with the document
    return false;
}

} // namespace tesmora
