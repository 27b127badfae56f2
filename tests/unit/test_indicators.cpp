// Gra_Indicator: the geometry of each kind read back from layer 2's pixels,
// the colour and number rules, and hostile description texts.
#include "canvas_run.h"
#include "core/message_catalogue.h"

#include <QFile>
#include <cmath>

using namespace tesmora;
using namespace tesmora::test;

namespace {

const auto *const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

constexpr std::int64_t kRed = 0x2040FF, kOrange = 0x30B0FF, kGreen = 0x008000, kBlue = 0xFF0000;
constexpr std::int64_t kWhite = 0xFFFFFF, kFace = 0xF0CAA6, kSilver = 0xC0C0C0, kAqua = 0xFFFF00;

QString msg(int id, const MessageArgs &args, int line)
{
    return formatMessage(catalogueText(id, 0), args) + QStringLiteral("\r\rLine %1.").arg(line);
}

// The catalogue's sample dial with its five ranges.
const QString kDial = QStringLiteral(
    R"('{"type":"arrow_indicator","name":"Outdoor","min":-20,"max":40,"r":30,"ranges":[)"
    R"({"color":"red","min":-20,"max":-10},{"color":"orange","min":-10,"max":0},{"color":"green","min":0,"max":25},)"
    R"({"color":"orange","min":25,"max":35},{"color":"red","min":35,"max":40}]}')");

// The dial point at share t of the range and radius rho around the anchor pixel.
QPoint dialPoint(QPoint anchor, double t, double rho)
{
    return {anchor.x() - static_cast<int>(std::nearbyint(std::cos(t * M_PI) * rho)),
            anchor.y() - static_cast<int>(std::nearbyint(std::sin(t * M_PI) * rho))};
}

std::int64_t at(const CanvasRun &r, QPoint p)
{
    return r.pixel(2, p.x(), p.y());
}

QString picturesFolder()
{
    return QStringLiteral(TESMORA_TEST_DATA "/../resources/pictures/");
}

} // namespace

TEST(Indicators, DialSectorsFaceAndNeedle)
{
    // One unit per pixel: user (200, 100) is pixel (200, 150); R = 30.
    const QPoint anchor(200, 150);
    for (double value : {18.0, -20.0, 100.0, 10.0}) {
        SCOPED_TRACE(value);
        auto r = drawn({"spec = " + kDial, QStringLiteral("Gra_Indicator(%1, 200, 100, spec)").arg(value)});
        ASSERT_EQ(r->error(), "");
        const double t = std::min(1.0, (value + 20) / 60);
        // The needle's tip is drawn with the pen; the face elsewhere is not;
        // the hub is silver.
        EXPECT_EQ(at(*r, dialPoint(anchor, t, 30)), 0);
        EXPECT_EQ(at(*r, dialPoint(anchor, 1 - t + (t == 0.5 ? 0.2 : 0), 15)), kFace);
        EXPECT_EQ(at(*r, anchor), kSilver);
        // Sectors show in the ring between 0.8 R and R.
        EXPECT_EQ(at(*r, dialPoint(anchor, 0.05, 27)), kRed);
        EXPECT_EQ(at(*r, dialPoint(anchor, 0.25, 27)), kOrange);
        EXPECT_EQ(at(*r, dialPoint(anchor, 0.7, 27)), kGreen);
        EXPECT_EQ(at(*r, dialPoint(anchor, 0.97, 27)), kRed);
        // The face goes on below the centre line; the pen width is left at 1
        // and the brush is restored.
        EXPECT_EQ(at(*r, QPoint(200 + 20, 153)), kFace);
        EXPECT_EQ(r->state(2).penWidth, 1);
        EXPECT_EQ(r->state(2).brushColor, kWhite);
    }
}

