// The colours of the script editor, its gutter marks and the variable grids.
// The light set is the editor's own; on a dark desktop palette a dark set
// with the same meanings takes its place, so that text stays readable.
#pragma once

#include "script_lexer.h"

#include <QColor>
#include <QList>

class QPalette;

namespace tesmora {

struct EditorColours {
    QColor text;
    QColor paper;
    QColor workingGutter; // gutter and indicator strip in working mode
    QColor editGutter;    // gutter in edit mode
    QColor activeLine;    // the active (current) line in working mode
    QColor selection;
    QColor indentGuide;
    QColor marginText; // line numbers
    QColor foldBoxFill;
    QColor foldBoxLine;
    QColor braceText;
    QColor braceBack;
    QColor stripBookmark;             // bookmarks on the indicator strip
    QList<TokenAttribute> attributes; // the highlighter's token colours

    static EditorColours light();
    static EditorColours dark();
    // The set that suits the palette: dark when its base colour is dark.
    static EditorColours forPalette(const QPalette &palette);
};

// Is the palette a dark one (dark base under light text)?
bool isDarkPalette(const QPalette &palette);

// The WCAG contrast ratio of two colours (1 to 21).
double contrastRatio(const QColor &a, const QColor &b);

} // namespace tesmora
