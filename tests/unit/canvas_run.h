// Runs a script on a canvas of its own and reads the layers back, so that
// graphics tests can state what a few lines draw in terms of pixels.
#pragma once

#include "graphics/canvas.h"
#include "graphics/graphics_executor.h"
#include "script_host.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace tesmora::test {

// A script run with the graphics executor and a headless panel.
struct CanvasRun {
    FixedPanel panel;
    Canvas canvas{&panel};
    CanvasExecutor executor{canvas};
    ScriptRun run;

    explicit CanvasRun(const QStringList &lines, QSize panelSize = QSize(900, 600))
        : panel(panelSize), run(lines, {.graphics = &executor})
    {
        run.start();
    }
    QString error() const { return run.error(); }
    QString var(const QString &name) const { return run.var(name); }
    const QImage &image(int layer) const { return canvas.layer(layer).image; }
    const LayerState &state(int layer) const { return canvas.layer(layer).state; }
    // The script colour ($00BBGGRR) of a bitmap pixel; -1 outside.
    std::int64_t pixel(int layer, int x, int y) const
    {
        const QImage &img = image(layer);
        return img.valid(x, y) ? colorOfPixel(img.pixel(x, y)) : -1;
    }
    // How many pixels of a layer have `color` (script colour).
    int count(int layer, std::int64_t color) const
    {
        const QImage &img = image(layer);
        const QRgb p = pixelOf(color);
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += img.pixel(x, y) == p ? 1 : 0;
        return n;
    }
    // Pixels of a layer that are not white.
    int inked(int layer) const
    {
        return image(layer).width() * image(layer).height() - count(layer, 0xFFFFFF);
    }
};

// Runs `lines` after a coordinate system of one unit per pixel on a 400 x 250
// bitmap (user (0, 0) at the bottom-left), with nothing drawn.
inline std::unique_ptr<CanvasRun> drawn(const QStringList &lines)
{
    QStringList script{QStringLiteral("SetCoordinateSystem(0,0,400,250,0,1,2)")};
    script << lines;
    return std::make_unique<CanvasRun>(script);
}

// The GUI application that fonts and painting need (offscreen platform).
class GuiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        if (!QCoreApplication::instance())
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[8] = "test";
    char *argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace tesmora::test
