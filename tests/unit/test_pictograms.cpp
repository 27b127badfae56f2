// Pictograms, click handlers and the cursor: what clicks on the canvas do,
// driven through the mouse the way the window's panel drives it.
#include "canvas_run.h"
#include "core/message_catalogue.h"
#include "graphics/canvas_mouse.h"
#include "library/builtin_families.h"
#include "library/text_forms.h"

#include <QMap>
#include <functional>

using namespace tesmora;
using namespace tesmora::test;

namespace {

const auto *const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QString msg(int id, const MessageArgs &args, int line)
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine %1.").arg(line);
}

// A host that records status panels and lets a test act inside event processing.
struct ClickHost : ScriptHost {
    QMap<int, QString> panels;
    std::function<void()> onEvents;
    void setStatusPanel(int panel, const QString &text) override { panels[panel] = text; }
    void processEvents() override
    {
        ScriptHost::processEvents();
        if (onEvents)
            onEvents();
    }
};

// The pictogram menu: records what it shows and answers with `answer`.
struct RecordingMenu : PictogramMenuPort {
    QStringList captions;
    int checked = -2;
    int shown = 0;
    int answer = -1;
    int popupPictogramMenu(const QStringList &items, int checkedTag, QPoint) override
    {
        captions = items;
        checked = checkedTag;
        ++shown;
        return answer;
    }
};

// A script on a canvas of its own, with the mouse on its panel.
struct ClickRun {
    FixedPanel panel;
    Canvas canvas{&panel};
    CanvasExecutor executor{canvas};
    ClickHost host;
    Interpreter in{{.host = &host, .graphics = &executor}};
    RecordingMenu menu;
    CanvasMouse mouse{in, canvas, &menu};

    explicit ClickRun(const QStringList &lines, QSize panelSize = QSize(900, 600)) : panel(panelSize)
    {
        in.updateSettings([&](ProgramSettings &s) {
            s.programFolder = QStringLiteral(TESMORA_TEST_DATA "/../resources/");
        });
        in.setScriptLines(lines);
        in.PrepareScript();
        in.updateSettings([&](ProgramSettings &s) { s.workMode = true; });
    }
    QString start()
    {
        in.A_StartExecute(RunSender::StartAction);
        return host.errors.join("|");
    }
    // The display pixel of a user point.
    QPoint display(double x, double y) const
    {
        const CoordinateSystem &cs = canvas.cs;
        return {static_cast<int>(std::nearbyint((x - cs.x1) * cs.kx * canvas.DisplayScale)),
                static_cast<int>(std::nearbyint((cs.y2 - y) * cs.ky * canvas.DisplayScale))};
    }
    void click(double x, double y, CanvasButton b = CanvasButton::Left)
    {
        mouse.ImageUpMouseMove(display(x, y));
        mouse.ImageUpMouseUp(display(x, y), b);
    }
    QString var(const QString &name) const { return in.GetVariableText(name); }
    QString array(const QString &name) const
    {
        const int n = in.arrays().FindArrayAtLevel(name, 0);
        return n == 0 ? QStringLiteral("(none)") : ArrayShortText(in.arrays().at(n));
    }
    std::int64_t pixel(int x, int y) const
    {
        const QImage &img = canvas.layer(2).image;
        return img.valid(x, y) ? colorOfPixel(img.pixel(x, y)) : -1;
    }
};

const QString kSpec = QStringLiteral(
    R"(Specifications = '{"name":"traffic light","statuses":[{"status_name":"Red","picture":"traffic_light_red.bmp"},)"
    R"({"status_name":"Yellow","picture":"traffic_light_yellow.bmp"},{"status_name":"Green","picture":"traffic_light_green.bmp"}]}')");

// The traffic light pictures are 30 x 72; their lamps' centres lie at x 14
// and y 12, 35 and 58 from the top.
constexpr std::int64_t kRedOn = 0x1E1EE6, kYellowOn = 0x00C8FA, kYellowOff = 0x0A505F;

} // namespace

