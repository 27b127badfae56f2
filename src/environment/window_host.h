// The main window as the interpreter sees it: editor marks, the variables
// view, the status bar, message boxes, sounds and the Pause key. The window
// owns it and gives it to the interpreter it builds.
#pragma once

#include "ports/host.h"

#include <QObject>
#include <memory>

namespace tesmora {

class SystemSounds;
class TForm_Interpretator;

class WindowHost : public QObject, public Host {
  public:
    // Watches the application's keys (Pause, keys to discard) from now on.
    explicit WindowHost(TForm_Interpretator &window);
    ~WindowHost() override;

    void setEditorText(const QStringList &lines) override;
    void setEditorReadOnly(bool readOnly) override;
    void repaintEditor() override;
    void rebuildHighlighterWords() override;
    void markCurrentLine(int line) override;
    void setCaretLine(int line) override;
    bool hasBreakpoint(int line) const override;
    void setCaption(const QString &caption) override;
    void refreshVariables() override;
    void showGlobalGrid() override;
    void setStatusPanel(int panel, const QString &text) override;
    void clearStatusPanels() override;
    void setWorkModeActions() override;
    void setRunningActions(bool running) override;
    void enableWindow(bool enabled) override;
    void repaintWindow() override;
    void closeMainWindow() override;
    void closeMainWindowAfter(int ms) override;
    void processEvents() override;
    bool pauseKeyDown() const override;
    void discardQueuedKeys() override;
    void playSystemSound(SystemSound sound) override;
    void showErrorBox(const QString &text) override;
    void showMessageNow(const QString &text) override;
    bool askYesNo(const QString &text) override;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    TForm_Interpretator &window_;
    std::unique_ptr<SystemSounds> sounds_;
    bool pauseKey_ = false;
    // A press of the Pause key during a run, kept until the run stops: a
    // quick tap may go down and up within one round of event processing,
    // before the run looks at the key.
    bool pausePressed_ = false;
    bool dropKeys_ = false;
};

} // namespace tesmora
