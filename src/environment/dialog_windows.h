// The windows of the dialog functions: the memo window of InputText and the
// pick list of Menu.
#pragma once

#include <QDialog>
#include <QRect>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tesmora {

class IniFile;

// InputText's window: a bold prompt, a text field and OK/Cancel. Its bounds
// are remembered in section "FormMemo" of the settings file.
class TFormMemo : public QDialog {
    Q_OBJECT
  public:
    explicit TFormMemo(QWidget *parent = nullptr);

    // Shows the window modally; returns true for OK. `text` is the field's
    // text when the window closes, whichever way.
    bool ask(const QString &prompt, const QString &defaultText, QString &text);
    // The bounds from the settings (defaults from the work area).
    void FormMemo_LoadPosition(const IniFile &ini);
    void FormMemo_SavePosition(IniFile &ini) const;
    // Where the bounds are read from and written to on OK; none: not remembered.
    void setSettingsFile(const QString &path) { settingsFile_ = path; }
    // The title (the product name) and the buttons in the interface language.
    void setLanguage(int language);

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

  private:
    QString settingsFile_;
};

// Menu's window: the prompt panel above a list of items.
class TForm_dialod : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_dialod(QWidget *parent = nullptr);

    // Shows the items modally, centred over `owner`; returns the chosen
    // item's number from 1, 0 when none was chosen.
    int choose(const QString &prompt, const QStringList &items, int selected, const QWidget *owner);
    // The title: the product name in the interface language.
    void setLanguage(int language);

    QLabel *Panel1 = nullptr;
    QListWidget *ListView1 = nullptr;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void sizeToItems(const QString &prompt, const QStringList &items);
    QRect ownerGeometry_;
};

// The list's client size for `count` items whose longest text has `longest`
// characters, with a font `fontHeight` pixels high.
QSize menuListClientSize(int fontHeight, int longest, int count);
// The top-left corner of a window of `size` centred over `owner` and then
// kept on `workArea`: a negative corner becomes 0, a window past the bottom
// or right edge moves up or left to end there.
QPoint menuWindowPosition(const QRect &owner, const QSize &size, const QRect &workArea);

// The title of a window that has none of its own: the window manager would
// show the program's Latin name there, so it is the product name in the
// interface language.
QString untitledWindowTitle(int language);

} // namespace tesmora
