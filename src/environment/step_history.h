// Step back: the states before the last steps of a stepped run, and the
// states stepped back over, so that Step goes forward through them again.
#pragma once

#include "core/run_state.h"
#include "graphics/canvas.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace tesmora {

class Interpreter;

struct StepHistoryLimits {
    int maxSteps = 1000;
    std::int64_t maxBytes = std::int64_t(256) * 1024 * 1024;
};

class StepHistory {
  public:
    // What a step changes besides the interpreter: the canvas and the texts
    // of the status panels.
    StepHistory(Interpreter &interpreter, Canvas &canvas, StepHistoryLimits limits = {});
    ~StepHistory();

    bool canStepBack() const { return !back_.empty(); }
    bool canStepForward() const { return !forward_.empty(); }
    int backCount() const { return static_cast<int>(back_.size()); }
    // The bytes the recorded states hold (what the limits count).
    std::int64_t accountedBytes() const { return bytes_; }

    // Before a new step from the present: remember the state as it is.
    void recordBeforeStep(const QStringList &statusTexts);
    // Back one step (false when there is none); the present is kept for Step.
    bool stepBack(QStringList &statusTexts);
    // Forward one recorded step (false when the present is reached).
    bool stepForward(QStringList &statusTexts);
    // The run goes on from here: the states stepped back over are dropped.
    void dropForward();
    void clear();

  private:
    // A layer as bands of rows, each compressed on its own: a band that did
    // not change since the last capture is shared, not stored again.
    struct LayerBlob {
        QSize size;
        QImage::Format format = QImage::Format_RGB32;
        std::vector<std::shared_ptr<const QByteArray>> bands;
    };
    struct Record;
    std::unique_ptr<Record> capture(const QStringList &statusTexts);
    void restore(const Record &record, QStringList &statusTexts);
    std::shared_ptr<const LayerBlob> layerBlob(int n);
    std::int64_t recount() const;
    std::unique_ptr<Record> pop(std::deque<std::unique_ptr<Record>> &stack);
    void enforceLimits();

    Interpreter &in_;
    Canvas &canvas_;
    StepHistoryLimits limits_;
    std::deque<std::unique_ptr<Record>> back_;
    std::deque<std::unique_ptr<Record>> forward_;
    std::int64_t bytes_ = 0;
    // Bytes of the compressed bands alive (each counted while any record,
    // or the last capture, holds it).
    std::shared_ptr<std::int64_t> bandBytes_ = std::make_shared<std::int64_t>(0);
    std::shared_ptr<const QByteArray> band(const QImage &image, const QImage &last, int band,
                                           const LayerBlob *previous);
    // The layers as last captured or restored (shallow copies) with their
    // blobs: an unchanged layer shares the blob instead of a new one.
    std::array<QImage, 2> lastImage_;
    std::array<std::shared_ptr<const LayerBlob>, 2> lastBlob_;
};

} // namespace tesmora
