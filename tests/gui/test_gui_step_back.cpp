// Step back in the main window: the toolbar button and Shift+F8 go back
// through the states of a stepped run, Step goes forward through them again.
#include "gui_window.h"
#include "modal_driver.h"

#include "environment/canvas_panel.h"
#include "environment/step_history.h"
#include "environment/variables_view.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>

using namespace tesmora;
using namespace tesmora::test;

namespace {

constexpr int StepBack = 364;

QStringList gridColumn(QTableWidget *grid, int column)
{
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r)
        cells << (grid->item(r, column) ? grid->item(r, column)->text().trimmed() : QString());
    return cells;
}

// What the learner sees: the mark, both grids, the first status panel, and
// the pixels that the script draws.
struct Seen {
    int mark;
    QStringList globals, globalValues, locals, localValues;
    QString status0;
    QRgb red, green;
    bool operator==(const Seen &) const = default;
};

Seen seen(Window &t)
{
    VariablesView *v = t.w->variablesView();
    Canvas &c = t.w->canvasPanel()->canvas();
    auto pixel = [&](int layer, int x, int y) {
        const QImage &img = c.layer(layer).image;
        return img.valid(x, y) ? img.pixel(x, y) : QRgb(0);
    };
    return {t.ed().currentLineMarkLine(),
            gridColumn(v->SG_GlobalVariables, 0),
            gridColumn(v->SG_GlobalVariables, 1),
            gridColumn(v->SG_LocalVariables, 1),
            gridColumn(v->SG_LocalVariables, 2),
            t.w->statusPanels()[0]->text(),
            pixel(1, 10, 239),
            pixel(2, 20, 229)};
}

const QByteArray kScript = "SetCoordinateSystem(0,0,400,250,0,1,2)\n"
                           "array B[3]float=(1,2,3)\n"
                           "PixelWrite(10,10,255)\n"
                           "PixelWrite(20,20,65280,2)\n"
                           "a = Twice(5)\n"
                           "B[1] = a\n"
                           "stop\n"
                           "function Twice(_x)\n"
                           "  _y = _x * 2\n"
                           "  return _y\n";

} // namespace

TEST(StepBack, BackAndForwardThroughMarkVariablesAndCanvas)
{
    Window t(kScript);
    t.showActive();
    EXPECT_TRUE(t.shown(StepBack));
    EXPECT_FALSE(t.enabled(StepBack)) << "nothing to go back to yet";
    EXPECT_EQ(t.act(StepBack)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F8));
    // The button stands right after Step over.
    const QList<QAction *> bar = t.w->findChild<ToolbarStrip *>()->toolBar()->actions();
    ASSERT_GE(bar.indexOf(t.act(StepBack)), 1);
    EXPECT_EQ(bar.at(bar.indexOf(t.act(StepBack)) - 1), t.act(StepOver));

    // Step through to the end, remembering what each state showed.
    QList<Seen> states{seen(t)};
    for (int i = 0; i < 9 && t.in().currentLine() != 6; ++i) {
        t.key(Qt::Key_F8);
        states << seen(t);
    }
    ASSERT_EQ(t.in().currentLine(), 6);
    ASSERT_EQ(states.size(), 9); // 0..4, into Twice (8, 9), back on 4, 5, 6
    EXPECT_EQ(states[3].red, qRgb(255, 0, 0));
    EXPECT_EQ(states[4].green, qRgb(0, 255, 0));
    EXPECT_EQ(states[5].mark, 8);
    EXPECT_TRUE(states[6].locals.contains("_y"));
    EXPECT_TRUE(t.enabled(StepBack));

    // Back all the way, by key and by button: each state exactly as it was.
    for (int i = states.size() - 2; i >= 0; --i) {
        if (i % 2)
            t.key(Qt::Key_F8, Qt::ShiftModifier);
        else
            t.click(StepBack);
        EXPECT_EQ(seen(t), states[i]) << "state " << i;
    }
    EXPECT_FALSE(t.enabled(StepBack));
    EXPECT_EQ(t.var("a"), "");
    EXPECT_EQ(t.in().arrays().count(), 0);

    // Forward again through the same states; the function is not run again
    // until the present is reached.
    for (int i = 1; i < 6; ++i) {
        t.key(Qt::Key_F8);
        EXPECT_EQ(seen(t), states[i]) << "state " << i;
    }
    // Step over from a recorded state goes forward one recorded step too.
    t.act(StepOver)->trigger();
    EXPECT_EQ(seen(t), states[6]);
    t.key(Qt::Key_F8);
    t.key(Qt::Key_F8);
    EXPECT_EQ(seen(t), states[8]);
    EXPECT_EQ(t.var("a"), "10");

    // Back two (into the function again), then Continue runs on from there.
    t.key(Qt::Key_F8, Qt::ShiftModifier);
    t.key(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(seen(t), states[6]);
    EXPECT_EQ(t.var("a"), "");
    t.act(Continue)->trigger();
    EXPECT_EQ(t.var("a"), "10");
    EXPECT_EQ(t.in().currentLine(), 6);

    // Start clears the history; so do Edit and Load.
    t.act(Start)->trigger();
    EXPECT_FALSE(t.enabled(StepBack));
    t.key(Qt::Key_F8);
    EXPECT_TRUE(t.enabled(StepBack));
    t.act(Edit)->trigger();
    EXPECT_FALSE(t.shown(StepBack));
    t.act(Cancel)->trigger();
    EXPECT_TRUE(t.shown(StepBack));
    EXPECT_FALSE(t.enabled(StepBack));
}

