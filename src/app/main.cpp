// The desktop environment.
#include "environment/main_window.h"
#include "environment/window_look.h"
#include "platform/media_player.h"
#include "platform/qjs_engine.h"
#include "platform/shell_opener.h"
#include "platform/time_zone.h"

#include <QApplication>

int main(int argc, char **argv)
{
    tesmora::readLocalTimeZoneOnce();
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Tesmora"));
    QApplication::setWindowIcon(tesmora::applicationIcon());
    // The desktop matches the window with its menu entry by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.tesmora.Tesmora"));
    // The desktop's adapters outlive the window that uses them.
    tesmora::QtJavaScriptEngine js;
    tesmora::QtMediaPlayer media;
    tesmora::QtShellOpener shell;
    tesmora::TForm_Interpretator window(app.arguments().mid(1),
                                        {.js = &js, .media = &media, .shell = &shell});
    window.show();
    const int code = app.exec();
    // The window has saved the settings; the engine's memory goes with the process.
    js.releaseAtExit();
    return code;
}
