// The canvas, SetCoordinateSystem and the drawing functions, checked through
// the pixels of the layers that short scripts leave behind.
#include "canvas_run.h"
#include "core/message_catalogue.h"
#include "graphics/coordinate_functions.h"
#include "library/builtin_families.h"
#include "library/function_tables.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <queue>

using namespace tesmora;
using namespace tesmora::test;

namespace {

const auto *const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

constexpr std::int64_t kWhite = 0xFFFFFF;
constexpr std::int64_t kSilver = 0xC0C0C0;
constexpr std::int64_t kBlack = 0;
constexpr std::int64_t kRed = 0x2040FF;
constexpr std::int64_t kBlue = 0xFF0000;
constexpr std::int64_t kLime = 0x00FF00;
constexpr std::int64_t kAqua = 0xFFFF00;
constexpr std::int64_t kYellow = 0x00FFFF;

QString message(int id, const MessageArgs &args, int line)
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine %1.").arg(line);
}

// Silver pixels of a column of layer 2 away from the grid rows (every 25
// pixels) and the labels at the bottom.
int gridColumnCount(const CanvasRun &r, int x)
{
    int n = 0;
    for (int y = 0; y < 230; ++y)
        n += y % 25 != 0 && r.pixel(2, x, y) == kSilver ? 1 : 0;
    return n;
}

} // namespace

TEST(GraphicsExecutor, EmptyTextArgumentKeepsTheArgumentsAfterIt)
{
    auto r = drawn({"TextPrint(10,10,'',12,clRed,2)"});
    EXPECT_EQ(r->error(), "");
    EXPECT_EQ(r->state(2).fontColor, kRed);
    EXPECT_EQ(r->state(2).fontSize, 12);
    EXPECT_EQ(r->state(1).fontColor, kBlack);
    EXPECT_EQ(r->state(1).fontSize, (400 + 250) / 140);
    auto shown = drawn({"TextPrint(100,100,'ab',14,clRed,2)"});
    EXPECT_GT(shown->count(2, kRed), 0);
    EXPECT_EQ(shown->inked(1), 0);
}

TEST(GraphicsExecutor, NamesSynonymsLayerRuleAndFaults)
{
    auto r = drawn({"PixelWrite(5,5,clLime,0)", "pixelwrite(6,6,clLime,3)", "gra_readpixel(7,7,1)",
                    "a = Gra_ReadPixel(5,5,2)", "b = PixelRead(6,6,0)", "c = PixelRead(5,5)"});
    EXPECT_EQ(r->error(), "");
    EXPECT_EQ(r->pixel(2, 5, 249 - 5), kLime);
    EXPECT_EQ(r->pixel(2, 6, 249 - 6), kLime);
    EXPECT_EQ(r->inked(1), 0);
    EXPECT_EQ(r->var("a"), "65280");
    EXPECT_EQ(r->var("b"), "65280");
    EXPECT_EQ(r->var("c"), "16777215");

    // The introductory row has no function: the fixed Russian text in every language.
    auto intro = drawn({"Introduction3()"});
    EXPECT_EQ(intro->error(),
              QStringLiteral("Ошибка интерпретатора. Не найдена функция \"Introduction3\".\r\rLine 1."));

    // Arithmetic faults end the line with their own text.
    EXPECT_TRUE(
        CanvasRun({"SetCoordinateSystem(0,0,10,0)"}).error().startsWith("Floating point division by zero."));
    EXPECT_TRUE(
        drawn({"PixelWrite(1E12,0,clRed)"})->error().startsWith("The value 1000000000000 is too large"));
}

