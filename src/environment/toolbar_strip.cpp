#include "toolbar_strip.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

namespace tesmora {

ToolbarStrip::ToolbarStrip(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    left_ = new QToolButton(this);
    left_->setArrowType(Qt::LeftArrow);
    right_ = new QToolButton(this);
    right_->setArrowType(Qt::RightArrow);
    for (QToolButton *b : {left_, right_}) {
        b->setFixedWidth(20);
        b->setAutoRepeat(true);
        b->setAutoRaise(true);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFocusPolicy(Qt::NoFocus); // the keyboard scrolls by moving the focus
    }
    area_ = new QScrollArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setWidgetResizable(false);
    area_->setFocusPolicy(Qt::NoFocus);
    bar_ = new QToolBar(area_);
    bar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar_->setIconSize(QSize(16, 16));
    bar_->setMovable(false);
    bar_->setFloatable(false);
    bar_->installEventFilter(this);
    area_->setWidget(bar_);
    layout->addWidget(left_);
    layout->addWidget(area_, 1);
    layout->addWidget(right_);
    connect(left_, &QToolButton::clicked, this, [this] { scrollBy(-80); });
    connect(right_, &QToolButton::clicked, this, [this] { scrollBy(80); });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ToolbarStrip::setAccessibleNames(const QString &strip, const QString &left, const QString &right)
{
    bar_->setAccessibleName(strip);
    left_->setAccessibleName(left);
    right_->setAccessibleName(right);
}

bool ToolbarStrip::eventFilter(QObject *watched, QEvent *event)
{
    // A button that takes the keyboard focus is scrolled into view.
    if (event->type() == QEvent::FocusIn && watched->parent() == bar_) {
        if (auto *button = qobject_cast<QWidget *>(watched))
            area_->ensureWidgetVisible(button, 0, 0);
    }
    // Buttons appear and disappear with the mode: keep the strip in step.
    if (watched == bar_ && event->type() == QEvent::ChildAdded)
        static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
    if (watched == bar_ && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::ChildAdded ||
                            event->type() == QEvent::ChildRemoved)) {
        bar_->adjustSize();
        setFixedHeight(bar_->sizeHint().height());
        updateArrows();
    }
    return QWidget::eventFilter(watched, event);
}

void ToolbarStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateArrows();
}

void ToolbarStrip::updateArrows()
{
    bar_->resize(bar_->sizeHint());
    const bool overflow = bar_->sizeHint().width() > width();
    left_->setVisible(overflow);
    right_->setVisible(overflow);
    if (!overflow)
        area_->horizontalScrollBar()->setValue(0);
}

void ToolbarStrip::scrollBy(int dx)
{
    QScrollBar *bar = area_->horizontalScrollBar();
    bar->setValue(bar->value() + dx);
}

} // namespace tesmora
