// The right-hand panel of the main window that shows the canvas: both
// layers laid out from its top-left corner, repainted whenever a graphics
// function has drawn, with a context menu to copy or save the picture.
#pragma once

#include "graphics/canvas.h"

#include <QWidget>
#include <functional>

class QSplitter;

namespace tesmora {

// The file a picture is saved to: a name ending in ".png" or ".bmp" (any
// case) is kept; any other gets the ending of the chosen file type.
QString pictureFileName(const QString &path, const QString &chosenSuffix);

class CanvasPanel : public QWidget, public CanvasPanelPort {
    Q_OBJECT
  public:
    // `splitter` holds the panel as its second widget; `mainWindow` gives
    // the client width the panel opens with; `language` the interface language.
    CanvasPanel(Canvas &canvas, QSplitter *splitter, QWidget *mainWindow, std::function<int()> language);

    // ---- CanvasPanelPort ----
    void showCanvasPanel() override;
    QSize panelSize() const override { return size(); }
    void canvasChanged() override { update(); }

    // Hides the splitter and gives the panel width 0 (start, Load).
    void hidePanel();
    bool panelShown() const { return shown_; }
    Canvas &canvas() { return canvas_; }

    // The save dialog can be replaced (tests): returns the chosen path or "".
    std::function<QString(const QString &proposed)> chooseSaveFile;
    // Where a failed save is reported (default: a message box).
    std::function<void(const QString &)> reportError;
    void copyPicture() const;
    // Writes BMP for a name ending in ".bmp", otherwise PNG.
    bool savePicture(const QString &path) const;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    void savePictureAs(bool russian);
    static constexpr int kHandleWidth = 5;
    void setPanelWidth(int width);
    void setSplitterShown(bool shown);
    Canvas &canvas_;
    QSplitter *splitter_;
    QWidget *mainWindow_;
    std::function<int()> language_;
    bool shown_ = false;
};

} // namespace tesmora
