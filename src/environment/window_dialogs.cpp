#include "window_dialogs.h"

#include "dialog_windows.h"
#include "ports/host.h"
#include "graphics/dialog_functions.h"

#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>

namespace tesmora {

namespace {

QMessageBox::StandardButton standardButton(int code)
{
    switch (code) {
    case 2:
        return QMessageBox::Cancel;
    case 3:
        return QMessageBox::Abort;
    case 4:
        return QMessageBox::Retry;
    case 5:
        return QMessageBox::Ignore;
    case 6:
        return QMessageBox::Yes;
    case 7:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon messageIcon(int icon)
{
    switch (icon) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Esc answers Cancel where the set has it, and OK in the box that has only
// OK; in the other sets it does nothing (the box would otherwise take No or
// Abort for it).
class EscapeGuard : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    }
};

} // namespace

WindowDialogs::WindowDialogs(QWidget *mainWindow, Host &host)
    : mainWindow_(mainWindow), host_(host), input_(new QInputDialog(mainWindow)),
      memo_(new TFormMemo(mainWindow)), menu_(new TForm_dialod(mainWindow))
{
    input_->setObjectName(QStringLiteral("InputQuery"));
}

WindowDialogs::~WindowDialogs() = default;

TFormMemo *WindowDialogs::memoWindow() const
{
    return memo_;
}

TForm_dialod *WindowDialogs::menuWindow() const
{
    return menu_;
}

void WindowDialogs::setSettingsFile(const QString &path)
{
    memo_->setSettingsFile(path);
}

void WindowDialogs::setLanguage(int language)
{
    language_ = language;
    memo_->setLanguage(language);
    menu_->setLanguage(language);
}

bool WindowDialogs::inputString(const QString &prompt, const QString &defaultText, QString &answer)
{
    input_->setWindowTitle(untitledWindowTitle(language_));
    input_->setInputMode(QInputDialog::TextInput);
    input_->setLabelText(prompt);
    input_->setTextValue(defaultText);
    const bool ok = input_->exec() == QDialog::Accepted;
    answer = ok ? input_->textValue() : QString();
    return ok;
}

bool WindowDialogs::inputText(const QString &prompt, const QString &defaultText, QString &answer)
{
    return memo_->ask(prompt, defaultText, answer);
}

int WindowDialogs::message(const QString &prompt, const QString &caption, int buttons)
{
    const MessageBoxOptions options = decodeMessageOptions(buttons);
    QMessageBox box(messageIcon(options.icon), caption.isEmpty() ? untitledWindowTitle(language_) : caption,
                    prompt, QMessageBox::NoButton, mainWindow_);
    const QList<int> codes = messageButtonCodes(options.buttonSet);
    for (int code : codes)
        box.addButton(standardButton(code));
    EscapeGuard guard;
    if (messageSetHasCancel(options.buttonSet))
        box.setEscapeButton(box.button(QMessageBox::Cancel));
    else if (codes.size() == 1)
        box.setEscapeButton(box.button(QMessageBox::Ok));
    else
        box.installEventFilter(&guard);
    box.exec();
    for (int code : codes)
        if (box.clickedButton() && box.clickedButton() == box.button(standardButton(code)))
            return code;
    return messageSetHasCancel(options.buttonSet) ? 2 : codes.first();
}

int WindowDialogs::menu(const QString &prompt, const QStringList &items, int selected)
{
    return menu_->choose(prompt, items, selected, mainWindow_);
}

bool WindowDialogs::checkQuestion(const QString &text)
{
    return host_.askYesNo(text);
}

} // namespace tesmora
