#include "status_panel.h"

#include <QPainter>

namespace tesmora {

namespace {
constexpr int kMinimumWidth = 12;
}

StatusPanel::StatusPanel(int width, QWidget *parent) : QLabel(parent), width_(width)
{
    setFrameShape(QFrame::StyledPanel);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
}

QSize StatusPanel::sizeHint() const
{
    return {width_, QLabel::sizeHint().height()};
}

QSize StatusPanel::minimumSizeHint() const
{
    return {kMinimumWidth, QLabel::minimumSizeHint().height()};
}

void StatusPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event); // the frame; the text is drawn here, elided
    QPainter p(this);
    const QRect r = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
    p.setPen(palette().color(foregroundRole()));
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft,
               fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}

} // namespace tesmora
