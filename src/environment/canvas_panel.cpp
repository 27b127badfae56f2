#include "canvas_panel.h"

#include "dialog_windows.h"

#include "core/message_catalogue.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
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

QString pictureFileName(const QString &path, const QString &chosenSuffix)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        return path;
    return path + QLatin1Char('.') + chosenSuffix;
}

bool CanvasPanel::savePicture(const QString &path) const
{
    const bool bmp = QFileInfo(path).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
    // BMP has no transparency: the picture is saved as the panel shows it.
    const QImage picture = canvas_.composed();
    return bmp ? picture.convertToFormat(QImage::Format_RGB32).save(path, "BMP") : picture.save(path, "PNG");
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
    connect(save, &QAction::triggered, this, [this, ru] { savePictureAs(ru); });
    menu.exec(event->globalPos());
}

void CanvasPanel::savePictureAs(bool russian)
{
    const QString png =
        russian ? QStringLiteral("Рисунки PNG (*.png)") : QStringLiteral("PNG pictures (*.png)");
    const QString bmp =
        russian ? QStringLiteral("Рисунки BMP (*.bmp)") : QStringLiteral("BMP pictures (*.bmp)");
    QString filter = png;
    const QString chosen = chooseSaveFile
                               ? chooseSaveFile(QStringLiteral("picture.png"))
                               : QFileDialog::getSaveFileName(this, QString(), QStringLiteral("picture.png"),
                                                              png + QStringLiteral(";;") + bmp, &filter);
    if (chosen.isEmpty())
        return;
    const QString path =
        pictureFileName(chosen, filter == bmp ? QStringLiteral("bmp") : QStringLiteral("png"));
    if (savePicture(path))
        return;
    const int language = russian ? 1 : 0;
    const QString text = catalogueText(369, language).replace(QStringLiteral("%s"), path);
    if (reportError) {
        reportError(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, untitledWindowTitle(language), text, QMessageBox::Ok, window());
    box.exec();
}

} // namespace tesmora
