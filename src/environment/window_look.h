// The window's icons and the accessible names of its parts.
#pragma once

#include <QIcon>
#include <QString>

namespace tesmora {

// The icon of the action with this tag: the desktop theme's icon where it
// has a fitting one, else the bundled drawing; a null icon for other tags.
QIcon actionIcon(int actionTag);

// The program's own icon (window, About).
QIcon applicationIcon();

// Parts of the window that have no caption of their own to be named by.
enum class WindowPart {
    Toolbar,
    ScrollLeft,
    ScrollRight,
    Editor,
    IndicatorStrip,
    Variables,
    Graphics,
    StatusBar,
    SymbolKeyboard,
};

// The accessible name of a part in the interface language (0 English,
// 1 Russian).
QString accessiblePartName(WindowPart part, int language);

} // namespace tesmora
