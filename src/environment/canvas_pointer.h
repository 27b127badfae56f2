// The mouse on the canvas panel: movements, leaving and button releases over
// layer 2's display rectangle go to the canvas mouse (hover area, cursor
// read-out, click handlers, pictogram menus); the pointing hand shows over
// areas; a pictogram's status menu is a pop-up menu with radio items.
#pragma once

#include "graphics/canvas_mouse.h"

#include <QObject>
#include <QPointer>

#include <QMenu>

namespace tesmora {

class CanvasPanel;

class CanvasPointer : public QObject, public PictogramMenuPort {
    Q_OBJECT
  public:
    CanvasPointer(Interpreter &in, CanvasPanel *panel);

    int popupPictogramMenu(const QStringList &captions, int checkedTag, QPoint at) override;
    // The menu while it is shown (tests look at it).
    QMenu *openMenu() const { return menu_; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // True when `at` lies on layer 2's display rectangle.
    bool onImage(QPoint at) const;
    void leave();

    CanvasPanel *panel_;
    CanvasMouse mouse_;
    QPointer<QMenu> menu_;
    bool inside_ = false;
};

} // namespace tesmora