TEST(StepBack, CaptionAndHintInBothLanguages)
{
    Window t("a = 1\nstop\n");
    t.w->setLanguage(0);
    EXPECT_EQ(t.act(StepBack)->text(), "Step back");
    EXPECT_TRUE(t.act(StepBack)->toolTip().contains("not undone"));
    t.w->setLanguage(1);
    EXPECT_EQ(t.act(StepBack)->text(), QString::fromUtf8("Шаг назад"));
    EXPECT_TRUE(t.act(StepBack)->toolTip().contains(QString::fromUtf8("не отменяются")));
}

TEST(StepBack, HistoryStaysWithinItsBound)
{
    // The lines draw on a 900 x 600 canvas, on both layers; 2,000 steps keep at most the
    // last 1,000 and stay far inside 256 MiB.
    Window t("SetCoordinateSystem(0,0,900,600,0,1,2)\n"
             "i = 0\n"
             "REPEAT\n"
             "  i = i + 1\n"
             "  PixelWrite(i / 3, i / 5, i * 97, 1)\n"
             "  PixelWrite(i / 4, i / 6, i * 89, 2)\n"
             "stop\n");
    StepHistory &h = t.w->stepHistory();
    QElapsedTimer timer;
    timer.start();
    std::int64_t largest = 0;
    for (int i = 0; i < 2000; ++i) {
        t.act(Step)->trigger();
        largest = std::max(largest, h.accountedBytes());
    }
    EXPECT_EQ(h.backCount(), 1000);
    EXPECT_LE(largest, std::int64_t(256) * 1024 * 1024);
    EXPECT_GT(largest, 0);
    // Back 1,000 steps: the oldest kept state, then nothing more.
    const int iNow = t.var("i").toInt();
    for (int i = 0; i < 1000; ++i)
        t.act(StepBack)->trigger();
    EXPECT_FALSE(t.enabled(StepBack));
    EXPECT_LT(t.var("i").toInt(), iNow);
    RecordProperty("milliseconds", static_cast<int>(timer.elapsed()));
}

TEST(StepBack, ByteBoundDropsTheOldestSteps)
{
    // A tight byte bound: the oldest states go first, the newest are kept.
    Window t("SetCoordinateSystem(0,0,900,600,0,1,2)\n"
             "i = 0\n"
             "REPEAT\n"
             "  i = i + 1\n"
             "  PixelWrite(i / 3, i / 5, i * 97, 1)\n"
             "  PixelWrite(i / 4, i / 6, i * 89, 2)\n"
             "stop\n");
    StepHistory h(t.in(), t.w->canvasPanel()->canvas(), {.maxSteps = 1000, .maxBytes = 64 * 1024});
    QStringList texts;
    for (int i = 0; i < 60; ++i) {
        h.recordBeforeStep(texts);
        t.in().A_StepExecute(RunSender::StepAction);
        EXPECT_LE(h.accountedBytes(), 64 * 1024);
    }
    EXPECT_GT(h.backCount(), 0);
    EXPECT_LT(h.backCount(), 60);
    const QString last = t.var("i");
    const QImage layer1 = t.w->canvasPanel()->canvas().layer(1).image;
    ASSERT_TRUE(h.stepBack(texts));
    ASSERT_TRUE(h.stepForward(texts));
    EXPECT_EQ(t.var("i"), last);
    EXPECT_EQ(t.w->canvasPanel()->canvas().layer(1).image, layer1);
}

