// The canvas panel of the main window driven offscreen: shown by
// SetCoordinateSystem, hidden by Load, the layers laid out in the panel, and
// the context menu that copies or saves the picture.
#include "environment/canvas_panel.h"
#include "environment/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tesmora;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

enum { Start = 301, Step = 303, Load = 309 };

// A shown window over a fresh program folder with `script` loaded.
struct Window {
    QTemporaryDir home;
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
        w = std::make_unique<TForm_Interpretator>(QStringList{"test.txt"});
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
    EXPECT_NEAR(win.panel()->width(), std::lround(0.75 * win.w->width()), 8);
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
    // Mode 0: the bitmap fills the fitted panel and is shown at scale 1.
    Window scaled("SetCoordinateSystem(0,0,20,10)\r\nSetBrushParameters(clRed)\r\nFillRect(0,0,10,10)\r\n"
                  "SetBrushParameters(clBlue,0,2)\r\nFillRect(5,5,15,10,2)\r\n");
    scaled.start();
    const Canvas &c0 = scaled.canvas();
    EXPECT_EQ(c0.layer(1).display, c0.layer(1).image.size());
    EXPECT_DOUBLE_EQ(c0.DisplayScale, 1);
    const QImage shown0 = scaled.shown();
    const QImage composed0 = c0.composed();
    for (QPoint p : {QPoint(10, 10), QPoint(c0.cs.kx * 7, c0.cs.ky * 7), QPoint(c0.cs.kx * 12, c0.cs.ky * 2)})
        EXPECT_EQ(shown0.pixel(p), composed0.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(shown0.pixel(QPoint(c0.cs.kx * 7, c0.cs.ky * 7)), qRgb(0xFF, 0x40, 0x20)); // layer 1 red
    EXPECT_EQ(shown0.pixel(QPoint(c0.cs.kx * 7, c0.cs.ky * 2)), qRgb(0, 0, 0xFF));       // layer 2 blue over it

    // Mode 2: the 400 x 250 bitmap unscaled at the top-left corner, the grid on layer 2.
    Window fixed("SetCoordinateSystem(0,0,400,250,2,2,2)\r\nPixelWrite(110,110,clRed)\r\n");
    fixed.start();
    const Canvas &c2 = fixed.canvas();
    EXPECT_EQ(c2.layer(2).display, QSize(400, 250));
    EXPECT_EQ(c2.layer(1).display, QSize(400, 250));
    const QImage shown2 = fixed.shown();
    EXPECT_EQ(shown2.pixel(110, 139), qRgb(0xFF, 0x40, 0x20));
    EXPECT_EQ(shown2.pixel(0, 100), qRgb(0xC0, 0xC0, 0xC0)); // the grid's y axis
    EXPECT_NE(shown2.pixel(420, 100), qRgb(0xFF, 0xFF, 0xFF)); // beyond the bitmap: the panel
    EXPECT_GT(fixed.panel()->width(), 420);
}

TEST(CanvasPanel, ContextMenuCopiesAndSavesThePictureInBothLanguages)
{
    Window win("SetCoordinateSystem(0,0,400,250,0,1,2)\r\nSetBrushParameters(clLime)\r\nFillRect(10,10,100,100)\r\n");
    win.start();
    const QString path = win.home.filePath("saved.png");
    win.panel()->chooseSaveFile = [&](const QString &) { return path; };

    QStringList english;
    contextMenu(win.panel(), [&](QMenu *menu) {
        english = captions(menu);
        menu->actions().at(1)->trigger();
    });
    EXPECT_EQ(english, QStringList({"Copy picture", "Save picture as…"}));
    const QImage saved(path);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), win.canvas().composed());

    win.w->interpreter().Language = 1;
    QStringList russian;
    contextMenu(win.panel(), [&](QMenu *menu) {
        russian = captions(menu);
        menu->actions().at(0)->trigger();
    });
    EXPECT_EQ(russian, QStringList({"Копировать рисунок", "Сохранить рисунок как…"}));
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), win.canvas().composed());
}
