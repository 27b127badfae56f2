// The window on today's desktops: editor colours that follow a light or dark
// palette, icons on every action, accessible names in both interface
// languages, every action reachable from the keyboard, and (run a second time
// at QT_SCALE_FACTOR=2) sharp pictures with the canvas layers kept at the
// size the coordinate system asks.
#include "gui_window.h"

#include "core/message_catalogue.h"
#include "environment/about_window.h"
#include "environment/canvas_panel.h"
#include "environment/editor_colours.h"
#include "environment/variables_view.h"

#include <QPalette>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>

using namespace tesmora;
using namespace tesmora::test;

namespace {

const int kToolbarTags[] = {Start, Step, StepOver, 364,  Continue, Fast,     Pause, Load,   New,
                            Edit,  Find, Replace,  Work, Save,     Settings, Kbd,   Cancel, Help};

// The dark palette a desktop in dark mode hands the Fusion style.
QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xE6, 0xE6, 0xE6);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    const QColor dimmed(0x7F, 0x7F, 0x7F);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed);
    return p;
}

// Puts a palette in force for one test and the style's own back afterwards.
struct PaletteScope {
    explicit PaletteScope(const QPalette &p)
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(p);
    }
    ~PaletteScope() { QApplication::setPalette(QApplication::style()->standardPalette()); }
};

// Scintilla keeps colours as 0xBBGGRR.
QColor sciColour(long bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
QColor styleFore(ScriptEditor &ed, int style)
{
    return sciColour(ed.SynEditor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style));
}
QColor styleBack(ScriptEditor &ed, int style)
{
    return sciColour(ed.SynEditor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style));
}
QColor caretLineBack(ScriptEditor &ed)
{
    return sciColour(ed.SynEditor()->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEBACK));
}
QColor marginBack(ScriptEditor &ed, int margin)
{
    return sciColour(ed.SynEditor()->SendScintilla(QsciScintillaBase::SCI_GETMARGINBACKN, margin));
}

QWidget *buttonOf(Window &t, int tag)
{
    return t.w->findChild<ToolbarStrip *>()->toolBar()->widgetForAction(t.act(tag));
}

// How many pixels of a row's value cell are light (lightness above 160) and
// how many dark (below 60): the text is the minority.
std::pair<int, int> lightAndDarkPixels(QTableWidget *grid, int row)
{
    const QImage img = grid->viewport()->grab().toImage();
    const QRect r = grid->visualRect(grid->model()->index(row, 1)).intersected(img.rect());
    int light = 0, dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const int l = QColor(img.pixel(x, y)).lightness();
            light += l > 160 ? 1 : 0;
            dark += l < 60 ? 1 : 0;
        }
    return {light, dark};
}

const QByteArray kScript = "a = 1\nb = \"text\"\n# a comment\nc = a + 2.5\n";

} // namespace

