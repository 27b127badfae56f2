// The canvas panel of the main window driven offscreen: shown by
// SetCoordinateSystem, hidden by Load, the layers laid out in the panel, and
// the context menu that copies or saves the picture.
#include "desktop.h"
#include "environment/canvas_panel.h"
#include "environment/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QLabel>
#include <QImageReader>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <cmath>

using namespace tesmora;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

enum { Start = 301, Step = 303, Load = 309 };

// A shown window over a fresh program folder with `script` loaded.
struct Window {
    QTemporaryDir home;
    test::Desktop desktop;
    std::unique_ptr<TForm_Interpretator> w;
    QStringList errors;

    explicit Window(const QByteArray &script)
    {
        QDir(home.path()).mkpath("Scripts");
        QFile f(home.filePath("Scripts/test.txt"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(script);
        f.close();
        qputenv("TESMORA_HOME", home.path().toUtf8());
        w = std::make_unique<TForm_Interpretator>(QStringList{"test.txt"}, desktop.adapters());
        w->reportError = [this](const QString &t) { errors << t; };
        w->answerQuestion = [](const QString &) { return true; };
        w->resize(1200, 800);
        w->show();
        w->StartUp();
        QApplication::processEvents();
    }
    ~Window() { qunsetenv("TESMORA_HOME"); }
    CanvasPanel *panel() { return w->canvasPanel(); }
    Canvas &canvas() { return panel()->canvas(); }
    bool handleShown()
    {
        auto *splitter = qobject_cast<QSplitter *>(panel()->parentWidget());
        QSplitterHandle *handle = splitter->handle(splitter->indexOf(panel()));
        return handle->isEnabled() && splitter->handleWidth() > 0;
    }
    void start()
    {
        w->action(Start)->trigger();
        QApplication::processEvents();
    }
    // The panel as it is shown on the screen.
    QImage shown() { return panel()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// The menu a right click on the panel opens; `pick` chooses in it.
void contextMenu(CanvasPanel *panel, const std::function<void(QMenu *)> &pick)
{
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        pick(menu);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), panel->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(panel, &event);
}

// Keeps a picture of a widget when TESMORA_SHOTS names a folder, for people
// to look at.
void keepShot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("TESMORA_SHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QStringList captions(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    return texts;
}

} // namespace

TEST(CanvasPanel, SetCoordinateSystemShowsThePanelAndLoadHidesIt)
{
    Window win("SetCoordinateSystem(0,0,10,10)\r\nCircle(5,5,3)\r\n");
    EXPECT_EQ(win.panel()->width(), 0);
    EXPECT_FALSE(win.handleShown());

    win.start();
    EXPECT_EQ(win.errors, QStringList());
    EXPECT_TRUE(win.handleShown());
    // 0.75 of the window, less what the script side's minimum width keeps.
    EXPECT_LE(win.panel()->width(), std::lround(0.75 * win.w->width()));
    EXPECT_GT(win.panel()->width(), std::lround(0.6 * win.w->width()));
    // Mode 0: square ranges give a square bitmap as high as the panel.
    const QSize bitmap = win.canvas().layer(1).image.size();
    EXPECT_EQ(bitmap.width(), bitmap.height());
    EXPECT_EQ(bitmap.height(), win.panel()->height());

    // Load hides the panel; it stays at width 0 when the window grows.
    win.w->chooseOpenFile = [&](const QString &) { return win.home.filePath("Scripts/test.txt"); };
    win.w->action(Load)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(win.panel()->width(), 0);
    EXPECT_FALSE(win.handleShown());
    win.w->resize(1400, 900);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(win.panel()->width(), 0);
    // The canvas itself is kept.
    EXPECT_EQ(win.canvas().layer(1).image.size(), bitmap);
}

TEST(CanvasPanel, LayoutOfModesZeroAndTwo)
{
    // Mode 0: the bitmap fills the fitted panel and is shown at scale 1;
    // axes on layer 2 over a red rectangle on layer 1 and a blue one on layer 2.
    Window scaled(
        "SetCoordinateSystem(-10,-5,10,5,1,2)\r\nSetBrushParameters(clRed)\r\nFillRect(-10,-5,0,5)\r\n"
        "SetBrushParameters(clBlue,0,2)\r\nFillRect(-5,1,5,5,2)\r\n");
    scaled.start();
    const Canvas &c0 = scaled.canvas();
    EXPECT_EQ(c0.layer(1).display, c0.layer(1).image.size());
    EXPECT_DOUBLE_EQ(c0.DisplayScale, 1);
    const QImage shown0 = scaled.shown();
    const QImage composed0 = c0.composed();
    for (QPoint p :
         {c0.toPixel(-3, -3), c0.toPixel(-3, 3), c0.toPixel(2, 3), c0.toPixel(0, -3), c0.toPixel(6, 0)})
        EXPECT_EQ(shown0.pixel(p), composed0.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(shown0.pixel(c0.toPixel(-3, -3)), qRgb(0xFF, 0x40, 0x20)); // layer 1 red
    EXPECT_EQ(shown0.pixel(c0.toPixel(-3, 3)), qRgb(0, 0, 0xFF));        // layer 2 blue over it
    EXPECT_EQ(shown0.pixel(c0.toPixel(0, -3)), qRgb(0xC0, 0xC0, 0xC0));  // the y axis over the red
    keepShot(scaled.w.get(), QStringLiteral("axes_mode0"));

    // Mode 2: the 400 x 250 bitmap unscaled at the top-left corner, the grid on layer 2.
    Window fixed("SetCoordinateSystem(0,0,400,250,2,2,2)\r\nPixelWrite(110,110,clRed)\r\n");
    fixed.start();
    const Canvas &c2 = fixed.canvas();
    EXPECT_EQ(c2.layer(2).display, QSize(400, 250));
    EXPECT_EQ(c2.layer(1).display, QSize(400, 250));
    const QImage shown2 = fixed.shown();
    EXPECT_EQ(shown2.pixel(110, 139), qRgb(0xFF, 0x40, 0x20));
    EXPECT_EQ(shown2.pixel(0, 100), qRgb(0xC0, 0xC0, 0xC0));   // the grid's y axis
    EXPECT_NE(shown2.pixel(420, 100), qRgb(0xFF, 0xFF, 0xFF)); // beyond the bitmap: the panel
    EXPECT_GT(fixed.panel()->width(), 420);
    keepShot(fixed.w.get(), QStringLiteral("grid_mode2"));
}

TEST(CanvasPanel, EveryFunctionShownWithLayerTwoOverLayerOne)
{
    QTemporaryDir pictures;
    Window win("SetCoordinateSystem(0,0,400,250)\r\n"
               "SetPenParameters(2,clNavy)\r\nSetBrushParameters(clLightBlue)\r\nFillRect(10,130,120,240)\r\n"
               "SetBrushParameters(clYellow)\r\nRect(140,130,260,240,1,15)\r\n"
               "SetPenParameters(1,clRed,1)\r\nMoveTo(280,235)\r\nLineTo(390,135)\r\n"
               "SetPenParameters(1,clGreen,3)\r\nMoveTo(280,135)\r\nLineTo(390,235)\r\n"
               "SetPenParameters(1,clBlack)\r\nSetBrushParameters(clOrange)\r\nCircle(60,70,40)\r\n"
               "SetBrushParameters(clLime)\r\nFloodFill(60,70,0)\r\n"
               "array P[4,2]float = ((130,20),(190,110),(250,20),(130,80))\r\n"
               "SetBrushParameters(clViolet)\r\nPolygon(P)\r\n"
               "array Q[5,2]float = ((270,20),(295,90),(320,40),(345,100),(370,30))\r\n"
               "SetPenParameters(1,clDarkBlue)\r\nPolyline(Q,1,4)\r\n"
               "SetBrushParameters(clRed,0,2)\r\nCircle(300,200,12,2)\r\nLayerTransferring()\r\nClean(2)\r\n"
               "array V[8]float = (60,110,80,120,70,100,115,90)\r\n"
               "SetPenParameters(1,clMaroon,0,2)\r\nPolyLine1(V,20,50,2,3)\r\n"
               "for i = 0, 39\r\n  PixelWrite(200+i,5,clFuchsia)\r\n"
               "SetBrushParameters(clWhite,1,2)\r\nTextPrint(150,245,'Layer 2 text',12,clDarkViolet,2)\r\n"
               "PictureImport('smile.png',360,200,2)\r\nc = PixelRead(60,70)\r\n"
               "TextPrint(10,5,'Every function',9,clTeal)\r\n");
    QDir(win.home.path()).mkpath("pictures");
    QFile::copy(QStringLiteral(TESMORA_SOURCE_DIR "/resources/pictures/smile.png"),
                win.home.filePath("pictures/smile.png"));
    win.w->interpreter().updateSettings([&](ProgramSettings &s) { s.programFolder = win.home.path() + "/"; });
    win.start();
    EXPECT_EQ(win.errors, QStringList());
    EXPECT_EQ(win.w->interpreter().GetVariableText("c"), "65280");
    // The panel shows the composed layers pixel for pixel (mode 0 at scale 1).
    const Canvas &c = win.canvas();
    const QImage composed = c.composed();
    const QImage shown = win.shown().copy(QRect(QPoint(0, 0), c.layer(2).display));
    EXPECT_EQ(c.layer(2).display, composed.size());
    EXPECT_EQ(shown, composed);
    // Layer 2 holds its own drawing; layer 1 what was transferred to it.
    EXPECT_EQ(c.layer(1).image.pixel(c.toPixel(300, 200)), qRgb(0xFF, 0x40, 0x20));
    EXPECT_EQ(c.layer(2).image.pixel(c.toPixel(300, 200)), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(c.layer(2).image.pixel(c.toPixel(20, 60)), qRgb(0x80, 0, 0));
    keepShot(win.w.get(), QStringLiteral("every_function"));
}

TEST(CanvasPanel, ContextMenuCopiesAndSavesThePictureInBothLanguages)
{
    Window win("SetCoordinateSystem(0,0,400,250,0,1,2)\r\nSetBrushParameters(clLime)\r\nFillRect(10,10,100,"
               "100)\r\n");
    win.start();
    const QString path = win.home.filePath("saved.png");
    win.panel()->chooseSaveFile = [&](const QString &) { return path; };

    QStringList english;
    contextMenu(win.panel(), [&](QMenu *menu) {
        english = captions(menu);
        keepShot(menu, QStringLiteral("context_menu_en"));
        menu->actions().at(1)->trigger();
    });
    EXPECT_EQ(english, QStringList({"Copy picture", "Save picture as…"}));
    const QImage saved(path);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), win.canvas().composed());

    // The file type follows the name: house.bmp is a BMP file of that name;
    // a name without a picture ending gets ".png".
    QString chosen = win.home.filePath("house.bmp");
    win.panel()->chooseSaveFile = [&](const QString &) { return chosen; };
    contextMenu(win.panel(), [&](QMenu *menu) { menu->actions().at(1)->trigger(); });
    EXPECT_FALSE(QFile::exists(chosen + ".png"));
    QFile bmp(chosen);
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_EQ(bmp.read(2), QByteArray("BM"));
    EXPECT_EQ(QImage(chosen).convertToFormat(QImage::Format_RGB32), win.canvas().composed());
    chosen = win.home.filePath("drawing");
    contextMenu(win.panel(), [&](QMenu *menu) { menu->actions().at(1)->trigger(); });
    EXPECT_EQ(QImageReader(chosen + ".png").format(), "png");
    EXPECT_EQ(pictureFileName("/a/b.BMP", "png"), "/a/b.BMP");
    EXPECT_EQ(pictureFileName("/a/b.jpg", "bmp"), "/a/b.jpg.bmp");
    // A folder that cannot be written to is reported, not passed over.
    QStringList reported;
    win.panel()->reportError = [&](const QString &text) { reported << text; };
    chosen = win.home.filePath("no/such/folder/x.png");
    contextMenu(win.panel(), [&](QMenu *menu) { menu->actions().at(1)->trigger(); });
    EXPECT_EQ(reported, QStringList({"The picture could not be saved to the file \"" + chosen + "\"."}));

    win.w->interpreter().updateSettings([&](ProgramSettings &s) { s.language = 1; });
    QStringList russian;
    contextMenu(win.panel(), [&](QMenu *menu) {
        russian = captions(menu);
        keepShot(menu, QStringLiteral("context_menu_ru"));
        menu->actions().at(0)->trigger();
    });
    EXPECT_EQ(russian, QStringList({"Копировать рисунок", "Сохранить рисунок как…"}));
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              win.canvas().composed());
}

// ---- Clicks on pictograms and handler areas -------------------------------

namespace {

const QByteArray kTrafficLights =
    "SetCoordinateSystem(0,0,400,250,2,2,2)\n"
    "Specifications = '{\"name\":\"traffic "
    "light\",\"statuses\":[{\"status_name\":\"Red\",\"picture\":\"traffic_light_red.bmp\"},"
    "{\"status_name\":\"Yellow\",\"picture\":\"traffic_light_yellow.bmp\"},{\"status_name\":\"Green\","
    "\"picture\":\"traffic_light_green.bmp\"}]}'\n"
    "light1 = 1\n"
    "light2 = 3\n"
    "Pictograms(light1, 100, 100, Specifications)\n"
    "Pictograms(light2, 250, 100, Specifications, ROT90)\n";

// The bundled pictures in the window's program folder.
void copyPictures(const QTemporaryDir &home)
{
    QDir(home.path()).mkpath("pictures");
    const QDir bundled(QStringLiteral(TESMORA_TEST_DATA "/../resources/pictures"));
    for (const QString &name : bundled.entryList({"*.bmp"}))
        QFile::copy(bundled.filePath(name), home.filePath("pictures/" + name));
}

// The display pixel of a user point of the canvas.
QPoint displayOf(const Canvas &c, double x, double y)
{
    return QPoint(static_cast<int>(std::lround((x - c.cs.x1) * c.cs.kx * c.DisplayScale)),
                  static_cast<int>(std::lround((c.cs.y2 - y) * c.cs.ky * c.DisplayScale)));
}

void moveTo(QWidget *w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

// Press, release, double-click press and release, as the platform delivers a double click.
void doubleClick(QWidget *w, QPoint at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

QString statusPanel(TForm_Interpretator *w, int panel)
{
    const QList<QLabel *> labels =
        w->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    return panel < labels.size() ? labels.at(panel)->text() : QString("(no panel)");
}

} // namespace

TEST(CanvasClicks, PictogramMenuChoosesAStatusAndRedraws)
{
    Window win(kTrafficLights);
    copyPictures(win.home);
    win.start();
    ASSERT_TRUE(win.errors.isEmpty()) << win.errors.join("").toStdString();
    ASSERT_EQ(win.canvas().areas.count(), 2);
    Interpreter &in = win.w->interpreter();
    CanvasPanel *panel = win.panel();
    const QPoint first = displayOf(win.canvas(), 110, 130);
    // The pointing hand over a pictogram, the arrow elsewhere; the read-out in panel 5.
    moveTo(panel, first);
    EXPECT_EQ(panel->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(statusPanel(win.w.get(), 5), "X=110  Y=130");
    keepShot(win.w.get(), QStringLiteral("pictograms_cursor_readout"));
    moveTo(panel, displayOf(win.canvas(), 10, 10));
    EXPECT_EQ(panel->cursor().shape(), Qt::ArrowCursor);
    // A click opens the status menu: three radio items, the first checked.
    moveTo(panel, first);
    QStringList captions;
    QList<bool> checked;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        keepShot(menu, QStringLiteral("pictogram_status_menu"));
        for (QAction *a : menu->actions()) {
            captions << a->text();
            checked << (a->isCheckable() && a->isChecked() && a->actionGroup() &&
                        a->actionGroup()->isExclusive());
        }
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, first);
    EXPECT_EQ(captions, QStringList({"Red", "Yellow", "Green"}));
    EXPECT_EQ(checked, QList<bool>({true, false, false}));
    // Yellow: the status variable holds 2 and the yellow picture is drawn.
    EXPECT_EQ(in.GetVariableText("light1"), "2");
    const TArea &area = win.canvas().areas.items.at(0);
    const QImage &layer = win.canvas().layer(2).image;
    EXPECT_EQ(colorOfPixel(layer.pixel(area.Left + 14, area.Top + 35)), 0x00C8FA);
    // The second pictogram shows its own status checked; Escape chooses nothing.
    int checkedIndex = -1;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (int k = 0; k < menu->actions().size(); ++k)
            if (menu->actions().at(k)->isChecked())
                checkedIndex = k;
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    const QPoint second = displayOf(win.canvas(), 280, 110);
    moveTo(panel, second);
    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(checkedIndex, 2);
    EXPECT_EQ(in.GetVariableText("light2"), "3");
}

TEST(CanvasClicks, HandlerRunsWithTheClickAndOnceForADoubleClickWhileRunning)
{
    Window win("SetCoordinateSystem(0,0,400,250,2,2,2)\n"
               "clicks = 0\n"
               "Define_Mouse_Click_Handler(Array4(100,50,300,200), 'Clicked')\n"
               "n = 0\n"
               "repeat\n"
               "  Sleep(0.01)\n"
               "  n = n + 1\n"
               "  breakif clicks > 0 OR n > 300\n"
               "stop\n"
               "function Clicked()\n"
               "  clicks = clicks + 1\n"
               "  return\n");
    Interpreter &in = win.w->interpreter();
    CanvasPanel *panel = win.panel();
    // A double click while the script runs, once its area is shown: the handler
    // runs once, between lines.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // The area is defined and the panel shows the layers.
        if (win.canvas().areas.count() == 0 || win.canvas().layer(2).display.isEmpty() ||
            win.canvas().DisplayScale <= 0)
            return;
        poll.stop();
        const QPoint at = displayOf(win.canvas(), 150, 100);
        moveTo(panel, at);
        doubleClick(panel, at);
    });
    poll.start();
    win.start();
    ASSERT_TRUE(win.errors.isEmpty()) << win.errors.join("").toStdString();
    EXPECT_EQ(in.GetVariableText("clicks"), "1");
    EXPECT_NE(in.GetVariableText("n"), "301");
    // After the run the area still works: a right click runs it with button 2,
    // and the panel's own context menu stays away.
    const QPoint at = displayOf(win.canvas(), 200, 60);
    moveTo(panel, at);
    QTest::mouseClick(panel, Qt::RightButton, Qt::NoModifier, at);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, panel->mapToGlobal(at));
    EXPECT_TRUE(QApplication::sendEvent(panel, &menuEvent) || QApplication::activePopupWidget() == nullptr);
    EXPECT_EQ(in.GetVariableText("clicks"), "2");
    const int n = in.arrays().FindArrayAtLevel("MouseCoordinates", 0);
    ASSERT_GT(n, 0);
    EXPECT_EQ(cellNumber(in.arrays().at(n), 0), 200);
    EXPECT_EQ(cellNumber(in.arrays().at(n), 1), 60);
    EXPECT_EQ(cellNumber(in.arrays().at(n), 2), 2);
    EXPECT_EQ(in.runState(), rn_Stopped);
}

