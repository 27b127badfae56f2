// The Load and Save dialogs of scripts. The hand-over copies the environment
// keeps in the Scripts folder ($$$.tmp, $$$1.tmp) are not offered, and a name
// typed without extension means the ".txt" file.
#pragma once

#include <QFileDialog>

namespace tesmora {

// Is `fileName` one of the environment's hand-over copies?
bool isHandOverFile(const QString &fileName);

class ScriptFileDialog : public QFileDialog {
    Q_OBJECT
  public:
    enum Purpose { Open, Save };
    // Opens in `folder`, proposing `proposed` (a path or empty).
    ScriptFileDialog(Purpose purpose, const QString &folder, const QString &proposed,
                     QWidget *parent = nullptr);
    // Runs the dialog; the chosen path, or empty when it was cancelled.
    static QString choose(Purpose purpose, const QString &folder, const QString &proposed, QWidget *parent);
};

} // namespace tesmora
