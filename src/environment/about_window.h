// The About window: a picture, the program's name in the interface language
// and a link to the user guide shipped beside the program.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;

namespace tesmora {

class TAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TAbout(QWidget *parent = nullptr);

    // The text shown next to the picture (set on every showing).
    void setText(const QString &text) { text_ = text; }
    // The document the link opens, and how it is opened (the desktop's
    // viewer unless replaced).
    void setGuide(const QString &path) { guide_ = path; }
    std::function<void(const QString &path)> openGuide;

    QLabel *Image1 = nullptr;
    QLabel *Label_Text = nullptr;
    QLabel *Label_Link = nullptr;

    // The picture, drawn at its design size.
    static QPixmap picture();

  protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QString text_;
    QString guide_;
};

} // namespace tesmora