TEST(SetCoordinateSystem, FitsTheLayersToThePanelInEveryMode)
{
    CanvasRun square({"SetCoordinateSystem(0,0,10,10)"}, QSize(600, 400));
    EXPECT_EQ(square.error(), "");
    EXPECT_TRUE(square.panel.shown());
    EXPECT_EQ(square.image(1).size(), QSize(400, 400));
    EXPECT_EQ(square.image(2).size(), QSize(400, 400));
    EXPECT_DOUBLE_EQ(square.canvas.cs.kx, 40);
    EXPECT_DOUBLE_EQ(square.canvas.cs.ky, 40);
    EXPECT_EQ(square.canvas.layer(2).display, QSize(400, 400));
    EXPECT_DOUBLE_EQ(square.canvas.DisplayScale, 1);

    // Mode 1 scales a bitmap of the ranges' size into the panel.
    CanvasRun scaled({"SetCoordinateSystem(0,0,100,50,0,1,1)"}, QSize(600, 400));
    EXPECT_EQ(scaled.image(1).size(), QSize(100, 50));
    EXPECT_EQ(scaled.canvas.layer(1).display, QSize(600, 300));
    EXPECT_DOUBLE_EQ(scaled.canvas.DisplayScale, 6);

    // Mode 3: widened ranges, the bitmap of the ratio; seven parameters keep 1.414.
    CanvasRun ratio({"SetCoordinateSystem(0,0,100,100,0,1,3,1.8)"}, QSize(900, 400));
    EXPECT_EQ(ratio.image(1).size(), QSize(720, 400));
    EXPECT_DOUBLE_EQ(ratio.canvas.cs.x1, -10);
    EXPECT_DOUBLE_EQ(ratio.canvas.cs.y2, 110);
    CanvasRun seven({"SetCoordinateSystem(0,0,100,100,0,1,3)"}, QSize(900, 400));
    EXPECT_DOUBLE_EQ(seven.canvas.cs.Ratio, 1.414);
    EXPECT_EQ(seven.image(1).size(), QSize(565, 400));

    // Messages 175 and 176 end the call; what was set before stays.
    CanvasRun small({"SetCoordinateSystem(0,0,400,250)", "SetCoordinateSystem(0,0,40,40,0,1,2)"});
    EXPECT_EQ(small.error(), message(175, {}, 1));
    EXPECT_DOUBLE_EQ(small.canvas.cs.x2, 40);
    EXPECT_EQ(small.image(1).size(), QSize(40, 40));
    EXPECT_EQ(small.image(2).size(), QSize(900, 562));
    CanvasRun mode4({"SetCoordinateSystem(0,0,100,100,0,1,4)"});
    EXPECT_EQ(mode4.error(), message(176, {4}, 0));
    EXPECT_TRUE(mode4.image(1).isNull());
}

TEST(SetCoordinateSystem, ResetsStateAndForgetsAreas)
{
    auto r = drawn({"SetPenParameters(4,clRed,0,2)", "SetBrushParameters(clBlue,1,2)",
                    "TextPrint(1,1,'x',30,clRed,2)", "PixelWrite(3,3,clRed)",
                    "SetCoordinateSystem(0,0,400,250,0,1,2)"});
    r->canvas.areas.items.append(TArea{});
    r->run.in.setScriptLines(QStringList{"SetCoordinateSystem(0,0,400,250,0,1,2)"});
    r->run.in.PrepareScript();
    r->run.start();
    EXPECT_EQ(r->canvas.areas.count(), 0);
    const LayerState &s = r->state(2);
    EXPECT_EQ(s.penColor, kBlack);
    EXPECT_EQ(s.penWidth, 1);
    EXPECT_EQ(s.brushColor, kWhite);
    EXPECT_TRUE(s.brushSolid);
    EXPECT_EQ(s.fontSize, (400 + 250) / 140);
    EXPECT_EQ(s.fontColor, kBlack);
    EXPECT_EQ(r->inked(1) + r->inked(2), 0);
}

TEST(SetCoordinateSystem, GridStepsAndLabels)
{
    EXPECT_DOUBLE_EQ(GridStep(100, 20), 2.5);
    EXPECT_DOUBLE_EQ(GridStep(100, 0.3), 0.05);
    EXPECT_DOUBLE_EQ(GridStep(99, 20), 0);
    EXPECT_DOUBLE_EQ(GridStep(500, 10), 1);
    EXPECT_DOUBLE_EQ(GridStep(500, 400), 50);
    EXPECT_DOUBLE_EQ(GridStep(500, 100000), 10000);
    EXPECT_DOUBLE_EQ(GridStep(500, 0.001), 0.0001);
    EXPECT_DOUBLE_EQ(GridStep(500, 0.0009), 0);
    EXPECT_DOUBLE_EQ(GridStep(500, 100001), 0);
    EXPECT_EQ(AxisLabelText(-7.5), "-7.5");
    EXPECT_EQ(AxisLabelText(250), "250");
    EXPECT_EQ(AxisLabelText(0.00005), "0.00005");
    EXPECT_EQ(AxisLabelText(0.000005), "5E-006");
    EXPECT_EQ(AxisLabelText(1234567), "1234567");
    EXPECT_EQ(AxisLabelText(12500000), "1.25E+007");
}

