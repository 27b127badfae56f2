// Step back: recorded states of a stepped run, bounded in steps and bytes.
#include "step_history.h"

#include "core/interpreter.h"

#include <cstring>
#include <set>

namespace tesmora {

struct StepHistory::Record {
    RunStateSnapshot run;
    std::array<std::shared_ptr<const LayerBlob>, 2> layers;
    std::array<LayerState, 2> layerStates;
    std::array<QSize, 2> displays;
    CoordinateSystem cs;
    double displayScale = 0;
    AreaList areas;
    CursorState cursor;
    bool defined = false;
    QStringList statusTexts;
};

namespace {

// Rows of a layer compressed together.
constexpr int kBandRows = 16;
constexpr std::int64_t kBandOverhead = 64;

std::int64_t arrayCellBytes(const ArrayCells &c)
{
    std::int64_t bytes = std::int64_t(c.f.size() * sizeof(double) + c.i.size() * sizeof(std::int64_t));
    for (const QString &s : c.s)
        bytes += std::int64_t(sizeof(QString)) + s.size() * 2;
    return bytes;
}

} // namespace

StepHistory::StepHistory(Interpreter &interpreter, Canvas &canvas, StepHistoryLimits limits)
    : in_(interpreter), canvas_(canvas), limits_(limits)
{
}

StepHistory::~StepHistory() = default;

std::shared_ptr<const QByteArray> StepHistory::band(const QImage &image, const QImage &last, int b,
                                                    const LayerBlob *previous)
{
    const int top = b * kBandRows;
    const int rows = std::min(kBandRows, image.height() - top);
    const auto *bits = reinterpret_cast<const char *>(image.constScanLine(top));
    const qsizetype length = image.bytesPerLine() * rows;
    if (previous && previous->size == image.size() && previous->format == image.format() &&
        last.size() == image.size() && last.format() == image.format() &&
        std::memcmp(bits, last.constScanLine(top), static_cast<size_t>(length)) == 0)
        return previous->bands[static_cast<size_t>(b)];
    // Counted while it lives, wherever it is shared.
    std::shared_ptr<std::int64_t> counter = bandBytes_;
    auto *data =
        new QByteArray(qCompress(reinterpret_cast<const uchar *>(bits), static_cast<int>(length), 1));
    *counter += data->size() + kBandOverhead;
    return std::shared_ptr<const QByteArray>(data, [counter](const QByteArray *d) {
        *counter -= d->size() + kBandOverhead;
        delete d;
    });
}

std::shared_ptr<const StepHistory::LayerBlob> StepHistory::layerBlob(int n)
{
    const QImage &image = canvas_.layer(n + 1).image;
    const auto i = static_cast<size_t>(n);
    if (lastBlob_[i] && image == lastImage_[i])
        return lastBlob_[i];
    auto blob = std::make_shared<LayerBlob>();
    blob->size = image.size();
    blob->format = image.format();
    for (int b = 0; b * kBandRows < image.height(); ++b)
        blob->bands.push_back(band(image, lastImage_[i], b, lastBlob_[i].get()));
    lastImage_[i] = image;
    lastBlob_[i] = blob;
    return blob;
}

std::unique_ptr<StepHistory::Record> StepHistory::capture(const QStringList &statusTexts)
{
    auto r = std::make_unique<Record>();
    const Record *previous = !back_.empty() ? back_.back().get() : nullptr;
    r->run = in_.captureState(previous ? &previous->run : nullptr);
    for (int n = 0; n < 2; ++n) {
        const auto i = static_cast<size_t>(n);
        r->layers[i] = layerBlob(n);
        r->layerStates[i] = canvas_.layer(n + 1).state;
        r->displays[i] = canvas_.layer(n + 1).display;
    }
    r->cs = canvas_.cs;
    r->displayScale = canvas_.DisplayScale;
    r->areas = canvas_.areas;
    r->cursor = canvas_.cursor;
    r->defined = canvas_.defined;
    r->statusTexts = statusTexts;
    return r;
}

void StepHistory::restore(const Record &r, QStringList &statusTexts)
{
    in_.restoreState(r.run);
    for (int n = 0; n < 2; ++n) {
        const auto i = static_cast<size_t>(n);
        CanvasLayer &layer = canvas_.layer(n + 1);
        const LayerBlob &blob = *r.layers[i];
        layer.image = blob.size.isEmpty() ? QImage() : QImage(blob.size, blob.format);
        for (size_t b = 0; b < blob.bands.size(); ++b) {
            const QByteArray raw = qUncompress(*blob.bands[b]);
            const int top = static_cast<int>(b) * kBandRows;
            const qsizetype room = layer.image.sizeInBytes() - qsizetype(top) * layer.image.bytesPerLine();
            std::memcpy(layer.image.scanLine(top), raw.constData(),
                        static_cast<size_t>(std::min(raw.size(), room)));
        }
        layer.state = r.layerStates[i];
        layer.display = r.displays[i];
        lastImage_[i] = layer.image;
        lastBlob_[i] = r.layers[i];
    }
    canvas_.cs = r.cs;
    canvas_.DisplayScale = r.displayScale;
    canvas_.areas = r.areas;
    canvas_.cursor = r.cursor;
    canvas_.defined = r.defined;
    statusTexts = r.statusTexts;
}

std::unique_ptr<StepHistory::Record> StepHistory::pop(std::deque<std::unique_ptr<Record>> &stack)
{
    std::unique_ptr<Record> record = std::move(stack.back());
    stack.pop_back();
    return record;
}

std::int64_t StepHistory::recount() const
{
    // Blobs and array cells shared between records are counted once.
    std::set<const void *> seen;
    std::int64_t bytes = 0;
    auto add = [&](const std::deque<std::unique_ptr<Record>> &stack) {
        for (const auto &r : stack) {
            bytes += r->run.bytes + r->areas.count() * std::int64_t(sizeof(TArea) + 64);
            for (const QString &t : r->statusTexts)
                bytes += t.size() * 2;
            for (const auto &blob : r->layers)
                if (seen.insert(blob.get()).second)
                    bytes +=
                        std::int64_t(sizeof(LayerBlob)) + blob->bands.size() * std::int64_t(sizeof(void *));
            const ArrayTable &arrays = r->run.state.Arrays;
            for (int n = 1; n <= arrays.count(); ++n) {
                const ArrayCells *c = arrays.at(n).P.get();
                if (c && seen.insert(c).second)
                    bytes += arrayCellBytes(*c);
            }
        }
    };
    add(back_);
    add(forward_);
    return bytes + *bandBytes_;
}

void StepHistory::enforceLimits()
{
    // The oldest steps go first; a state stepped back over is dropped only
    // when nothing older is left.
    bytes_ = recount();
    while (!back_.empty() &&
           (int(back_.size() + forward_.size()) > limits_.maxSteps || bytes_ > limits_.maxBytes)) {
        back_.pop_front();
        bytes_ = recount();
    }
    while (!forward_.empty() && bytes_ > limits_.maxBytes) {
        forward_.pop_front();
        bytes_ = recount();
    }
}

void StepHistory::recordBeforeStep(const QStringList &statusTexts)
{
    dropForward();
    back_.push_back(capture(statusTexts));
    enforceLimits();
}

bool StepHistory::stepBack(QStringList &statusTexts)
{
    if (back_.empty())
        return false;
    std::unique_ptr<Record> present = capture(statusTexts);
    std::unique_ptr<Record> past = pop(back_);
    restore(*past, statusTexts);
    forward_.push_back(std::move(present));
    enforceLimits();
    return true;
}

bool StepHistory::stepForward(QStringList &statusTexts)
{
    if (forward_.empty())
        return false;
    std::unique_ptr<Record> next = pop(forward_);
    std::unique_ptr<Record> here = capture(statusTexts);
    back_.push_back(std::move(here));
    restore(*next, statusTexts);
    enforceLimits();
    return true;
}

void StepHistory::dropForward()
{
    forward_.clear();
    bytes_ = recount();
}

void StepHistory::clear()
{
    back_.clear();
    forward_.clear();
    bytes_ = 0;
    lastImage_ = {};
    lastBlob_ = {};
}

} // namespace tesmora
