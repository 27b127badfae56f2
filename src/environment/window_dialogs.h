// The dialogs of scripts as windows: the one-line input, the memo window,
// the message box with its button sets and the pick list; the Check question
// goes to the host's yes/no question.
#pragma once

#include "ports/executors.h"

#include <QPointer>

class QInputDialog;
class QWidget;

namespace tesmora {

class Host;
class TFormMemo;
class TForm_dialod;

class WindowDialogs : public DialogProvider {
  public:
    // The windows are created once, owned by `mainWindow`, and reused.
    WindowDialogs(QWidget *mainWindow, Host &host);
    ~WindowDialogs() override;

    // The settings file where the memo window remembers its bounds.
    void setSettingsFile(const QString &path);
    // Titles and buttons follow the interface language.
    void setLanguage(int language);

    bool inputString(const QString &prompt, const QString &defaultText, QString &answer) override;
    bool inputText(const QString &prompt, const QString &defaultText, QString &answer) override;
    int message(const QString &prompt, const QString &caption, int buttons) override;
    int menu(const QString &prompt, const QStringList &items, int selected) override;
    bool checkQuestion(const QString &text) override;

    TFormMemo *memoWindow() const;
    TForm_dialod *menuWindow() const;

  private:
    QWidget *mainWindow_;
    Host &host_;
    QPointer<QInputDialog> input_;
    QPointer<TFormMemo> memo_;
    QPointer<TForm_dialod> menu_;
    int language_ = 0;
};

} // namespace tesmora