TEST(SetCoordinateSystem, GridOnTheChosenLayerStopsAtTheFreeWidth)
{
    CanvasRun wide({"SetCoordinateSystem(0,0,400,250,2,2,2)"});
    EXPECT_EQ(wide.image(2).size(), QSize(400, 250));
    EXPECT_DOUBLE_EQ(wide.canvas.cs.stepx, 50);
    EXPECT_DOUBLE_EQ(wide.canvas.cs.stepy, 25);
    EXPECT_EQ(wide.inked(1), 0);
    EXPECT_GT(wide.count(2, kSilver), 0);
    // A dash-dot column beside a plain one; the y axis column is solid.
    EXPECT_GT(gridColumnCount(wide, 100), 50);
    EXPECT_EQ(gridColumnCount(wide, 110), 0);
    EXPECT_EQ(wide.pixel(2, 0, 100), kSilver);
    EXPECT_EQ(wide.state(2).penColor, kBlack);
    EXPECT_EQ(wide.state(2).penStyle, PenStyle::Solid);

    // Fitted free width 200 on a 400-pixel bitmap: the columns end with the
    // first one past 200.
    CanvasRun narrow({"SetCoordinateSystem(0,0,400,250,2,2,2)"}, QSize(200, 600));
    EXPECT_EQ(narrow.canvas.cs.freeWidth, 200);
    EXPECT_GT(gridColumnCount(narrow, 250), 50);
    EXPECT_EQ(gridColumnCount(narrow, 300), 0);
    EXPECT_EQ(gridColumnCount(narrow, 350), 0);
}

TEST(SetCoordinateSystem, AxesWithTicksAndArrowHeads)
{
    CanvasRun r({"SetCoordinateSystem(-10,-10,10,10,1)"}, QSize(600, 600));
    EXPECT_EQ(r.error(), "");
    EXPECT_DOUBLE_EQ(r.canvas.cs.stepx, 2.5);
    EXPECT_EQ(r.inked(2), 0);
    // The y axis and the x axis cross at (300, 300); ticks of t = 8 pixels.
    EXPECT_EQ(r.pixel(1, 300, 100), kSilver);
    EXPECT_EQ(r.pixel(1, 100, 300), kSilver);
    EXPECT_EQ(r.pixel(1, 375, 292), kSilver);
    EXPECT_EQ(r.pixel(1, 375, 308), kWhite); // the end point of a line stays
    // The arrow heads: (292, 16) -> (300, 4) -> (308, 16); (584, 292) -> (599, 300) -> ...
    EXPECT_EQ(r.pixel(1, 292, 16), kSilver);
    EXPECT_EQ(r.pixel(1, 300, 4), kSilver);
    EXPECT_EQ(r.pixel(1, 584, 292), kSilver);
    // Labels in silver beside the ticks, none at the ends of the x range.
    EXPECT_GT(r.count(1, kSilver), 2 * 600 + 100);
}

