// The desktop environment.
#include "environment/minimal_window.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    tesmora::MinimalWindow w;
    QString script;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (!a.startsWith(QLatin1Char('/')) || QFileInfo::exists(a)) {
            script = a;
            break;
        }
    }
    w.show();
    w.loadScript(script.isEmpty() ? tesmora::defaultProgramFolder() + QStringLiteral("Scripts/AutoStart.txt") : script);
    return app.exec();
}