namespace {

// Visible and enabled state of every toolbar action, for comparing.
QString toolbarState(TForm_Interpretator *w)
{
    QStringList out;
    for (int tag : {301, 303, 316, 305, 307, 330, 309, 311, 313, 318, 292, 321, 323, 290, 333, 325, 337}) {
        QAction *a = w->action(tag);
        out << QStringLiteral("%1:%2%3")
                   .arg(tag)
                   .arg(a->isVisible() ? "v" : "-")
                   .arg(a->isEnabled() ? "e" : "-");
    }
    return out.join(' ');
}

} // namespace

TEST(CanvasClicks, AHandlerClickedAfterTheRunLeavesTheStoppedToolbarAndKeys)
{
    // The bundled example of pictograms and clicks, run to its end.
    QFile example(
        QStringLiteral(TESMORA_TEST_DATA "/../resources/Scripts/examples/19_Pictograms_and_clicks.txt"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    Window win(example.readAll());
    copyPictures(win.home);
    win.w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(win.w.get()));
    win.start();
    ASSERT_TRUE(win.errors.isEmpty()) << win.errors.join("").toStdString();
    Interpreter &in = win.w->interpreter();
    const QString stopped = toolbarState(win.w.get());
    ASSERT_TRUE(win.w->action(Start)->isVisible());
    CanvasPanel *panel = win.panel();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const QPoint at = displayOf(win.canvas(), 290, 120);
        moveTo(panel, at);
        QTest::mouseClick(panel, button, Qt::NoModifier, at);
        QApplication::processEvents();
        EXPECT_EQ(toolbarState(win.w.get()), stopped) << button;
        EXPECT_EQ(in.runState(), rn_Stopped);
    }
    EXPECT_TRUE(win.errors.isEmpty()) << win.errors.join("").toStdString();
    EXPECT_EQ(in.GetVariableText("clicks"), "2");
    // The keys work again: F10 runs the script from its start.
    QTest::keyClick(win.w.get(), Qt::Key_F10);
    QApplication::processEvents();
    EXPECT_EQ(in.GetVariableText("clicks"), "0");
    EXPECT_EQ(toolbarState(win.w.get()), stopped);
}