TEST(DrawingFunctions, FiguresCoverTheirCornersAndUseTheBrush)
{
    auto r = drawn({"SetBrushParameters(clAqua)", "FillRect(100,50,300,200)"});
    EXPECT_EQ(r->pixel(1, 100, 50), kBlack);
    EXPECT_EQ(r->pixel(1, 299, 199), kBlack);
    EXPECT_EQ(r->pixel(1, 300, 200), kWhite);
    EXPECT_EQ(r->pixel(1, 200, 100), kAqua);

    auto ring = drawn({"SetBrushParameters(clRed,1)", "Circle(200,125,10)"});
    EXPECT_EQ(ring->count(1, kRed), 0);
    EXPECT_EQ(ring->pixel(1, 200, 125), kWhite);
    EXPECT_EQ(ring->pixel(1, 190, 125), kBlack);
    EXPECT_EQ(ring->pixel(1, 210, 125), kWhite);

    auto rounded = drawn({"SetBrushParameters(clYellow)", "Rect(10,10,50,40,1,5)"});
    EXPECT_EQ(rounded->pixel(1, 30, 249 - 25), kYellow);
    EXPECT_EQ(rounded->pixel(1, 10, 249 - 25), kBlack); // left side
    EXPECT_EQ(rounded->pixel(1, 10, 249 - 40), kWhite); // the corner is rounded off
    auto outline = drawn({"SetBrushParameters(clYellow,1)", "Rect(10,10,50,40,1,5)"});
    EXPECT_EQ(outline->count(1, kYellow), 0);
    EXPECT_GT(outline->count(1, kBlack), 100);

    auto fill =
        drawn({"SetBrushParameters(clLime,0,2)", "SetBrushParameters(clBlue)", "FloodFill(10,10,clRed)"});
    EXPECT_EQ(fill->count(1, kBlue), 400 * 250);
    EXPECT_EQ(fill->inked(2), 0);
}

TEST(DrawingFunctions, LinesPensAndPenPositions)
{
    auto r = drawn({"MoveTo(100,100)", "MoveTo(0,0,2)", "LineTo(150,100)"});
    EXPECT_EQ(r->pixel(1, 100, 150), kBlack);
    EXPECT_EQ(r->pixel(1, 149, 150), kBlack);
    EXPECT_EQ(r->pixel(1, 150, 150), kWhite);
    EXPECT_EQ(r->inked(2), 0);
    EXPECT_EQ(r->state(1).penPos, QPoint(150, 150));

    auto wide = drawn({"SetPenParameters(3,clBlue,1)", "MoveTo(50,100)", "LineTo(150,100)"});
    for (int x = 60; x < 140; ++x)
        ASSERT_EQ(wide->pixel(1, x, 150), kBlue) << x;
    EXPECT_EQ(wide->pixel(1, 100, 149), kBlue);
    EXPECT_EQ(wide->pixel(1, 100, 151), kBlue);
    auto dashed = drawn({"SetPenParameters(1,clBlue,1)", "MoveTo(50,100)", "LineTo(150,100)"});
    const int dashes = dashed->count(1, kBlue);
    EXPECT_GT(dashes, 50);
    EXPECT_LT(dashes, 100);
    auto clear = drawn({"SetPenParameters(1,clBlue,4)", "MoveTo(50,100)", "LineTo(150,100)"});
    EXPECT_EQ(clear->inked(1), 0);
}

TEST(DrawingFunctions, PixelsTextAndPoints)
{
    auto px = drawn({"PixelWrite(0,0,clLime)", "a = PixelRead(0,0)", "b = PixelRead(0,0,1,1)",
                     "c = PixelRead(-1,0)", "d = PixelRead(400,0,1,1)"});
    EXPECT_EQ(px->pixel(1, 0, 249), kLime);
    EXPECT_EQ(px->var("a"), "65280");
    EXPECT_EQ(px->var("b"), "85");
    EXPECT_EQ(px->var("c"), "-1");
    EXPECT_EQ(px->var("d"), "0");

    auto text = drawn({"SetBrushParameters(clYellow)", "TextPrint(10,10,'abc',12)"});
    QRect ink;
    QRect cell;
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 400; ++x) {
            const std::int64_t c = text->pixel(1, x, y);
            if (c == kBlack)
                ink |= QRect(x, y, 1, 1);
            else if (c == kYellow)
                cell |= QRect(x, y, 1, 1);
            else
                ASSERT_EQ(c, kWhite) << "no smoothed colours";
        }
    EXPECT_EQ((cell | ink).left(), 10);
    EXPECT_EQ((cell | ink).bottom(), 239);
    EXPECT_GT(ink.width(), 10);
    EXPECT_EQ(text->state(1).fontSize, 12);

    const QStringList points{"array A[3,2]float = ((100,100),(200,60),(300,100))"};
    auto line = drawn(points + QStringList{"Polyline(A)"});
    EXPECT_EQ(line->pixel(1, 100, 150), kBlack);
    EXPECT_EQ(line->pixel(1, 200, 190), kBlack);
    EXPECT_EQ(line->pixel(1, 300, 150), kWhite);
    EXPECT_EQ(line->pixel(1, 295, 145), kWhite);
    auto crosses = drawn(points + QStringList{"Polyline(A,1,5)"});
    EXPECT_EQ(crosses->pixel(1, 295, 145), kBlack);
    EXPECT_EQ(crosses->pixel(1, 97, 153), kBlack);

    auto triangle = drawn(points + QStringList{"SetBrushParameters(clRed)", "Polygon(A,1,10)"});
    EXPECT_EQ(triangle->pixel(1, 200, 170), kRed);
    EXPECT_EQ(triangle->pixel(1, 300, 150), kBlack);

    auto one = drawn({"array A1[4]float = (10,20,30,40)", "SetBrushParameters(clRed,0,2)",
                      "PolyLine1(A1,50,10,2,2)", "array N[2,2]int = ((1,2),(3,4))", "Polyline(N)"});
    EXPECT_EQ(one->error(), "");
    EXPECT_EQ(one->inked(1), 0);
    EXPECT_EQ(one->pixel(2, 50, 240), kBlack); // solid square: brush = pen colour
    EXPECT_EQ(one->pixel(2, 80, 210), kBlack);
    EXPECT_EQ(one->state(2).brushColor, kRed);
}

