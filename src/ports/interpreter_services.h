// The services through which an interpreter reaches the world outside it,
// given to its constructor by the program that builds it. None is owned; any
// may be null: without a host nothing is shown; without a media player a
// sound is silence, without a shell opener a document counts as opened, and
// without a dialog provider Check goes on; JavaScript, graphics and dialog
// words fail without their engine or executor.
#pragma once

namespace tesmora {

class DialogExecutor;
class DialogProvider;
class GraphicsExecutor;
class Host;
class JavaScriptEngine;
class MediaPlayer;
class ShellOpener;

struct InterpreterServices {
    Host *host = nullptr;
    JavaScriptEngine *js = nullptr;
    GraphicsExecutor *graphics = nullptr;
    DialogExecutor *dialogs = nullptr;
    // The four dialogs and the Check question of the built-in functions.
    DialogProvider *dialogProvider = nullptr;
    MediaPlayer *media = nullptr;
    ShellOpener *shell = nullptr;
};

} // namespace tesmora
