#include "scripted_clicks.h"

#include "core/numbers.h"
#include "graphics/canvas.h"

#include <QStringList>
#include <cmath>

namespace tesmora {

bool parseScriptedClick(const QString &text, ScriptedClick &click)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    const ParsedNumber x = ParseNumber(parts.at(0).trimmed());
    const ParsedNumber y = ParseNumber(parts.at(1).trimmed());
    if (!x.ok() || !y.ok())
        return false;
    click.x = x.value;
    click.y = y.value;
    click.button = CanvasButton::Left;
    if (parts.size() == 3) {
        bool ok = false;
        const int b = parts.at(2).trimmed().toInt(&ok);
        if (!ok || b < 1 || b > 3)
            return false;
        click.button = static_cast<CanvasButton>(b);
    }
    return true;
}

int ScriptedMenu::popupPictogramMenu(const QStringList &captions, int, QPoint)
{
    return choice >= 1 && choice <= captions.size() ? choice - 1 : -1;
}

void replayClicks(CanvasMouse &mouse, const Canvas &canvas, const QList<ScriptedClick> &clicks)
{
    const CoordinateSystem &cs = canvas.cs;
    for (const ScriptedClick &click : clicks) {
        // The display pixel whose user position is the click's point.
        const double x = (click.x - cs.x1) * cs.kx * canvas.DisplayScale;
        const double y = (cs.y2 - click.y) * cs.ky * canvas.DisplayScale;
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e9 || std::fabs(y) > 1e9)
            continue;
        const QPoint at(static_cast<int>(RoundHalfEven(x)), static_cast<int>(RoundHalfEven(y)));
        mouse.ImageUpMouseMove(at);
        mouse.ImageUpMouseUp(at, click.button);
    }
}

} // namespace tesmora