TEST(DrawingFunctions, PicturesFromThePicturesFolder)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkdir("pictures"));
    QImage png(4, 2, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    png.setPixel(0, 0, qRgb(255, 0, 0));
    png.setPixel(3, 1, qRgb(0, 0, 255));
    ASSERT_TRUE(png.save(home.path() + "/pictures/dots.png"));
    QFile(home.path() + "/pictures/dots.png").copy(home.path() + "/pictures/a.jpeg");

    FixedPanel panel;
    Canvas canvas(&panel);
    CanvasExecutor executor(canvas);
    auto runIn = [&](const QString &line) {
        auto run = std::make_unique<ScriptRun>(QStringList{"SetCoordinateSystem(0,0,400,250,0,1,2)", line},
                                               InterpreterServices{.graphics = &executor});
        run->in.updateSettings([&](ProgramSettings &s) { s.programFolder = home.path() + "/"; });
        run->start();
        return run;
    };
    EXPECT_EQ(runIn("PictureImport('dots.png',10,10,1)")->error(), "");
    EXPECT_EQ(canvas.layer(1).image.pixel(10, 238), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.layer(1).image.pixel(13, 239), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.layer(1).image.pixel(11, 238), qRgb(255, 255, 255));
    EXPECT_EQ(runIn("PictureImport('a.jpeg')")->error(), message(172, {".jpeg"}, 1));
    EXPECT_EQ(runIn("PictureImport('nofile.bmp')")->error(),
              message(170, {home.path() + "/pictures/nofile.bmp"}, 1));
}

TEST(LayerFunctions, CleanAndLayerTransferring)
{
    auto r = drawn({"SetBrushParameters(clRed,0,2)", "FillRect(10,10,100,100,2)",
                    "SetBrushParameters(clBlue)", "FillRect(50,50,200,200)", "Clean(2)"});
    EXPECT_EQ(r->inked(2), 0);
    EXPECT_GT(r->count(1, kBlue), 0);
    EXPECT_EQ(r->state(2).brushColor, kRed);

    auto t =
        drawn({"SetBrushParameters(clRed,0,2)", "FillRect(10,10,100,100,2)", "SetBrushParameters(clBlue)",
               "FillRect(50,50,200,200)", "SetBrushParameters(clLime,1,2)", "LayerTransferring()"});
    EXPECT_EQ(t->inked(2), 0);
    EXPECT_EQ(t->pixel(1, 60, 200), kRed); // layer 2 over layer 1
    EXPECT_EQ(t->pixel(1, 150, 150), kBlue);
    EXPECT_EQ(t->state(2).brushColor, kWhite);
    EXPECT_TRUE(t->state(2).brushSolid);

    auto zero = drawn({"PixelWrite(1,1,clRed,2)", "Clean(0)"});
    EXPECT_EQ(zero->inked(2), 0);
}