TEST(Look, DarkPaletteGivesDarkPaperReadableTextAndLightPaletteTheOldColours)
{
    PaletteScope darkScope(darkPalette());
    Window t(kScript);
    t.w->resize(1000, 700);
    t.showActive();
    ScriptEditor &ed = t.ed();
    const int lastStyle = ScriptLexer::styleForKind(TtkTokenKind(tkUnknown));
    // Dark paper everywhere, every token kind readable on it, the gutter and
    // the active line dark too.
    EXPECT_LT(styleBack(ed, 0).lightness(), 60);
    for (int style = 0; style <= lastStyle; ++style) {
        EXPECT_LT(styleBack(ed, style).lightness(), 60) << style;
        EXPECT_GE(contrastRatio(styleFore(ed, style), styleBack(ed, style)), 4.5) << style;
    }
    EXPECT_LT(caretLineBack(ed).lightness(), 90);
    EXPECT_LT(marginBack(ed, 0).lightness(), 110);
    EXPECT_GE(contrastRatio(styleFore(ed, QsciScintillaBase::STYLE_LINENUMBER), marginBack(ed, 0)), 4.5);
    // The grids write their text light on the dark base.
    t.key(Qt::Key_F10);
    QTableWidget *global = t.w->variablesView()->SG_GlobalVariables;
    global->setCurrentCell(1, 0);
    ASSERT_GE(global->rowCount(), 3);
    auto [lightCount, darkCount] = lightAndDarkPixels(global, 2);
    EXPECT_GT(darkCount, lightCount); // dark base
    EXPECT_GT(lightCount, 10);        // light text on it
    t.shoot("look_dark");

    // Back on a light palette the same window has exactly the old colours.
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::processEvents();
    EXPECT_EQ(styleBack(ed, 0), QColor(Qt::white));
    EXPECT_EQ(styleFore(ed, 0), QColor(Qt::black));
    EXPECT_EQ(styleFore(ed, ScriptLexer::styleForKind(tkIdentifier)), QColor(0, 0, 0xFF));
    EXPECT_EQ(styleFore(ed, ScriptLexer::styleForKind(tkString)), QColor(0, 0x80, 0));
    EXPECT_EQ(styleFore(ed, ScriptLexer::styleForKind(tkKey)), QColor(0x80, 0, 0));
    EXPECT_EQ(caretLineBack(ed), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(marginBack(ed, 0), QColor(0xA6, 0xCA, 0xF0));
    std::tie(lightCount, darkCount) = lightAndDarkPixels(global, 2);
    EXPECT_GT(lightCount, darkCount); // white base
    EXPECT_GT(darkCount, 10);         // black text on it
    t.key(Qt::Key_F4);
    EXPECT_EQ(marginBack(ed, 0), QColor(0xC0, 0xFF, 0xC0));
}

TEST(Look, EveryActionHasAnIconBesideItsUnchangedCaption)
{
    Window t(kScript);
    t.showActive();
    EXPECT_FALSE(t.w->windowIcon().isNull());
    EXPECT_FALSE(t.w->windowIcon().pixmap(48).isNull());
    for (int tag : kToolbarTags) {
        QAction *a = t.act(tag);
        EXPECT_FALSE(a->icon().isNull()) << tag;
        EXPECT_FALSE(a->icon().pixmap(16).isNull()) << tag;
        EXPECT_EQ(a->text(), catalogueText(tag, 0)) << tag;
    }
    EXPECT_FALSE(t.act(Font)->icon().isNull());
    // About carries the program's icon too.
    auto *about = t.w->findChild<TAbout *>();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->windowIcon().pixmap(32).isNull());
    about->show();
    QApplication::processEvents();
    tesmora::test::shoot(about, QStringLiteral("look_about"));
    about->hide();
    auto *bar = t.w->findChild<ToolbarStrip *>()->toolBar();
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    // The buttons sit side by side without overlapping.
    QRect previous;
    for (int tag : kToolbarTags) {
        QWidget *b = buttonOf(t, tag);
        if (!b->isVisible())
            continue;
        EXPECT_FALSE(b->geometry().intersects(previous)) << tag;
        EXPECT_GE(b->width(), b->sizeHint().width()) << tag;
        previous = b->geometry();
    }
    t.shoot("look_light");
}

TEST(Look, AccessibleNamesFollowTheInterfaceLanguage)
{
    Window t(kScript);
    t.showActive();
    QStringList english;
    for (int language : {0, 1}) {
        t.w->setLanguage(language);
        QApplication::processEvents();
        for (int tag : kToolbarTags) {
            QWidget *b = buttonOf(t, tag);
            EXPECT_EQ(b->accessibleName(), catalogueText(tag, language)) << tag;
            EXPECT_FALSE(b->accessibleName().isEmpty()) << tag;
            // The longer captions get wider buttons: none is cut short.
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->sizeHint().width()) << tag;
            }
        }
        VariablesView *v = t.w->variablesView();
        EXPECT_EQ(v->SG_GlobalVariables->accessibleName(), catalogueText(40, language));
        EXPECT_EQ(v->SG_LocalVariables->accessibleName(), catalogueText(42, language));
        const QList<QWidget *> parts = {
            t.ed().SynEditor(), t.ed().Image_indicator(), v,
            t.w->canvasPanel(), t.w->statusBar(),         t.w->findChild<ToolbarStrip *>()->toolBar()};
        QStringList names;
        for (QWidget *p : parts) {
            EXPECT_FALSE(p->accessibleName().isEmpty()) << p->objectName().toStdString();
            names << p->accessibleName();
        }
        if (language == 0) {
            english = names;
            continue;
        }
        for (qsizetype i = 0; i < names.size(); ++i) {
            EXPECT_NE(names.at(i), english.at(i));
            EXPECT_TRUE(names.at(i).contains(QRegularExpression(QStringLiteral("[А-Яа-я]"))));
        }
    }
    QApplication::processEvents();
    t.shoot("look_russian");
}

