#include "qjs_engine.h"

#include <QJSEngine>
#include <QJSValue>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>

namespace tesmora {

namespace {

// How often the stop check is asked while a source runs.
constexpr unsigned long kStopCheckMs = 20;

// A thrown Error object carries its text in `message`; a thrown value of any
// other type (throw 42, throw "x") is reported by its own text.
QString failureMessage(const QJSValue &value)
{
    if (value.isError()) {
        const QJSValue message = value.property(QStringLiteral("message"));
        if (!message.isUndefined() && !message.isNull()) {
            const QString text = message.toString();
            if (!text.isEmpty())
                return text;
        }
    }
    return value.toString();
}

// Every source runs through an indirect eval inside try/catch: it evaluates
// in the global scope (so definitions survive), and every thrown value,
// Error object or not, is caught and reported the same way.
JavaScriptResult runSource(QJSValue &runner, const QString &source)
{
    const QJSValue answer = runner.call({QJSValue(source)});
    if (answer.isError())
        return {false, failureMessage(answer)};
    const QJSValue value = answer.property(1);
    if (!answer.property(0).toBool() || value.isError())
        return {false, failureMessage(value)};
    return {true, value.toString()};
}

} // namespace

// The engine's thread: takes one source at a time and hands back its result.
class QtJavaScriptEngine::Worker : public QThread {
  public:
    QMutex mutex;
    QWaitCondition changed;
    QJSEngine *engine = nullptr; // set while the thread runs
    bool hasJob = false;
    bool done = false;
    bool quit = false;
    bool busy = false; // an evaluate() waits for its result
    QString source;
    JavaScriptResult result;

  protected:
    void run() override
    {
        QJSEngine js;
        QJSValue runner = js.evaluate(QStringLiteral(
            "(function (src) { try { return [true, (0, eval)(src)]; } catch (e) { return [false, e]; } })"));
        QMutexLocker lock(&mutex);
        engine = &js;
        changed.wakeAll();
        for (;;) {
            while (!hasJob && !quit)
                changed.wait(&mutex);
            if (quit)
                break;
            hasJob = false;
            const QString text = source;
            lock.unlock();
            JavaScriptResult r = runSource(runner, text);
            lock.relock();
            result = std::move(r);
            done = true;
            changed.wakeAll();
        }
        engine = nullptr;
    }
};

QtJavaScriptEngine::QtJavaScriptEngine() : worker_(std::make_shared<Worker>())
{
    worker_->start();
    QMutexLocker lock(&worker_->mutex);
    while (!worker_->engine)
        worker_->changed.wait(&worker_->mutex);
}

QtJavaScriptEngine::~QtJavaScriptEngine()
{
    {
        QMutexLocker lock(&worker_->mutex);
        worker_->quit = true;
        if (worker_->engine)
            worker_->engine->setInterrupted(true);
        worker_->changed.wakeAll();
    }
    worker_->wait();
}

JavaScriptResult QtJavaScriptEngine::evaluate(const QString &source, const StopCheck &stop)
{
    const std::shared_ptr<Worker> keep = worker_;
    Worker &w = *keep;
    QMutexLocker lock(&w.mutex);
    // Events processed by the stop check may ask for another evaluation.
    if (w.busy || w.quit)
        return {false, QStringLiteral("the JavaScript engine is busy.")};
    w.busy = true;
    w.source = source;
    w.done = false;
    w.hasJob = true;
    w.changed.wakeAll();
    bool interrupted = false;
    while (!w.done) {
        if (w.changed.wait(&w.mutex, kStopCheckMs) || w.done || interrupted || !stop)
            continue;
        // The check may process window events: the lock is not held meanwhile.
        lock.unlock();
        const bool stopNow = stop();
        lock.relock();
        if (w.quit) { // the adapter was destroyed meanwhile: its thread has ended
            interrupted = true;
            break;
        }
        if (stopNow && !w.done && w.engine) {
            w.engine->setInterrupted(true);
            interrupted = true;
        }
    }
    w.busy = false;
    JavaScriptResult r = w.done ? std::move(w.result) : JavaScriptResult{};
    if (interrupted) {
        if (w.engine)
            w.engine->setInterrupted(false);
        if (!r.ok)
            r.interrupted = true;
    }
    return r;
}

} // namespace tesmora