namespace {

// The pixels a 4-connected fill reaches, found the plain way.
QImage referenceFill(QImage img, QPoint seed, QRgb fill, bool border, QRgb borderColor)
{
    const QRgb target = img.pixel(seed);
    std::vector<bool> seen(static_cast<size_t>(img.width() * img.height()));
    auto inside = [&](QPoint p) {
        return img.valid(p) && !seen[static_cast<size_t>(p.y() * img.width() + p.x())] &&
               (border ? img.pixel(p) != borderColor : img.pixel(p) == target);
    };
    std::queue<QPoint> q;
    if (border || target != fill)
        q.push(seed);
    while (!q.empty()) {
        const QPoint p = q.front();
        q.pop();
        if (!inside(p))
            continue;
        seen[static_cast<size_t>(p.y() * img.width() + p.x())] = true;
        img.setPixel(p, fill);
        for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
            q.push(p + d);
    }
    return img;
}

} // namespace

TEST(FloodFill, ScanLineFillMatchesAPlainFillOnNoise)
{
    QRandomGenerator random(12);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb red = qRgb(255, 0, 0);
    for (int round = 0; round < 20; ++round) {
        QImage img(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y,
                             random.bounded(100) < 35 ? black : (random.bounded(10) == 0 ? red : white));
        const QPoint seed(random.bounded(64), random.bounded(48));
        QImage surface = img;
        floodFillSurface(surface, seed, qRgb(0, 255, 0));
        EXPECT_EQ(surface, referenceFill(img, seed, qRgb(0, 255, 0), false, 0)) << round;
        QImage bordered = img;
        floodFillBorder(bordered, seed, black, red);
        EXPECT_EQ(bordered, referenceFill(img, seed, red, true, black)) << round;
    }
    // A diagonal is a wall for a 4-connected fill.
    QImage diag(50, 50, QImage::Format_RGB32);
    diag.fill(white);
    for (int i = 0; i < 50; ++i)
        diag.setPixel(i, i, black);
    floodFillSurface(diag, QPoint(40, 5), red);
    int filled = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            filled += diag.pixel(x, y) == red;
    EXPECT_EQ(filled, 50 * 49 / 2);
}

TEST(GraphicsHelp, EveryRowHasTextsInBothLanguagesWithExamplesThatDraw)
{
    static const QRegularExpression expectation(QStringLiteral("^(\\w+) = .*#\\s*(\\w+) = (\\S+)$"));
    const auto rows = functionTable(FunctionTable::Graph);
    for (int row = 0; row <= 18; ++row) {
        const QString name = rows[static_cast<size_t>(row)].name();
        for (int language : {0, 1}) {
            SCOPED_TRACE(QStringLiteral("row %1, language %2").arg(row).arg(language).toStdString());
            const QString help = functionDescription(FunctionTable::Graph, row, language);
            ASSERT_FALSE(help.isEmpty());
            EXPECT_EQ(help.count(QLatin1Char('\n')), help.count(QStringLiteral("\r\n")));
            if (language == 1) {
                EXPECT_NE(help, functionDescription(FunctionTable::Graph, row, 0));
            }
            if (row == 0)
                continue;
            QStringList lines = help.split(QStringLiteral("\r\n"));
            const qsizetype at =
                lines.indexOf(language == 0 ? QStringLiteral("Example:") : QStringLiteral("Пример:"));
            ASSERT_GE(at, 0);
            const QStringList example = lines.mid(at + 1);
            EXPECT_TRUE(example.join('\n').contains(name + QLatin1Char('('))) << name.toStdString();
            // The example runs with the bundled pictures and draws something.
            FixedPanel panel;
            Canvas canvas(&panel);
            CanvasExecutor executor(canvas);
            ScriptRun run(example, {.graphics = &executor});
            run.in.updateSettings([&](ProgramSettings &s) {
                s.programFolder = QStringLiteral(TESMORA_TEST_DATA "/../resources/");
            });
            run.start();
            EXPECT_EQ(run.error(), "") << example.join(" / ").toStdString();
            const QImage shown = canvas.composed();
            EXPECT_FALSE(shown.isNull());
            for (const QString &line : example) {
                const QRegularExpressionMatch m = expectation.match(line);
                if (m.hasMatch() && m.captured(1) == m.captured(2)) {
                    EXPECT_EQ(run.var(m.captured(1)), m.captured(3)) << line.toStdString();
                }
            }
        }
    }
}
