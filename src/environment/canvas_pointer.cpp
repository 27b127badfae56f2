#include "canvas_pointer.h"

#include "canvas_panel.h"

#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>

namespace tesmora {

namespace {

CanvasButton buttonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton:
        return CanvasButton::Right;
    case Qt::MiddleButton:
        return CanvasButton::Middle;
    default:
        return CanvasButton::Left;
    }
}

} // namespace

CanvasPointer::CanvasPointer(Interpreter &in, CanvasPanel *panel)
    : QObject(panel), panel_(panel), mouse_(in, panel->canvas(), this)
{
    panel_->setMouseTracking(true);
    panel_->installEventFilter(this);
}

bool CanvasPointer::onImage(QPoint at) const
{
    const CanvasLayer &layer = panel_->canvas().layer(2);
    return !layer.image.isNull() && QRect(QPoint(0, 0), layer.display).contains(at);
}

void CanvasPointer::leave()
{
    if (!inside_)
        return;
    inside_ = false;
    mouse_.Image2MouseLeave();
    panel_->unsetCursor();
}

bool CanvasPointer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != panel_)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (!onImage(at)) {
            leave();
            break;
        }
        inside_ = true;
        const bool overArea = mouse_.ImageUpMouseMove(at);
        if (overArea)
            panel_->setCursor(Qt::PointingHandCursor);
        else
            panel_->unsetCursor();
        break;
    }
    case QEvent::Leave:
        leave();
        break;
    case QEvent::ContextMenu:
        // A right click on an area is the area's: the panel's own menu stays away.
        return inside_ && panel_->canvas().cursor.HoverArea >= 0;
    case QEvent::MouseButtonRelease: {
        const auto *e = static_cast<QMouseEvent *>(event);
        const QPoint at = e->position().toPoint();
        if (onImage(at))
            mouse_.ImageUpMouseUp(at, buttonOf(e->button()));
        break;
    }
    default:
        break;
    }
    return false;
}

int CanvasPointer::popupPictogramMenu(const QStringList &captions, int checkedTag, QPoint at)
{
    QMenu menu(panel_);
    menu.setObjectName(QStringLiteral("PopupMenu1"));
    auto *group = new QActionGroup(&menu);
    group->setExclusive(true);
    for (int k = 0; k < captions.size(); ++k) {
        QAction *item = menu.addAction(captions.at(k));
        item->setObjectName(QStringLiteral("mi_%1").arg(k));
        item->setCheckable(true);
        item->setChecked(k == checkedTag);
        item->setData(k);
        group->addAction(item);
    }
    menu_ = &menu;
    const QAction *chosen = menu.exec(panel_->mapToGlobal(at));
    menu_ = nullptr;
    return chosen ? chosen->data().toInt() : -1;
}

} // namespace tesmora
