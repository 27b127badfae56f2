#include "canvas_panel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTimer>
#include <cmath>

namespace tesmora {

CanvasPanel::CanvasPanel(Canvas &canvas, QSplitter *splitter, QWidget *mainWindow,
                         std::function<int()> language)
    : QWidget(splitter), canvas_(canvas), splitter_(splitter), mainWindow_(mainWindow),
      language_(std::move(language))
{
    setObjectName(QStringLiteral("Panel_Right"));
    canvas_.setPanel(this);
}

void CanvasPanel::setPanelWidth(int width)
{
    const QList<int> sizes = splitter_->sizes();
    int total = 0;
    for (int s : sizes)
        total += s;
    splitter_->setSizes({std::max(0, total - width), width});
}

// The splitter recomputes its handles' visibility from its widgets on every
// layout pass, so a hidden splitter is one without width that cannot be dragged.
void CanvasPanel::setSplitterShown(bool shown)
{
    QSplitterHandle *handle = splitter_->handle(splitter_->indexOf(this));
    splitter_->setHandleWidth(shown ? kHandleWidth : 0);
    handle->setEnabled(shown);
    handle->setVisible(shown);
}

void CanvasPanel::showCanvasPanel()
{
    shown_ = true;
    setSplitterShown(true);
    if (width() == 0)
        setPanelWidth(static_cast<int>(std::lround(0.75 * mainWindow_->width())));
}

void CanvasPanel::hidePanel()
{
    shown_ = false;
    setPanelWidth(0);
    setSplitterShown(false);
}

void CanvasPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // While the splitter is hidden the panel keeps width 0 whatever the window does.
    if (!shown_ && width() > 0) {
        QTimer::singleShot(0, this, [this] {
            if (!shown_ && width() > 0)
                setPanelWidth(0);
        });
        return;
    }
    canvas_.Panel_RightResize(contentsRect().size());
}

void CanvasPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    canvas_.paint(p);
}

void CanvasPanel::copyPicture() const
{
    QGuiApplication::clipboard()->setImage(canvas_.composed());
}

bool CanvasPanel::savePicture(const QString &path) const
{
    return canvas_.composed().save(path, "PNG");
}

void CanvasPanel::contextMenuEvent(QContextMenuEvent *event)
{
    if (!canvas_.defined)
        return;
    const bool ru = language_ && language_() == 1;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("CanvasMenu"));
    QAction *copy =
        menu.addAction(ru ? QStringLiteral("Копировать рисунок") : QStringLiteral("Copy picture"));
    QAction *save =
        menu.addAction(ru ? QStringLiteral("Сохранить рисунок как…") : QStringLiteral("Save picture as…"));
    connect(copy, &QAction::triggered, this, [this] { copyPicture(); });
    connect(save, &QAction::triggered, this, [this, ru] {
        const QString proposed = QStringLiteral("picture.png");
        const QString path = chooseSaveFile
                                 ? chooseSaveFile(proposed)
                                 : QFileDialog::getSaveFileName(this, QString(), proposed,
                                                                ru ? QStringLiteral("Рисунки PNG (*.png)")
                                                                   : QStringLiteral("PNG pictures (*.png)"));
        if (!path.isEmpty())
            savePicture(path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? path : path + ".png");
    });
    menu.exec(event->globalPos());
}

} // namespace tesmora
