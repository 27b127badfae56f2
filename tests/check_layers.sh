#!/usr/bin/env bash
# The engine (src/core, src/library) reaches windows, pictures and the
# JavaScript engine only through the interfaces it declares: none of its files
# may include a header of the graphics or environment layers, of a platform
# adapter other than the Core-only ones, or of Qt Gui, Widgets, Qml,
# Multimedia or QScintilla.
set -u
src="${1:?usage: check_layers.sh SRC_DIR}"
forbidden='#include[[:space:]]*[<"]('
forbidden+='graphics/|environment/|app/|platform/(qjs_engine|media_player|system_sounds|shell_opener)'
forbidden+='|Qt(Gui|Widgets|Qml|Multimedia|PrintSupport)/'
forbidden+='|Qsci/'
forbidden+='|Q(Image|Color|Painter|Pixmap|Font|FontMetrics|Pen|Brush|Widget|Application|GuiApplication|Action|Menu|Dialog|MessageBox|Label|JSEngine|JSValue|MediaPlayer|SoundEffect|AudioOutput|DesktopServices|Clipboard|Screen)[>"]'
forbidden+=')'
found=$(grep -rnE "$forbidden" "$src/core" "$src/library" 2>/dev/null)
if [ -n "$found" ]; then
    echo "engine files include headers of outer layers:"
    echo "$found"
    exit 1
fi
echo "engine layering holds"