TEST(Look, EveryShownActionIsReachedWithTabAndPressedWithSpace)
{
    Window t(kScript);
    t.showActive();
    // Tab walks the window (Ctrl+Tab out of the editor, where Tab indents)
    // and meets every shown button of the mode.
    auto reached = [&t] {
        t.ed().SynEditor()->setFocus();
        QApplication::processEvents();
        QSet<QWidget *> seen;
        for (int i = 0; i < 60; ++i) {
            const bool inText = QApplication::focusWidget() == t.ed().SynEditor();
            t.key(Qt::Key_Tab, inText ? Qt::ControlModifier : Qt::NoModifier);
            seen.insert(QApplication::focusWidget());
        }
        return seen;
    };
    auto check = [&t](const QSet<QWidget *> &seen) {
        for (int tag : kToolbarTags)
            if (t.shown(tag) && t.enabled(tag)) { // a disabled button takes no focus
                EXPECT_TRUE(seen.contains(buttonOf(t, tag))) << tag;
            }
    };
    check(reached());
    t.key(Qt::Key_F4); // edit mode: Work, Cancel, Replace, Kbd come up
    ASSERT_TRUE(t.shown(Kbd));
    const QSet<QWidget *> seen = reached();
    check(seen);
    // Space on the focused Kbd button opens the symbol keyboard.
    buttonOf(t, Kbd)->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), buttonOf(t, Kbd));
    QSignalSpy triggered(t.act(Kbd), &QAction::triggered);
    t.key(Qt::Key_Space);
    EXPECT_EQ(triggered.count(), 1);
}

// Run with QT_SCALE_FACTOR=2 (a second ctest entry): icons and marks are
// drawn at the doubled pixel ratio; the layers keep the size the coordinate
// system asks and each of their pixels shows as a clean 2 x 2 block.
TEST(LookScaled, PicturesAreSharpAndTheLayersKeepTheirSize)
{
    const qreal dpr = qApp->devicePixelRatio();
    if (dpr < 2)
        GTEST_SKIP() << "runs under QT_SCALE_FACTOR=2";
    Window t("SetCoordinateSystem(0, 0, 400, 250, 0, 1, 2)\nPixelWrite(10, 10, 255)\n");
    t.w->resize(1190, 760);
    t.showActive();
    t.act(Start)->trigger();
    QApplication::processEvents();
    const Canvas &c = t.w->canvasPanel()->canvas();
    ASSERT_EQ(c.layer(1).image.size(), QSize(400, 250));
    const QImage shown = t.w->canvasPanel()->grab().toImage();
    EXPECT_EQ(shown.devicePixelRatio(), dpr);
    // The red pixel written at user (10, 10): bitmap column 10, row 250 - 10 - 1.
    const int x = 10, y = 250 - 10 - 1;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
            EXPECT_EQ(QColor(shown.pixel(x * 2 + dx, y * 2 + dy)), QColor(255, 0, 0)) << dx << dy;
    EXPECT_EQ(QColor(shown.pixel(x * 2 + 2, y * 2)), QColor(Qt::white));
    // The toolbar icons come at the doubled resolution.
    const QPixmap icon = t.act(Start)->icon().pixmap(QSize(16, 16), dpr);
    EXPECT_EQ(icon.size(), QSize(32, 32));
    t.shoot("look_scale2");
}
