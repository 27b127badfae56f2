// Every example of the tutorial topics and of the function help texts, and
// every bundled script, runs through tesmora-run without an error, so the
// help cannot drift away from the language.
#include "environment/help_topics.h"
#include "library/function_catalogue.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tesmora;

namespace {

const QString kRunner = QStringLiteral(TESMORA_RUNNER);
const QString kResources = QStringLiteral(TESMORA_RESOURCES);
const QString kTestData = QStringLiteral(TESMORA_TEST_DATA);

struct RunResult {
    int code = -1;
    QString err;
};

// A program folder with the bundled Scripts, pictures and Temp folders.
struct Home {
    QTemporaryDir dir;
    Home()
    {
        for (const char *sub : {"Scripts", "pictures", "Temp"}) {
            const QString from = kResources + "/" + sub;
            QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
            QDir().mkpath(dir.filePath(sub));
            while (it.hasNext()) {
                const QString f = it.next();
                const QString to = dir.filePath(QString(sub) + "/" + QDir(from).relativeFilePath(f));
                QDir().mkpath(QFileInfo(to).path());
                QFile::copy(f, to);
            }
        }
    }
    QString path() const { return dir.path(); }
};

RunResult run(const Home &home, const QStringList &args)
{
    QProcess p;
    p.start(kRunner, QStringList{"--home", home.path()} + args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

RunResult runText(const Home &home, const QString &script, const QStringList &options = {})
{
    QTemporaryDir dir;
    const QString file = dir.filePath("example.txt");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(script.toUtf8());
    f.close();
    return run(home, options + QStringList{file});
}

// The examples of a topic text: the "<fnt4>" runs that hold no table.
QStringList examplesOf(const QString &markup)
{
    static const QRegularExpression box(
        QStringLiteral("[\u2500\u2502\u250C\u2510\u2514\u2518\u251C\u2524\u252C\u2534\u253C]"));
    QStringList out;
    const QStringList runs = markup.split("<fnt");
    for (int i = 1; i < runs.size(); ++i) {
        if (!runs.at(i).startsWith("4>"))
            continue;
        QString code = runs.at(i).mid(2);
        if (code.contains(box))
            continue;
        out << code.replace("~~eol~~", "\n");
    }
    return out;
}

// The example of a function help text: the lines after "Example:" (or
// "Examples:", "Пример:", "Примеры:") to the end of the text.
QString functionExampleOf(const QString &help)
{
    static const QRegularExpression marker(QStringLiteral("^(Examples?|Примеры?):\r?$"),
                                           QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = marker.match(help);
    if (!m.hasMatch())
        return {};
    QString code = help.mid(m.capturedEnd());
    code.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return code.trimmed() + QLatin1Char('\n');
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The options a bundled script is run with: NAME.args and NAME.answers of
// tests/examples, and a canvas picture.
QStringList optionsFor(const QString &name, const QString &canvas)
{
    QStringList options{"--canvas", canvas};
    const QString base = kTestData + "/examples/" + name;
    const QString args = readText(base + ".args").trimmed();
    if (!args.isEmpty())
        options << args.split(' ', Qt::SkipEmptyParts);
    if (QFile::exists(base + ".answers"))
        options << "--answers" << base + ".answers";
    return options;
}

bool draws(const QString &script)
{
    return script.contains("SetCoordinateSystem");
}
bool asks(const QString &script)
{
    static const QRegularExpression dialog(QStringLiteral("\\b(InputString|InputText|Message|Menu)\\s*\\("));
    return script.contains(dialog);
}

// True when the picture has at least two colours.
bool notBlank(const QString &png)
{
    const QImage image(png);
    if (image.isNull())
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

struct Bundled {
    QString name; // without ".txt"
    QString path;
    QString text;
};

QList<Bundled> bundledScripts()
{
    QList<Bundled> out;
    QDirIterator it(kResources + "/Scripts/examples", {"*.txt"}, QDir::Files);
    while (it.hasNext()) {
        const QString f = it.next();
        out << Bundled{QFileInfo(f).completeBaseName(), f, readText(f)};
    }
    const QString autoStart = kResources + "/Scripts/AutoStart.txt";
    out << Bundled{"AutoStart", autoStart, readText(autoStart)};
    std::sort(out.begin(), out.end(), [](const Bundled &a, const Bundled &b) { return a.name < b.name; });
    return out;
}

void runBundled(const Home &home, const Bundled &b)
{
    QTemporaryDir out;
    const QString canvas = out.filePath("canvas.png");
    const RunResult r = run(home, optionsFor(b.name, canvas) + QStringList{b.path});
    EXPECT_EQ(r.code, 0) << b.name.toStdString() << ": " << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << b.name.toStdString() << ": " << r.err.toStdString();
    if (draws(b.text)) {
        EXPECT_TRUE(notBlank(canvas)) << b.name.toStdString() << " left the canvas blank";
    }
}

} // namespace

TEST(HelpExamples, EveryTopicExampleRunsInBothLanguages)
{
    Home home;
    int examples = 0;
    for (int row = 0; row < kHelpTopicRows; ++row) {
        for (int language : {0, 1}) {
            const QString &text = helpTopic(row).text[language];
            if (text.isEmpty())
                continue;
            const QStringList found = examplesOf(text);
            EXPECT_FALSE(found.isEmpty()) << helpTopic(row).name.toStdString() << " has no example";
            for (const QString &script : found) {
                ++examples;
                const RunResult r = runText(home, script, {"--lang", language == 1 ? "ru" : "en"});
                EXPECT_EQ(r.code, 0) << helpTopic(row).name.toStdString() << "/" << language << ":\n"
                                     << script.toStdString() << "\n"
                                     << r.err.toStdString();
            }
        }
    }
    EXPECT_GE(examples, 42);
}

TEST(HelpExamples, EveryFunctionExampleRunsInBothLanguages)
{
    Home home;
    // The runner of this build may lack the canvas or the dialogs.
    const bool drawsAndAsks = runText(home, "SetCoordinateSystem(0, 0, 100, 100)\n").code == 0 &&
                              runText(home, "x = InputString('?')\n").code == 0;
    int examples = 0;
    for (FunctionTable table :
         {FunctionTable::Embedded, FunctionTable::JavaScript, FunctionTable::Graph, FunctionTable::Dialog}) {
        if (!drawsAndAsks && (table == FunctionTable::Graph || table == FunctionTable::Dialog))
            continue;
        for (const FunctionDescriptor &d : functionCatalogue(table).rows()) {
            if (d.isEmpty() || d.has(rfHelpOnly))
                continue;
            for (int language : {0, 1}) {
                const QString script = functionExampleOf(d.help[language]);
                EXPECT_FALSE(script.trimmed().isEmpty())
                    << d.name().toStdString() << "/" << language << " has no example";
                if (script.trimmed().isEmpty())
                    continue;
                ++examples;
                const RunResult r = runText(home, script, {"--lang", language == 1 ? "ru" : "en"});
                EXPECT_EQ(r.code, 0) << d.name().toStdString() << "/" << language << ":\n"
                                     << script.toStdString() << "\n"
                                     << r.err.toStdString();
                EXPECT_TRUE(r.err.isEmpty())
                    << d.name().toStdString() << "/" << language << ": " << r.err.toStdString();
            }
        }
    }
    EXPECT_GE(examples, drawsAndAsks ? 254 : 200);
}

TEST(HelpExamples, BundledScriptsWithoutGraphicsOrDialogsRun)
{
    Home home;
    int ran = 0;
    for (const Bundled &b : bundledScripts()) {
        if (draws(b.text) || asks(b.text))
            continue;
        runBundled(home, b);
        ++ran;
    }
    EXPECT_GE(ran, 10);
    // The files example works inside the Temp folder and leaves it clean.
    EXPECT_TRUE(QDir(home.path() + "/Temp").entryList(QDir::Files).isEmpty());
}

TEST(HelpExamples, BundledScriptsThatDrawOrAskRunAndDraw)
{
    Home home;
    // The runner of this build may lack the canvas or the dialogs.
    if (runText(home, "SetCoordinateSystem(0, 0, 100, 100)\n").code != 0 ||
        runText(home, "x = InputString('?')\n").code != 0)
        GTEST_SKIP() << "tesmora-run has no canvas or no dialogs in this build";
    int ran = 0;
    for (const Bundled &b : bundledScripts()) {
        if (!draws(b.text) && !asks(b.text))
            continue;
        runBundled(home, b);
        ++ran;
    }
    EXPECT_GE(ran, 10);
}

TEST(HelpExamples, AtLeastTwentyBundledExamples)
{
    EXPECT_GE(bundledScripts().size(), 21);
    for (const Bundled &b : bundledScripts())
        EXPECT_FALSE(b.text.trimmed().isEmpty()) << b.name.toStdString();
}