TEST(Indicators, DialFaults)
{
    // A range bound outside the dial: message 182; earlier sectors stay and
    // the brush keeps the last sector's colour.
    auto out = drawn({R"(spec = '{"type":"arrow_indicator","name":"d","min":-20,"max":40,"r":30,"ranges":[)"
                      R"({"color":"green","min":0,"max":10},{"color":"red","min":-30,"max":0}]}')",
                      "Gra_Indicator(5, 200, 100, spec)"});
    EXPECT_EQ(out->error(), msg(182, {-30.0, -20.0, 40.0}, 2));
    EXPECT_EQ(at(*out, dialPoint(QPoint(200, 150), 0.4, 27)), kGreen);
    EXPECT_EQ(out->state(2).brushColor, kGreen);
    // min = max: a run-time error of the line, no drawing loop.
    auto same = drawn(
        {R"(Gra_Indicator(5, 200, 100, '{"type":"arrow_indicator","name":"d","min":5,"max":5,"r":30}'))"});
    EXPECT_FALSE(same->error().isEmpty());
    EXPECT_TRUE(same->error().endsWith("Line 1."));
    // The dial's numbers are read with ".": a text is message 179; "r" must be whole.
    auto text = drawn(
        {R"(Gra_Indicator(5, 200, 100, '{"type":"arrow_indicator","name":"d","min":"abc","max":5,"r":30}'))"});
    EXPECT_EQ(text->error(), msg(179, {"abc", "min"}, 1));
    auto half = drawn(
        {R"(Gra_Indicator(5, 200, 100, '{"type":"arrow_indicator","name":"d","min":0,"max":5,"r":2.5}'))"});
    EXPECT_TRUE(half->error().startsWith("'2.5' is not a valid integer value."))
        << half->error().toStdString();
}

TEST(Indicators, BarsFillTheirShareInsideTheFrame)
{
    // The bar of the edge case: x1 1, y1 1, x2 20, y2 700, width 5, range -20..40.
    const QString spec = R"('{"type":"rect_vert","name":"b","rect_color":"Blue","freespace_color":"white",)"
                         R"("indicator_color":"RED","rect":{"x1":1,"y1":1,"x2":20,"y2":700,"width":5},)"
                         R"("ranges":{"min":-20,"max":40}}')";
    CanvasRun r({"SetCoordinateSystem(0,0,400,800,0,1,2)", "Gra_Indicator(10, 0, 0, " + spec + ")"});
    ASSERT_EQ(r.error(), "");
    // Inner bar: columns 6..14, rows 105..793; half of 689 rows rounds to 344.
    EXPECT_EQ(r.pixel(2, 10, 793), kRed);
    EXPECT_EQ(r.pixel(2, 10, 450), kRed);
    EXPECT_EQ(r.pixel(2, 10, 449), kWhite);
    EXPECT_EQ(r.pixel(2, 14, 793), kRed);
    EXPECT_EQ(r.pixel(2, 15, 793), kBlue);
    EXPECT_EQ(r.pixel(2, 3, 600), kBlue);
    EXPECT_EQ(r.pixel(2, 10, 797), kBlue);
    EXPECT_EQ(r.pixel(2, 10, 102), kBlue);
    // Values beyond the range are limited to it.
    CanvasRun full({"SetCoordinateSystem(0,0,400,800,0,1,2)", "Gra_Indicator(1000, 0, 0, " + spec + ")"});
    EXPECT_EQ(full.pixel(2, 10, 105), kRed);
    EXPECT_EQ(full.pixel(2, 10, 104), kBlue);

    // The horizontal bar grows to the right from x1.
    auto h = drawn(
        {R"(Gra_Indicator(75, 100, 100, '{"type":"rect_horiz","name":"h","rect_color":"black",)"
         R"("freespace_color":"nosuchcolour","indicator_color":"lime","rect":{"x1":0,"y1":0,"x2":104,"y2":20,"width":2},)"
         R"("ranges":{"min":0,"max":100}}'))"});
    ASSERT_EQ(h->error(), "");
    // Inner columns 102..201: 75 of 100 filled; the unknown free-space colour is black.
    EXPECT_EQ(h->pixel(2, 102, 140), 0x00FF00);
    EXPECT_EQ(h->pixel(2, 176, 140), 0x00FF00);
    EXPECT_EQ(h->pixel(2, 177, 140), 0x010101 - 0x010101);
    // The bounds of the bar kinds are numbers in the system form.
    auto bad = drawn(
        {R"(Gra_Indicator(5, 0, 0, '{"type":"rect_vert","name":"b","rect_color":"black","freespace_color":"white",)"
         R"("indicator_color":"red","ranges":{"min":"low","max":40}}'))"});
    EXPECT_TRUE(bad->error().startsWith("'low' is not a valid floating point value."))
        << bad->error().toStdString();
}

