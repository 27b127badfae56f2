// A first window: shows the prepared start-up script read-only, with line
// numbers from 0, until the full working environment replaces it.
#pragma once

#include "core/host.h"
#include "core/interpreter.h"

#include <QMainWindow>

class QsciScintilla;

namespace tesmora {

class MinimalWindow : public QMainWindow, public Host {
    Q_OBJECT
public:
    explicit MinimalWindow(QWidget *parent = nullptr);
    void loadScript(const QString &fileName);

    // Host
    void setEditorText(const QStringList &lines) override;
    void setEditorReadOnly(bool readOnly) override;
    void setCaption(const QString &caption) override;
    void showErrorBox(const QString &text) override;

private:
    Interpreter interp_;
    QsciScintilla *editor_;
};

} // namespace tesmora
