// Iterative scan-line flood fill on a layer's scan lines: each span is filled
// whole, and the rows above and below are searched once per span for new
// seeds. The stack holds spans, never pixels, and no call recurses.
#include "graphics_executor.h"

#include <vector>

namespace tesmora {

namespace {

struct Seed {
    int x;
    int y;
};

// Fills every pixel connected to `seed` for which `inside` holds; `inside`
// must fail for a pixel once it is filled (the caller keeps a mark when the
// fill colour alone does not ensure it).
template <typename Inside, typename Fill>
void scanLineFill(QImage &image, QPoint seed, Inside inside, Fill fill)
{
    const int w = image.width();
    const int h = image.height();
    if (!image.valid(seed))
        return;
    auto line = [&](int y) { return reinterpret_cast<QRgb *>(image.scanLine(y)); };
    if (!inside(line(seed.y()), seed.x(), seed.y()))
        return;
    std::vector<Seed> stack;
    stack.push_back({seed.x(), seed.y()});
    while (!stack.empty()) {
        const Seed s = stack.back();
        stack.pop_back();
        QRgb *row = line(s.y);
        if (!inside(row, s.x, s.y))
            continue;
        int left = s.x;
        while (left > 0 && inside(row, left - 1, s.y))
            --left;
        int right = s.x;
        while (right + 1 < w && inside(row, right + 1, s.y))
            ++right;
        for (int x = left; x <= right; ++x)
            fill(row, x, s.y);
        for (const int ny : {s.y - 1, s.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            QRgb *next = line(ny);
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool in = inside(next, x, ny);
                if (in && !inRun)
                    stack.push_back({x, ny});
                inRun = in;
            }
        }
    }
}

} // namespace

void floodFillSurface(QImage &image, QPoint seed, QRgb fill)
{
    if (!image.valid(seed))
        return;
    const QRgb target = image.pixel(seed);
    if (target == fill)
        return;
    scanLineFill(
        image, seed, [target](const QRgb *row, int x, int) { return row[x] == target; },
        [fill](QRgb *row, int x, int) { row[x] = fill; });
}

void floodFillBorder(QImage &image, QPoint seed, QRgb border, QRgb fill)
{
    if (fill == border) {
        scanLineFill(
            image, seed, [border](const QRgb *row, int x, int) { return row[x] != border; },
            [fill](QRgb *row, int x, int) { row[x] = fill; });
        return;
    }
    // Filled pixels are not the border colour: a mark keeps them from being
    // taken again.
    std::vector<bool> done(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()));
    const auto at = [w = image.width()](int x, int y) { return static_cast<size_t>(y) * w + x; };
    scanLineFill(
        image, seed, [&](const QRgb *row, int x, int y) { return row[x] != border && !done[at(x, y)]; },
        [&](QRgb *row, int x, int y) {
            row[x] = fill;
            done[at(x, y)] = true;
        });
}

} // namespace tesmora