TEST(Indicators, ThermometerCopiesItsPictureAndClearsTheColumn)
{
    const QString picture = picturesFolder() + "thermometer.bmp";
    ASSERT_TRUE(QFile::exists(picture));
    const QString spec =
        R"('{"type":"thermometer","name":"t","indicator_color":"red","picture":")" + picture +
        R"(","inner_rect":{"x1":13,"y1":24,"x2":19,"y2":149},"ranges":{"min":-20,"max":40}}')";
    // Anchor user (50, 50): pixel (50, 200), the picture's bottom-left corner.
    auto r = drawn({"Gra_Indicator(10, 50, 50, " + spec + ")"});
    ASSERT_EQ(r->error(), "");
    // The column area is columns 63..68, rows 51..175; half of 125 rows rounds to 62.
    EXPECT_EQ(r->pixel(2, 65, 175), kRed);
    EXPECT_EQ(r->pixel(2, 65, 114), kRed);
    EXPECT_EQ(r->pixel(2, 65, 113), kWhite);
    EXPECT_EQ(r->pixel(2, 68, 140), kRed);
    EXPECT_EQ(r->pixel(2, 69, 140), 0x645A5A); // the picture's tube wall
    // The bulb of the picture, below the column.
    EXPECT_EQ(r->pixel(2, 66, 183), 0x1E1EDC);
    // Without a picture only the column is drawn.
    const QString bare = R"('{"type":"thermometer","name":"t","indicator_color":"blue","picture":"",)"
                         R"("inner_rect":{"x1":0,"y1":0,"x2":10,"y2":100},"ranges":{"min":0,"max":100}}')";
    auto b = drawn({"Gra_Indicator(50, 50, 50, " + bare + ")"});
    ASSERT_EQ(b->error(), "");
    EXPECT_EQ(b->inked(2), 10 * 50);
    EXPECT_EQ(b->count(2, kBlue), 10 * 50);
    // A picture that cannot be read ends the call with a run-time error.
    auto missing =
        drawn({R"(Gra_Indicator(5, 50, 50, '{"type":"thermometer","name":"t","indicator_color":"red",)"
               R"("picture":"nosuchfile.bmp","ranges":{"min":0,"max":10}}'))"});
    EXPECT_TRUE(missing->error().startsWith("Cannot open file")) << missing->error().toStdString();
}

TEST(Indicators, PanelColouredByRangeWithStableWidth)
{
    const QString spec =
        R"('{"type":"Panel","name":"p","fontsize":12,"fontname":"DejaVu Sans","format":"0.0",)"
        R"("ranges":[{"color":"aqua","min":-50,"max":0},{"color":"yellow","min":0,"max":30},)"
        R"({"color":"nocolour","min":30,"max":100}]}')";
    auto r = drawn({"SetBrushParameters(clRed,0,2)", "Gra_Indicator(-5, 10, 10, " + spec + ")",
                    "Gra_Indicator(40, 10, 100, " + spec + ")", "Gra_Indicator(500, 10, 200, " + spec + ")"});
    ASSERT_EQ(r->error(), "");
    // Anchors (10, 240), (10, 150), (10, 50) are the panels' bottom-left corners.
    EXPECT_EQ(r->pixel(2, 12, 238), kAqua);
    EXPECT_EQ(r->pixel(2, 12, 148), kWhite); // an unknown range colour is white
    EXPECT_EQ(r->pixel(2, 12, 48), kRed);    // no range holds 500: the brush as it was
    EXPECT_EQ(r->state(2).brushColor, kRed);
    EXPECT_EQ(r->state(2).fontFace, "DejaVu Sans");
    // The panels are as wide as the widest bound ("-50.0"), whatever the value.
    auto rightEdge = [&](int y) {
        int x = 10;
        while (r->pixel(2, x + 1, y) != kWhite && x < 399)
            ++x;
        return x;
    };
    EXPECT_EQ(rightEdge(238), rightEdge(48));
    EXPECT_GT(rightEdge(238), 30);
}

