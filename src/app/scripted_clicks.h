// Clicks on the finished canvas given on tesmora-run's command line
// (--click X,Y[,BUTTON] and --menu-choice K).
#pragma once

#include "graphics/canvas_mouse.h"

#include <QList>
#include <QString>

namespace tesmora {

class Canvas;

struct ScriptedClick {
    double x = 0;
    double y = 0;
    CanvasButton button = CanvasButton::Left;
};

// "X,Y" or "X,Y,BUTTON" (1 left, 2 right, 3 middle), numbers with ".".
bool parseScriptedClick(const QString &text, ScriptedClick &click);

// Chooses item K (from 1) of every pictogram menu; 0 closes it without a choice.
class ScriptedMenu : public PictogramMenuPort {
  public:
    int choice = 0;
    int popupPictogramMenu(const QStringList &captions, int checkedTag, QPoint at) override;
};

// Each click in order, as a learner clicks: the cursor moves to the point,
// then the button is released there.
void replayClicks(CanvasMouse &mouse, const Canvas &canvas, const QList<ScriptedClick> &clicks);

} // namespace tesmora
