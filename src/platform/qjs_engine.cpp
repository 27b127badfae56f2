#include "qjs_engine.h"

#include <QHash>
#include <QJSEngine>
#include <QJSValue>
#include <QJSValueIterator>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <memory>
#include <thread>

namespace tesmora {

namespace {

// How often the stop check is asked while a source runs.
constexpr unsigned long kStopCheckMs = 20;
// How long each side of a hand-over watches for the other before it sleeps,
// in polls. Off: on a machine with more busy threads than cores, watching
// took the core the other side needed and made calls slower, not faster.
constexpr int kWatchPolls = 0;

// A short pause between two polls of a flag.
inline void pollPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// Watches `flag` for a short while; true once it is set.
bool watch(const std::atomic<bool> &flag)
{
    for (int i = 0; i < kWatchPolls; ++i) {
        if (flag.load(std::memory_order_acquire))
            return true;
        pollPause();
    }
    return flag.load(std::memory_order_acquire);
}

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

// The function that runs a source (see runSource).
QJSValue sourceRunner(QJSEngine &js)
{
    return js.evaluate(QStringLiteral(
        "(function (src) { try { return [true, (0, eval)(src)]; } catch (e) { return [false, e]; } })"));
}

// The answer of the source runner or of a compiled call: [true, value], or
// [false, thrown value]; an error object when the call itself failed.
JavaScriptResult readAnswer(const QJSValue &answer)
{
    if (answer.isError())
        return {false, failureMessage(answer)};
    const QJSValue value = answer.property(1);
    if (!answer.property(0).toBool() || value.isError())
        return {false, failureMessage(value)};
    return {true, value.toString()};
}

// Every source runs through an indirect eval inside try/catch: it evaluates
// in the global scope (so definitions survive), and every thrown value,
// Error object or not, is caught and reported the same way.
JavaScriptResult runSource(QJSValue &runner, const QString &source)
{
    return readAnswer(runner.call({QJSValue(source)}));
}

// The compiled function of a call expression over a0, a1, ...: it returns
// [true, value] or [false, thrown value] as the source runner does. Kept
// per expression; the methods it names are looked up at each call, so a
// method redefined meanwhile is the one that runs. A `bare` function
// returns the value itself: for the engine's own methods, which throw
// nothing but Error objects, and which the call hands back as its value.
QJSValue compiledCall(QJSEngine &js, QHash<QString, QJSValue> &cache, const JavaScriptCall &c, bool bare)
{
    // The expression names every argument, so it tells the count too.
    const QString &key = c.expression;
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QStringList params;
    for (int i = 0; i < c.args.size(); ++i)
        params << QLatin1Char('a') + QString::number(i);
    const QString body = bare ? QLatin1String("return ") + c.expression + QLatin1Char(';')
                              : QLatin1String("try { return [true, ") + c.expression +
                                    QLatin1String("]; } catch (e) { return [false, e]; }");
    QJSValue f = js.evaluate(QLatin1String("(function (") + params.join(QLatin1Char(',')) +
                             QLatin1String(") { ") + body + QLatin1String(" })"));
    if (!f.isCallable())
        f = QJSValue();
    cache.insert(key, f);
    return f;
}

// An engine with the state it needs for prepared calls and sources.
struct CallContext {
    QJSEngine &js;
    QJSValue runner;                   // see runSource
    QHash<QString, QJSValue> compiled; // see compiledCall
    bool bare = false;
};

// A prepared call: its compiled function with the argument values, or its
// source text when the expression does not compile.
JavaScriptResult runCall(CallContext &context, const JavaScriptCall &c)
{
    QJSValue f =
        c.expression.isEmpty() ? QJSValue() : compiledCall(context.js, context.compiled, c, context.bare);
    if (!f.isCallable()) {
        if (c.source.isEmpty())
            return {false, {}, false, true};
        return runSource(context.runner, c.source);
    }
    QJSValueList args;
    args.reserve(c.args.size());
    for (const JavaScriptArgument &a : c.args)
        args.append(a.isText ? QJSValue(a.text) : QJSValue(a.number));
    const QJSValue answer = f.call(args);
    // A bare function's answer is the value itself.
    if (context.bare && !answer.isError())
        return {true, answer.toString()};
    return readAnswer(answer);
}

// The standard objects whose methods may be computed outside the engine, as
// the engine made them; kept out of reach of every source, which runs in the
// global scope.
struct StandardOriginals {
    QJSValue math;
    QJSValue mathProperties; // every property of Math at the start
    QJSValue stringPrototype;
    QJSValue charAt;
    QJSValue charCodeAt;

