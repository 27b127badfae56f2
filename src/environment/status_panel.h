// One panel of the main window's status bar: it keeps its design width while
// the window has room, and gives room up in a narrow window, eliding its text
// rather than running into its neighbour.
#pragma once

#include <QLabel>

namespace tesmora {

class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    StatusPanel(int width, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    int width_;
};

} // namespace tesmora
