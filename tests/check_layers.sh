#!/usr/bin/env bash
# The engine (src/core, src/library) reaches windows, pictures and the
# JavaScript engine only through the interfaces it declares: none of its files
# may include a header of the graphics or environment layers, of a platform
# adapter other than the Core-only ones, or of Qt Gui, Widgets, Qml,
# Multimedia or QScintilla. The ports stay free of the rest of the engine, and
# the media adapter free of Qt Gui.
set -u
src="${1:?usage: check_layers.sh SRC_DIR}"
forbidden='#include[[:space:]]*[<"]('
forbidden+='graphics/|environment/|app/|platform/(qjs_engine|media_player|system_sounds|shell_opener)'
forbidden+='|Qt(Gui|Widgets|Qml|Multimedia|PrintSupport)/'
forbidden+='|Qsci/'
forbidden+='|Q(Image|Color|Painter|Pixmap|Font|FontMetrics|Pen|Brush|Widget|Application|GuiApplication|Action|Menu|Dialog|MessageBox|Label|JSEngine|JSValue|MediaPlayer|SoundEffect|AudioOutput|DesktopServices|Clipboard|Screen)[>"]'
forbidden+=')'
found=$(grep -rnE "$forbidden" "$src/core" "$src/library" "$src/ports" 2>/dev/null)
if [ -n "$found" ]; then
    echo "engine files include headers of outer layers:"
    echo "$found"
    exit 1
fi

# The ports (src/ports, the header-only target every layer meets at) include
# one another and Qt Core or standard headers only, never the rest of the
# engine.
for header in "$src"/ports/*.h; do
    while IFS= read -r line; do
        name=$(sed -E 's/.*#include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
        if [ ! -f "$src/ports/${name#ports/}" ]; then
            echo "the port ${header#"$src"/} includes \"$name\", which is no port"
            exit 1
        fi
    done < <(grep -E '#include[[:space:]]*"' "$header")
    found=$(grep -nE "$forbidden" "$header")
    if [ -n "$found" ]; then
        echo "the port ${header#"$src"/} includes headers of outer layers:"
        echo "$found"
        exit 1
    fi
done

# The adapters meet the engine at the ports only: no platform file includes
# the engine's own headers or those of the graphics, environment or program
# layers.
found=$(grep -rnE '#include[[:space:]]*"(core|library|graphics|environment|app)/' "$src/platform" 2>/dev/null)
if [ -n "$found" ]; then
    echo "platform adapters include headers other than the ports:"
    echo "$found"
    exit 1
fi

# The media adapter plays sounds without Qt Gui (the shell opener has it).
gui='#include[[:space:]]*[<"](Qt(Gui|Widgets)/|Q(GuiApplication|DesktopServices|Image|Pixmap|Widget|Application)[>"])'
found=$(grep -nE "$gui" "$src"/platform/media_player.* "$src"/platform/system_sounds.* 2>/dev/null)
if [ -n "$found" ]; then
    echo "the media adapter includes Qt Gui headers:"
    echo "$found"
    exit 1
fi
echo "engine layering holds"