    explicit StandardOriginals(QJSEngine &js)
        : math(js.globalObject().property(QStringLiteral("Math"))),
          mathProperties(js.evaluate(QStringLiteral(
              "(function () { var m = {}; Object.getOwnPropertyNames(Math).forEach(function (k) "
              "{ m[k] = Math[k]; }); return m; })()"))),
          stringPrototype(js.evaluate(QStringLiteral("Object.getPrototypeOf('')"))),
          charAt(stringPrototype.property(QStringLiteral("charAt"))),
          charCodeAt(stringPrototype.property(QStringLiteral("charCodeAt")))
    {
    }
};

// Whether the global Math is still the original with every property it had
// at the start, and the string methods are the originals: a replaced,
// deleted or redefined method makes it differ. Texts reach their methods
// through the engine's own string prototype, whatever the global String is.
bool standardMethodsAreOriginal(QJSEngine &js, const StandardOriginals &o)
{
    const QJSValue math = js.globalObject().property(QStringLiteral("Math"));
    if (!math.strictlyEquals(o.math))
        return false;
    QJSValueIterator it(o.mathProperties);
    while (it.hasNext()) {
        it.next();
        if (!math.property(it.name()).strictlyEquals(it.value()))
            return false;
    }
    if (!o.stringPrototype.property(QStringLiteral("charAt")).strictlyEquals(o.charAt) ||
        !o.stringPrototype.property(QStringLiteral("charCodeAt")).strictlyEquals(o.charCodeAt))
        return false;
    return true;
}

constexpr QLatin1String kStandardUnchanged("unchanged");

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
    bool keepHeap = false; // the process ends: the heap goes with it
    bool busy = false;     // an evaluate() waits for its result
    bool sleeping = false; // the thread waits on `changed`
    JavaScriptCall job;
    bool checkStandard = false; // the job asks whether the standard methods are unchanged
    JavaScriptResult result;
    // Mirrors of hasJob and done that the other side watches without the lock.
    std::atomic<bool> jobPosted{false};
    std::atomic<bool> resultPosted{false};

  protected:
    void run() override
    {
        auto owned = std::make_unique<QJSEngine>();
        QJSEngine &js = *owned;
        CallContext context{js, sourceRunner(js), {}, false};
        const StandardOriginals originals(js);
        QMutexLocker lock(&mutex);
        engine = &js;
        changed.wakeAll();
        for (;;) {
            if (!hasJob && !quit) {
                lock.unlock();
                watch(jobPosted);
                lock.relock();
            }
            while (!hasJob && !quit) {
                sleeping = true;
                changed.wait(&mutex);
                sleeping = false;
            }
            if (quit)
                break;
            hasJob = false;
            jobPosted.store(false, std::memory_order_relaxed);
            const JavaScriptCall c = std::move(job);
            const bool check = checkStandard;
            lock.unlock();
            JavaScriptResult r;
            if (check)
                r = {true,
                     standardMethodsAreOriginal(js, originals) ? QString(kStandardUnchanged) : QString()};
            else
                r = runCall(context, c);
            lock.relock();
            result = std::move(r);
            done = true;
            resultPosted.store(true, std::memory_order_release);
            changed.wakeAll();
        }
        engine = nullptr;
        // Left alive on purpose: the values above are released before it.
        if (keepHeap)
            (void)owned.release();
    }
};

// The engine on the caller's thread (see QtJavaScriptEngine::local_).
struct QtJavaScriptEngine::Local {
    QThread *const thread = QThread::currentThread();
    QJSEngine js;
    CallContext context{js, sourceRunner(js), {}, true};
};

QtJavaScriptEngine::Local *QtJavaScriptEngine::localEngine()
{
    if (!local_)
        local_ = std::make_unique<Local>();
    return local_->thread == QThread::currentThread() ? local_.get() : nullptr;
}

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
        worker_->jobPosted.store(true, std::memory_order_release);
        if (worker_->engine)
            worker_->engine->setInterrupted(true);
        worker_->changed.wakeAll();
    }
    worker_->wait();
}

void QtJavaScriptEngine::releaseAtExit()
{
    if (local_) // the caller's engine: left to the process end as well
        (void)local_.release();
    QMutexLocker lock(&worker_->mutex);
    worker_->keepHeap = true;
}

JavaScriptResult QtJavaScriptEngine::evaluate(const QString &source, const StopCheck &stop)
{
    return call(JavaScriptCall{{}, {}, source}, stop);
}

JavaScriptResult QtJavaScriptEngine::call(const JavaScriptCall &c, const StopCheck &stop)
{
    // A source may replace standard methods; a prepared call only calls them.
    if (c.expression.isEmpty()) {
        standard_ = StandardState::Unknown;
        sourceRan_ = true;
    } else if (!sourceRan_) {
        if (Local *local = localEngine())
            return runCall(local->context, c);
    }
    return hand(c, false, stop);
}

bool QtJavaScriptEngine::standardMethodsUnchanged()
{
    if (standard_ == StandardState::Unknown) {
        const JavaScriptResult r = hand({}, true, {});
        if (r.ok) // not while the engine is busy: then it stays unknown
            standard_ = r.text == kStandardUnchanged ? StandardState::Unchanged : StandardState::Changed;
    }
    return standard_ == StandardState::Unchanged;
}

JavaScriptResult QtJavaScriptEngine::hand(const JavaScriptCall &c, bool checkStandard, const StopCheck &stop)
{
    const std::shared_ptr<Worker> keep = worker_;
    Worker &w = *keep;
    QMutexLocker lock(&w.mutex);
    // Events processed by the stop check may ask for another evaluation.
    if (w.busy || w.quit)
        return {false, QStringLiteral("the JavaScript engine is busy.")};
    w.busy = true;
    w.job = c;
    w.checkStandard = checkStandard;
    w.done = false;
    w.resultPosted.store(false, std::memory_order_relaxed);
    w.hasJob = true;
    w.jobPosted.store(true, std::memory_order_release);
    if (w.sleeping)
        w.changed.wakeAll();
    // A short call is usually answered while the caller still watches.
    lock.unlock();
    watch(w.resultPosted);
    lock.relock();
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