TEST(PictureTransforms, RotationsAndMirrors)
{
    QImage s(10, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            s.setPixel(x, y, qRgb(x * 20, y * 10, 7));
    const QImage r90 = TransformPicture(s, ROT90);
    ASSERT_EQ(r90.size(), QSize(20, 10));
    // Clockwise: the bottom-left corner comes to the top-left.
    EXPECT_EQ(r90.pixel(0, 0), s.pixel(0, 19));
    EXPECT_EQ(r90.pixel(19, 0), s.pixel(0, 0));
    EXPECT_EQ(r90.pixel(5, 3), s.pixel(3, 14));
    // Each rotation is computed from the source: ROT90 + ROT270 is ROT270.
    EXPECT_EQ(TransformPicture(s, ROT90 + ROT270), TransformPicture(s, ROT270));
    EXPECT_EQ(TransformPicture(s, ROT270).pixel(0, 0), s.pixel(9, 0));
    // HSYMM + VSYMM is ROT180.
    EXPECT_EQ(TransformPicture(s, HSYMM + VSYMM), TransformPicture(s, ROT180));
    EXPECT_EQ(TransformPicture(s, HSYMM).pixel(3, 0), s.pixel(3, 19));
    EXPECT_EQ(TransformPicture(s, VSYMM).pixel(0, 4), s.pixel(9, 4));
    // Rotations come before the mirrors.
    EXPECT_EQ(TransformPicture(s, ROT90 + HSYMM).pixel(0, 0), s.pixel(9, 19));
}

TEST(Pictograms, CatalogueExampleMenuAndChoice)
{
    ClickRun r({"SetCoordinateSystem(0,0,400,250,2,2,2)", kSpec, "traffic_light_status1 = 1",
                "traffic_light_status2 = 3", "Pictograms(traffic_light_status1, 100,100, Specifications)",
                "Pictograms(traffic_light_status2, 250,100, Specifications, ROT90)",
                "Pictograms(traffic_light_status1, 100,100, Specifications)"});
    ASSERT_EQ(r.start(), "");
    // Two pictures, two areas: the repeated line adds none.
    ASSERT_EQ(r.canvas.areas.count(), 2);
    const TArea &first = r.canvas.areas.items.at(0);
    EXPECT_EQ(QRect(first.Left, first.Top, first.Right - first.Left, first.Bottom - first.Top),
              QRect(100, 78, 30, 72));
    EXPECT_EQ(first.var_name_status, "traffic_light_status1");
    EXPECT_EQ(first.var_name_specification, "Specifications");
    const TArea &second = r.canvas.areas.items.at(1);
    EXPECT_EQ(second.Right - second.Left, 72);
    EXPECT_EQ(second.transform, 1);
    EXPECT_EQ(r.pixel(114, 78 + 12), kRedOn);
    // A click opens the menu of three radio items with the first checked;
    // choosing Yellow stores 2 and draws the yellow picture in place.
    r.menu.answer = 1;
    r.click(110, 130);
    EXPECT_EQ(r.menu.shown, 1);
    EXPECT_EQ(r.menu.captions, QStringList({"Red", "Yellow", "Green"}));
    EXPECT_EQ(r.menu.checked, 0);
    EXPECT_EQ(r.var("traffic_light_status1"), "2");
    EXPECT_EQ(r.pixel(114, 78 + 35), kYellowOn);
    EXPECT_NE(r.pixel(114, 78 + 12), kRedOn);
    EXPECT_EQ(r.canvas.areas.count(), 2);
    // The rotated one shows its third status checked; closing without a choice changes nothing.
    r.menu.answer = -1;
    r.click(280, 110);
    EXPECT_EQ(r.menu.checked, 2);
    EXPECT_EQ(r.var("traffic_light_status2"), "3");
    // Outside every area nothing opens.
    r.click(10, 10);
    EXPECT_EQ(r.menu.shown, 2);
}

TEST(Pictograms, StatusRangeDedupeAndFaults)
{
    const QString line = "Pictograms(s, 100, 100, Specifications)";
    for (int status : {0, 4}) {
        ClickRun r(
            {"SetCoordinateSystem(0,0,400,250,2,2,2)", kSpec, QStringLiteral("s = %1").arg(status), line});
        EXPECT_EQ(r.start(), msg(177, {status, 3}, 3));
        EXPECT_EQ(r.canvas.areas.count(), 0);
    }
    // The same spec variable at another position adds an area; names keep 25 characters.
    ClickRun moved({"SetCoordinateSystem(0,0,400,250,2,2,2)", kSpec, "s = 1",
                    "a_status_variable_with_a_long_name = 3", line, "Pictograms(s, 150, 100, Specifications)",
                    "Pictograms(a_status_variable_with_a_long_name, 150, 100, Specifications)"});
    EXPECT_EQ(moved.start(), "");
    ASSERT_EQ(moved.canvas.areas.count(), 2);
    // Both sit at (150, 100) with the same size and spec variable: the first is kept.
    EXPECT_EQ(moved.canvas.areas.items.at(1).var_name_status, "s");
    ClickRun longName({"SetCoordinateSystem(0,0,400,250,2,2,2)", kSpec,
                       "a_status_variable_with_a_long_name = 3",
                       "Pictograms(a_status_variable_with_a_long_name, 150, 100, Specifications)"});
    EXPECT_EQ(longName.start(), "");
    ASSERT_EQ(longName.canvas.areas.count(), 1);
    EXPECT_EQ(longName.canvas.areas.items.at(0).var_name_status, "a_status_variable_with_a_");
    // The description must be a variable; the status an integer text; the
    // pictures .bmp files that exist.
    ClickRun literal({"SetCoordinateSystem(0,0,400,250,2,2,2)", "s = 1",
                      R"(Pictograms(s, 1, 1, '{"statuses":[{"status_name":"a","picture":"x.bmp"}]}'))"});
    EXPECT_TRUE(literal.start().startsWith("Function \"Pictograms\""))
        << literal.host.errors.join("").toStdString();
    ClickRun fraction({"SetCoordinateSystem(0,0,400,250,2,2,2)", kSpec, "s = 1.5", line});
    EXPECT_TRUE(fraction.start().startsWith("'1.5' is not a valid integer value."));
    ClickRun missing(
        {"SetCoordinateSystem(0,0,400,250,2,2,2)", "s = 1",
         R"(p = '{"statuses":[{"status_name":"a","picture":"nofile.bmp"},{"status_name":"b","picture":"x.png"}]}')",
         "Pictograms(s, 1, 1, p)"});
    EXPECT_EQ(missing.start(), msg(170, {missing.in.programFolder() + "pictures/nofile.bmp"}, 3));
    ClickRun png(
        {"SetCoordinateSystem(0,0,400,250,2,2,2)", "s = 2",
         R"(p = '{"statuses":[{"status_name":"a","picture":"nofile.bmp"},{"status_name":"b","picture":"Scripts/AutoStart.txt"}]}')",
         "Pictograms(s, 1, 1, p)"});
    EXPECT_EQ(png.start(), msg(172, {".txt"}, 3));
    ClickRun noPicture({"SetCoordinateSystem(0,0,400,250,2,2,2)", "s = 1",
                        R"(p = '{"statuses":[{"status_name":"a","picture":""}]}')",
                        "Pictograms(s, 1, 1, p)"});
    EXPECT_EQ(noPicture.start(), "");
    EXPECT_EQ(noPicture.canvas.areas.count(), 0);
}

TEST(ClickHandlers, ButtonsOverlapsAndEmptyAreas)
{
    ClickRun r({"SetCoordinateSystem(0,0,400,250,2,2,2)", "trace = ''",
                "Define_Mouse_Click_Handler(Array4(100,50,300,200), 'Clicked')",
                "Define_Mouse_Click_Handler(Array4(250,150,350,220), 'Later')",
                "Define_Mouse_Click_Handler(Array4(50,10,20,40), 'Clicked')", "stop", "function Clicked()",
                "  trace = trace + 'c'", "  return", "function Later()", "  trace = trace + 'L'",
                "  return"});
    ASSERT_EQ(r.start(), "");
    ASSERT_EQ(r.canvas.areas.count(), 3);
    EXPECT_EQ(r.array("MouseCoordinates"), "(none)");
    r.click(120, 60);
    EXPECT_EQ(r.var("trace"), "c");
    EXPECT_EQ(r.array("MouseCoordinates"), "(120,60,1)");
    r.click(200, 100, CanvasButton::Right);
    EXPECT_EQ(r.array("MouseCoordinates"), "(200,100,2)");
    // The later area wins where the two overlap.
    r.click(260, 160, CanvasButton::Middle);
    EXPECT_EQ(r.var("trace"), "ccL");
    EXPECT_EQ(r.array("MouseCoordinates"), "(260,160,3)");
    // With x1 > x2 the area is never hit.
    r.click(30, 20);
    EXPECT_EQ(r.var("trace"), "ccL");
    // The run was over before the clicks and stays over.
    EXPECT_EQ(r.in.runState(), rn_Stopped);
    EXPECT_EQ(r.in.blockDepth(), 0);
    EXPECT_EQ(r.in.currentFunctionLevel(), 0);
    // A handler's error is shown once; the position is restored.
    ClickRun bad({"SetCoordinateSystem(0,0,400,250,2,2,2)",
                  "Define_Mouse_Click_Handler(Array4(0,0,400,250), 'Broken')", "x = 1", "stop",
                  "function Broken()", "  _y = 1 / 0", "  return"});
    ASSERT_EQ(bad.start(), "");
    const int line = bad.in.currentLine();
    bad.click(10, 10);
    ASSERT_EQ(bad.host.errors.size(), 1);
    EXPECT_EQ(bad.host.errors.at(0), "Devision by zero.");
    EXPECT_EQ(bad.in.currentLine(), line);
    EXPECT_EQ(bad.in.blockDepth(), 0);
    EXPECT_EQ(bad.in.currentFunctionLevel(), 0);
    EXPECT_EQ(bad.in.FindVariable("_y"), -1);
    EXPECT_FALSE(bad.in.HandlerRunning());
    // A function that does not exist: message 50 in the box.
    ClickRun none({"SetCoordinateSystem(0,0,400,250,2,2,2)",
                   "Define_Mouse_Click_Handler(Array4(0,0,400,250), 'Nowhere')"});
    ASSERT_EQ(none.start(), "");
    none.click(10, 10);
    EXPECT_EQ(none.host.errors.size(), 1);
}

TEST(ClickHandlers, ClicksDuringARunWaitForTheLineAndRunOnce)
{
    ClickRun r({"SetCoordinateSystem(0,0,400,250,2,2,2)", "clicks = 0", "seen = -1",
                "Define_Mouse_Click_Handler(Array4(0,0,400,250), 'Clicked')", "Sleep(0.02)", "i = 2001",
                "stop", "function Clicked()", "  clicks = clicks + 1", "  return"});
    int injected = 0;
    r.host.onEvents = [&] {
        if (injected > 0 || r.canvas.areas.count() == 0)
            return;
        // A double click arrives while lines are being executed (during the
        // Sleep, or between lines): both wait until the line is done.
        ++injected;
        r.click(10, 10);
        r.click(10, 10);
        r.in.SetVariable("seen", r.var("clicks"), wkFloat);
    };
    ASSERT_EQ(r.start(), "");
    EXPECT_EQ(injected, 1);
    EXPECT_EQ(r.var("seen"), "0");
    EXPECT_EQ(r.var("clicks"), "1");
    // The run went on to its end after the handler.
    EXPECT_EQ(r.var("i"), "2001");
    EXPECT_FALSE(r.in.HandlerRunning());
}

TEST(Cursor, ReadOutPositionsAndDisplayScale)
{
    // A panel half the bitmap's size: DisplayScale 0.5.
    ClickRun r({"SetCoordinateSystem(0,0,400,250,0,1,1)",
                "Define_Mouse_Click_Handler(Array4(100,100,200,200), 'F')", "stop", "function F()",
                "  return"},
               QSize(200, 300));
    ASSERT_EQ(r.start(), "");
    ASSERT_DOUBLE_EQ(r.canvas.DisplayScale, 0.5);
    // Display (75, 50) is bitmap (150, 100): user (150, 150), inside the area.
    EXPECT_TRUE(r.mouse.ImageUpMouseMove(QPoint(75, 50)));
    EXPECT_EQ(r.canvas.cursor.HoverArea, 0);
    EXPECT_EQ(r.host.panels.value(5), "X=150  Y=150");
    EXPECT_FALSE(r.mouse.ImageUpMouseMove(QPoint(10, 10)));
    EXPECT_EQ(r.canvas.cursor.HoverArea, -1);
    EXPECT_EQ(r.host.panels.value(5), "X=20  Y=230");
    // Get_User_Cursor_Pos: the user position; the display pixel, (-1, -1) after leaving.
    TWordStatus v;
    r.in.EvaluateText("Get_User_Cursor_Pos()", v);
    EXPECT_EQ(ArrayShortText(r.in.arrays().at(r.in.FindArray(v.text()))), "(20,230)");
    r.mouse.Image2MouseLeave();
    r.in.EvaluateText("Get_User_Cursor_Pos(1)", v);
    EXPECT_EQ(v.kind, wkArrayName);
    EXPECT_EQ(ArrayShortText(r.in.arrays().at(r.in.FindArray(v.text()))), "(-1,-1)");
    // The precision follows the width of the x range.
    EXPECT_EQ(CanvasMouse::CursorText(1.23456, -0.5, 2), "X=1.235  Y=-0.500");
    EXPECT_EQ(CanvasMouse::CursorText(12.345, 3, 20), "X=12.35  Y=3.00");
    EXPECT_EQ(CanvasMouse::CursorText(123.45, 3, 100), "X=123.5  Y=3.0");
    EXPECT_EQ(CanvasMouse::CursorText(1234.5, 3, 2000), "X=1234  Y=3");
    EXPECT_EQ(CanvasMouse::CursorText(12345.6, 3, 20000), "X=12346  Y=3");
    EXPECT_EQ(CanvasMouse::CursorText(1, 1, 0.2), "");
    EXPECT_EQ(CanvasMouse::CursorText(1, 1, 20001), "");
    // SetCoordinateSystem forgets the areas: a click after it does nothing.
    r.in.EvaluateText("SetCoordinateSystem(0,0,400,250,0,1,1)", v);
    r.click(150, 150);
    EXPECT_EQ(r.canvas.areas.count(), 0);
}

TEST(GraphicsInteractionHelp, ExamplesRunInBothLanguages)
{
    for (int row : {19, 20, 21, 22}) {
        for (int language : {0, 1}) {
            SCOPED_TRACE(QStringLiteral("row %1, language %2").arg(row).arg(language).toStdString());
            const QString help = functionDescription(FunctionTable::Graph, row, language);
            ASSERT_FALSE(help.isEmpty());
            EXPECT_EQ(help.count(QLatin1Char('\n')), help.count(QStringLiteral("\r\n")));
            EXPECT_NE(help, functionDescription(FunctionTable::Graph, row, 1 - language));
            // The lines after "Example:" form a script that runs without an error.
            const QString marker =
                language == 0 ? QStringLiteral("Example:\r\n") : QStringLiteral("Пример:\r\n");
            const qsizetype at = help.indexOf(marker);
            ASSERT_GE(at, 0);
            ClickRun r(help.mid(at + marker.size()).split(QStringLiteral("\r\n")));
            EXPECT_EQ(r.start(), "");
            EXPECT_GT(r.canvas.layer(2).image.width(), 0);
            if (row == 20) {
                EXPECT_EQ(r.canvas.areas.count(), 2);
            }
            if (row == 22) {
                r.click(150, 100);
                EXPECT_EQ(r.var("clicks"), "1");
            }
        }
    }
}