TEST(VariablesWidth, GridsShareTheWidthBesideTheCanvas)
{
    // The learner's local panel is 500 px wide (the settings' width).
    Window t("SetCoordinateSystem(0,0,400,250)\na = 1\nstop\n");
    VariablesView *v = t.w->variablesView();
    v->setLocalPanelWidth(500);
    for (const QSize size : {QSize(1190, 707), QSize(1600, 1000), QSize(1024, 700)}) {
        t.w->canvasPanel()->hidePanel();
        t.w->resize(size);
        t.showActive();
        QApplication::processEvents();
        const QList<int> wide = v->Splitter_Var->sizes();
        // Room enough without the canvas: the chosen width is kept.
        EXPECT_EQ(wide[1], 500) << size.width();
        t.act(Start)->trigger();
        QTest::qWait(20);
        const QList<int> narrow = v->Splitter_Var->sizes();
        const int total = narrow[0] + narrow[1];
        ASSERT_LT(total, 500 + v->readableGlobalWidth()) << "the canvas leaves too little room";
        // The global grid stays readable, or at least has two thirds of the width.
        EXPECT_GE(narrow[0], std::min(v->readableGlobalWidth(), total - total / 3)) << size.width();
        EXPECT_GE(narrow[1], total / 3 - 1) << size.width();
        EXPECT_EQ(v->localPanelWidth(), 500) << "the setting keeps the learner's width";
        t.shoot(QStringLiteral("variables_%1x%2").arg(size.width()).arg(size.height()));
    }
    // A splitter the learner drags is the new chosen width.
    t.w->canvasPanel()->hidePanel();
    t.w->resize(1600, 1000);
    QApplication::processEvents();
    QSplitterHandle *handle = v->Splitter_Var->handle(1);
    const QPoint from = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QTest::mouseMove(handle, from + QPoint(100, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(100, 0));
    QApplication::processEvents();
    EXPECT_EQ(v->localPanelWidth(), v->Splitter_Var->sizes()[1]);
    EXPECT_LT(v->localPanelWidth(), 500);
}

TEST(VariablesWidth, AutoStartRunToItsEndLeavesTheGlobalGridReadable)
{
    // The bundled first script, run to its end (its name dialog answered),
    // at the design size and at two more screens.
    QFile script(QStringLiteral(TESMORA_SOURCE_DIR "/resources/Scripts/AutoStart.txt"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const QByteArray text = script.readAll();
    QFile picture(QStringLiteral(TESMORA_SOURCE_DIR "/resources/pictures/thermometer.bmp"));
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    const QByteArray thermometer = picture.readAll();
    for (const QSize size : {QSize(1190, 707), QSize(1600, 1000), QSize(1024, 700)}) {
        Window t(text);
        QDir(t.home.path()).mkpath("pictures");
        writeFile(t.home.filePath("pictures/thermometer.bmp"), thermometer);
        t.w->resize(size);
        t.showActive();
        QTest::qWait(20);
        t.shoot(QStringLiteral("autostart_%1x%2_before").arg(size.width()).arg(size.height()));
        whenModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
        t.act(Start)->trigger();
        QTest::qWait(20);
        ASSERT_EQ(t.var("squared"), "3025") << size.width();
        VariablesView *v = t.w->variablesView();
        const QList<int> sizes = v->Splitter_Var->sizes();
        const int total = sizes[0] + sizes[1];
        EXPECT_GE(sizes[0], std::min(v->readableGlobalWidth(), total - total / 3)) << size.width();
        t.shoot(QStringLiteral("autostart_%1x%2").arg(size.width()).arg(size.height()));
    }
}
