// The shell adapter: opening documents and web addresses with the
// applications the desktop associates with them.
#pragma once

#include "ports/media.h"

namespace tesmora {

// Opens documents and web addresses through QDesktopServices. Needs a
// QGuiApplication.
class QtShellOpener : public ShellOpener {
  public:
    bool open(const QString &path, int show, QString &error) override;
};

} // namespace tesmora
