#include "editor_colours.h"

#include <QPalette>

#include <cmath>

namespace tesmora {

namespace {

// Gives a token kind its colour on the dark paper; bold and italic stay.
void recolour(QList<TokenAttribute> &a, ScriptLexer::Attr attr, const QColor &fg)
{
    a[attr].foreground = fg;
}

double relativeLuminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

EditorColours EditorColours::light()
{
    return {.text = Qt::black,
            .paper = Qt::white,
            .workingGutter = QColor(0xA6, 0xCA, 0xF0),
            .editGutter = QColor(0xC0, 0xFF, 0xC0),
            .activeLine = QColor(0xC0, 0xFF, 0xFF),
            .selection = QColor(0xB4, 0xD5, 0xFE),
            .indentGuide = QColor(0xD8, 0xD8, 0xD8),
            .marginText = QColor(0x30, 0x30, 0x30),
            .foldBoxFill = Qt::white,
            .foldBoxLine = QColor(0x70, 0x70, 0x70),
            .braceText = Qt::black,
            .braceBack = QColor(0x00, 0xFF, 0x00),
            .stripBookmark = Qt::black,
            .attributes = ScriptLexer::mainWindowAttributes()};
}

EditorColours EditorColours::dark()
{
    using L = ScriptLexer;
    QList<TokenAttribute> a = ScriptLexer::mainWindowAttributes();
    recolour(a, L::AttrComment, QColor(0x9A, 0x9A, 0x9A));
    recolour(a, L::AttrIdentifier, QColor(0x7A, 0xB4, 0xFF));
    recolour(a, L::AttrReservedWord, QColor(0xF0, 0x8C, 0x70));
    recolour(a, L::AttrNonreservedKeyword, QColor(0xFF, 0x80, 0xF0));
    recolour(a, L::AttrNumber, QColor(0x9C, 0xC4, 0xFF));
    recolour(a, L::AttrHexadecimal, QColor(0xD0, 0xA0, 0xF0));
    recolour(a, L::AttrFloat, QColor(0x9C, 0xC4, 0xFF));
    recolour(a, L::AttrString, QColor(0x86, 0xD0, 0x86));
    recolour(a, L::AttrSymbol, QColor(0xD0, 0xA0, 0xF0));
    return {.text = QColor(0xDC, 0xDC, 0xDC),
            .paper = QColor(0x1E, 0x1F, 0x22),
            .workingGutter = QColor(0x2C, 0x48, 0x64),
            .editGutter = QColor(0x26, 0x4A, 0x2C),
            .activeLine = QColor(0x1F, 0x3C, 0x44),
            .selection = QColor(0x26, 0x4F, 0x78),
            .indentGuide = QColor(0x44, 0x44, 0x44),
            .marginText = QColor(0xD0, 0xD0, 0xD0),
            .foldBoxFill = QColor(0x2A, 0x2A, 0x2A),
            .foldBoxLine = QColor(0xA0, 0xA0, 0xA0),
            .braceText = Qt::white,
            .braceBack = QColor(0x1E, 0x7A, 0x1E),
            .stripBookmark = QColor(0xE8, 0xE8, 0xE8),
            .attributes = a};
}

EditorColours EditorColours::forPalette(const QPalette &palette)
{
    return isDarkPalette(palette) ? dark() : light();
}

bool isDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace tesmora
