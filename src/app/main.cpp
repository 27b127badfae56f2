// The desktop environment.
#include "environment/main_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Tesmora"));
    tesmora::TForm_Interpretator window(app.arguments().mid(1));
    window.show();
    return app.exec();
}
