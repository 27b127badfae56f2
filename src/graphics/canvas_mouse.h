// The mouse on the canvas: cursor movement (hover area, pointing hand, the
// cursor read-out in status panel 5), leaving, and button releases that run
// click handlers or open a pictogram's status menu. The window's canvas
// panel and the headless runner feed it display pixels of layer 2.
#pragma once

#include "click_areas.h"

#include <QPoint>
#include <QString>
#include <QStringList>

namespace tesmora {

class Canvas;
class Interpreter;

// Shows a pictogram's status menu: radio items with one checked.
class PictogramMenuPort {
  public:
    virtual ~PictogramMenuPort() = default;
    // Pops the menu up at display pixel `at` of the canvas; returns the
    // chosen item's tag (its index), or -1 when it closed without a choice.
    virtual int popupPictogramMenu(const QStringList &captions, int checkedTag, QPoint at) = 0;
};

// Mouse buttons as MouseCoordinates[3] numbers them.
enum class CanvasButton { Left = 1, Right = 2, Middle = 3 };

class CanvasMouse {
  public:
    CanvasMouse(Interpreter &in, Canvas &canvas, PictogramMenuPort *menu = nullptr);
    void setMenuPort(PictogramMenuPort *menu) { menu_ = menu; }

    // The cursor moved to display pixel `at`; true when it is over an area
    // (the pointing hand).
    bool ImageUpMouseMove(QPoint at);
    // The cursor left the canvas.
    void Image2MouseLeave();
    // A button was released at `at`. While lines are being executed the click
    // waits until the current line is done; otherwise it is handled at once.
    void ImageUpMouseUp(QPoint at, CanvasButton button);

    // The cursor read-out for a user position; empty outside the precision table.
    static QString CursorText(double x, double y, double xRange);

  private:
    void handleRelease(QPoint at, CanvasButton button);
    void updateCursorUser(QPoint at);
    void runClickHandler(const TArea &area, CanvasButton button);
    bool fillMouseCoordinates(CanvasButton button);
    void openPictogramMenu(const TArea &area, QPoint at);
    void mi_Click(const TArea &area, const QStringList &statuses, int tag);

    Interpreter &in_;
    Canvas &canvas_;
    PictogramMenuPort *menu_;
};

} // namespace tesmora
