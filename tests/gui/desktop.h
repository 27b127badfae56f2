// The desktop's adapters for windows under test.
#pragma once

#include "environment/main_window.h"
#include "platform/media_player.h"
#include "platform/qjs_engine.h"
#include "platform/shell_opener.h"

namespace tesmora::test {

// The desktop's adapters, as the window program builds them; they outlive
// the windows given them.
struct Desktop {
    QtJavaScriptEngine js;
    QtMediaPlayer media;
    QtShellOpener shell;
    DesktopAdapters adapters() { return {.js = &js, .media = &media, .shell = &shell}; }
};

} // namespace tesmora::test