TEST(Indicators, CommonKeysTypesAndColourNames)
{
    // "name" is required even though it is never shown.
    auto noName = drawn({R"(Gra_Indicator(5, 0, 0, '{"type":"panel"}'))"});
    EXPECT_EQ(noName->error(), msg(178, {"name"}, 1));
    // An unknown type draws nothing and keeps the brush.
    auto other = drawn({R"(Gra_Progress_Indicator(5, 0, 0, '{"type":"gauge","name":"x"}'))"});
    EXPECT_EQ(other->error(), "");
    EXPECT_EQ(other->inked(2), 0);
    // Colour names go through the constant list with "cl": any letter case.
    auto colours =
        drawn({R"(Gra_Indicator(50, 10, 10, '{"type":"rect_vert","name":"c","rect_color":"DarkViolet",)"
               R"("freespace_color":"LIGHTBLUE","indicator_color":"yellowgreen",)"
               R"("rect":{"x1":0,"y1":0,"x2":20,"y2":100,"width":2},"ranges":{"min":0,"max":100}}'))"});
    ASSERT_EQ(colours->error(), "");
    // Frame columns 10..11; inner rows 142..237, the lower 48 filled.
    EXPECT_EQ(colours->pixel(2, 20, 237), 0x32CD9A);
    EXPECT_EQ(colours->pixel(2, 20, 190), 0x32CD9A);
    EXPECT_EQ(colours->pixel(2, 20, 189), 0xFFD090);
    EXPECT_EQ(colours->pixel(2, 10, 200), 0xD30094);
}

TEST(Indicators, HostileSpecificationsEndCleanly)
{
    // 10,000 panel ranges; a 1 MB description text with its keys at the end.
    QString ranges;
    for (int i = 0; i < 10000; ++i)
        ranges += QStringLiteral(R"({"color":"aqua","min":%1,"max":%2},)").arg(i).arg(i + 1);
    auto many =
        drawn({R"(Gra_Indicator(9999.5, 10, 10, '{"type":"panel","name":"p","fontsize":8,"fontname":"x",)"
               R"("format":"0","ranges":[)" +
               ranges + "]}')"});
    EXPECT_EQ(many->error(), "");
    EXPECT_EQ(many->pixel(2, 12, 238), kAqua);
    const QString padding(1 << 20, QLatin1Char(' '));
    auto big = drawn({"Gra_Indicator(1, 10, 10, '{" + padding + R"("type":"gauge","name":"x"}'))"});
    EXPECT_EQ(big->error(), "");
    // Unbalanced braces, missing colons, keys at the very end, huge numbers:
    // each ends in a message or a run-time error of the line, or draws what
    // the textual rules find.
    const std::pair<const char *, bool> cases[] = {
        {R"({"type":"rect_vert","name":"b","rect_color":"red","freespace_color":"red","indicator_color":"red","rect":{"x1":1)",
         true},
        {R"({"type":"arrow_indicator","name":"d","min":-1e308,"max":1e308,"r":30,"ranges":[{"color":"red","min":0,"max":1e308}]})",
         true},
        {R"({"type":"arrow_indicator","name":"d","min":"nan","max":1,"r":30})", true},
        {R"({"type":"arrow_indicator","name":"d","min":0,"max":1,"r":99999999999})", true},
        {R"({"type":"thermometer")", true},
        {R"({"type":"panel","name":"p","fontsize":8,"fontname":"x","format":"0","ranges":[{"color":"red","min":0,"max")",
         false},
        {R"({"type" "panel","name")", false},
    };
    for (const auto &[spec, fails] : cases) {
        SCOPED_TRACE(spec);
        auto r = drawn({QStringLiteral("Gra_Indicator(1, 200, 100, '%1')").arg(QLatin1String(spec))});
        EXPECT_EQ(!r->error().isEmpty(), fails) << r->error().toStdString();
    }
}
