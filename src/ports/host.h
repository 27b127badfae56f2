// What the interpreter asks of the environment while it prepares and runs a
// script. The main window implements it; the headless runner implements it
// without windows; tests use NullHost or their own recording host.
#pragma once

#include <QString>
#include <QStringList>

namespace tesmora {

enum class SystemSound { Asterisk, Hand };

class Host {
  public:
    virtual ~Host() = default;

    // Editor
    virtual void setEditorText(const QStringList &lines) { (void)lines; }
    virtual void setEditorReadOnly(bool readOnly) { (void)readOnly; }
    virtual void repaintEditor() {}
    virtual void rebuildHighlighterWords() {}
    virtual void markCurrentLine(int line) { (void)line; }
    virtual void setCaretLine(int line) { (void)line; }
    virtual bool hasBreakpoint(int line) const
    {
        (void)line;
        return false;
    }
    // Window
    virtual void setCaption(const QString &caption) { (void)caption; }
    virtual void refreshVariables() {}
    virtual void showGlobalGrid() {}
    virtual void setStatusPanel(int panel, const QString &text)
    {
        (void)panel;
        (void)text;
    }
    virtual void clearStatusPanels() {}
    virtual void setWorkModeActions() {}
    virtual void setRunningActions(bool running) { (void)running; }
    virtual void attachToolbar(bool attached) { (void)attached; }
    virtual void enableWindow(bool enabled) { (void)enabled; }
    virtual void repaintWindow() {}
    virtual void closeMainWindow() {}
    // Waits `ms` milliseconds (keeping the window responsive), then closes.
    virtual void closeMainWindowAfter(int ms)
    {
        (void)ms;
        closeMainWindow();
    }
    // Events and keys
    virtual void processEvents() {}
    virtual bool pauseKeyDown() const { return false; }
    virtual void discardQueuedKeys() {}
    // Sounds and messages
    virtual void playSystemSound(SystemSound sound) { (void)sound; }
    // A modal box with the error icon and an empty caption.
    virtual void showErrorBox(const QString &text) { (void)text; }
    // A message shown at once without stopping anything (also error icon).
    virtual void showMessageNow(const QString &text) { showErrorBox(text); }
    virtual bool askYesNo(const QString &text)
    {
        (void)text;
        return true;
    }
};

// A host that does nothing: every request is accepted and ignored.
class NullHost : public Host {};

} // namespace tesmora
