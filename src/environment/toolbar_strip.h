// The action toolbar inside a horizontally scrolling strip: when the window
// is too narrow for every button, arrow buttons at both ends scroll it.
#pragma once

#include <QWidget>

class QScrollArea;
class QToolBar;
class QToolButton;

namespace tesmora {

class ToolbarStrip : public QWidget {
    Q_OBJECT
  public:
    explicit ToolbarStrip(QWidget *parent = nullptr);
    QToolBar *toolBar() const { return bar_; }
    // The strip's and its scroll arrows' accessible names.
    void setAccessibleNames(const QString &strip, const QString &left, const QString &right);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void updateArrows();
    void scrollBy(int dx);
    QScrollArea *area_;
    QToolBar *bar_;
    QToolButton *left_;
    QToolButton *right_;
};

} // namespace tesmora
