// Loading a script, expanding INCLUDE directives and preparing the text for
// execution.
#include "interpreter.h"

#include "platform/encodings.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>

namespace tesmora {

namespace {

QStringList splitLines(const QString &text)
{
    QStringList lines;
    int start = 0;
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

const QLatin1String kEndInclude("#END INCLUDE ");

} // namespace

Interpreter::FileRead Interpreter::readScriptFile(const QString &path, QStringList &lines)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return FileRead::Unreadable;
    const QString text = decodeScriptBytes(f.readAll());
    if (looksBinary(text))
        return FileRead::NotText;
    lines = splitLines(text);
    return FileRead::Read;
}

void Interpreter::LoadScript(const QString &fileName)
{
    ScriptFileName = fileName;
    const QString path = resolveCaseInsensitive(fileName);
    QStringList lines;
    const FileRead read = fileName.isEmpty() ? FileRead::Unreadable : readScriptFile(path, lines);
    if (read == FileRead::Read) {
        setScriptLines(lines);
    } else {
        if (read == FileRead::NotText)
            RaiseMessage(367, {fileName});
        else if (!fileName.isEmpty())
            RaiseMessage(170, {fileName});
        ScriptFileName.clear();
        setScriptLines({});
    }
    if (ScriptLines.isEmpty())
        ScriptLines.append(QString());
    // Keep a load error visible even if the INCLUDE expansion succeeds.
    const QString loadError = ErrorText;
    ExpandIncludes();
    if (ErrorText.isEmpty())
        ErrorText = loadError;
    host_->setCaption(MessageText(1) + QStringLiteral("   ") + ScriptFileName);
    for (QString &line : ScriptLines)
        line.replace(QLatin1Char('\t'), QStringLiteral("  "));
}

QString Interpreter::includePath(const QString &name) const
{
    if (isPathName(name))
        return resolveAgainst(ProgramFolder, name);
    return resolveAgainst(ProgramFolder, QStringLiteral("Scripts/") + name);
}

void Interpreter::ExpandIncludes()
{
    // Every line is looked at, the last one included: a directive at the very
    // end of a script is the usual place for a function library.
    int i = 0;
    while (i < ScriptLines.size()) {
        QString t = ScriptLines.at(i).toUpper().trimmed();
        if (t.isEmpty() || (t.at(0) != QLatin1Char('#') && t.at(0) != QLatin1Char(';'))) {
            ++i;
            continue;
        }
        t = t.mid(1).trimmed();
        if (!t.startsWith(QLatin1String("INCLUDE"))) {
            ++i;
            continue;
        }
        const QString name = t.mid(7).trimmed();
        const QString marker = kEndInclude + name;
        int closing = -1;
        for (int j = i + 1; j < ScriptLines.size(); ++j) {
            if (ScriptLines.at(j).toUpper().contains(marker)) {
                closing = j;
                break;
            }
        }
        if (closing >= 0) {
            i = closing + 1;
            continue;
        }
        const QString path = includePath(name);
        QStringList included;
        const FileRead read = readScriptFile(path, included);
        if (read != FileRead::Read) {
            RaiseMessage(read == FileRead::NotText ? 367 : 170, {name});
            return;
        }
        included.append(marker);
        for (int k = 0; k < included.size(); ++k)
            ScriptLines.insert(i + 1 + k, included.at(k));
        ++i;
    }
}

QString Interpreter::StripComment(const QString &line)
{
    bool inQuotes = false;
    const int n = static_cast<int>(line.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\'')) {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (c == QLatin1Char('#') || c == QLatin1Char(';'))) {
            int end = i;
            while (end > 0 && line.at(end - 1) == QLatin1Char(' '))
                --end;
            return line.left(end);
        }
    }
    return line;
}

void Interpreter::PrepareScript()
{
    while (ScriptLines.size() >= 2 && ScriptLines.last().trimmed().isEmpty())
        ScriptLines.removeLast();
    if (ScriptLines.size() > kMaxScriptLines) {
        ShowMessageById(27, {kMaxScriptLines});
        ScriptLines.erase(ScriptLines.begin() + kMaxScriptLines, ScriptLines.end());
    }

    QStringList names, headers;
    int firstFunctionLine = -1;
    for (int i = 0; i < ScriptLines.size(); ++i) {
        const QString t = StripComment(ScriptLines.at(i)).trimmed().toUpper();
        if (!t.startsWith(QLatin1String("FUNCTION ")))
            continue;
        if (firstFunctionLine < 0)
            firstFunctionLine = i;
        const int br = static_cast<int>(t.indexOf(QLatin1Char('(')));
        const QString name = (br < 0 ? t.mid(9) : t.mid(9, br - 9)).trimmed();
        if (!name.isEmpty()) {
            names.append(name);
            headers.append(ScriptLines.at(i));
        }
    }
    setScriptFunctions(names, headers);

    host_->rebuildHighlighterWords();

    int n = firstFunctionLine >= 0 ? firstFunctionLine - 1 : static_cast<int>(ScriptLines.size()) - 1;
    if (n > 0) {
        while (n >= 0 && StripComment(ScriptLines.at(n)).trimmed().isEmpty())
            --n;
        if (n < 0)
            ScriptLines.insert(0, QStringLiteral("stop"));
        else if (!ScriptLines.at(n).trimmed().toUpper().startsWith(QLatin1String("STOP")))
            ScriptLines.insert(n + 1, QStringLiteral("stop"));
    }
    if (ScriptLines.size() == 1) {
        const QString t = ScriptLines.first().trimmed().toUpper();
        if (!t.isEmpty() && t != QLatin1String("STOP"))
            ScriptLines.append(QStringLiteral("stop"));
    }

    host_->setEditorText(ScriptLines);
    ComputeIndents();
    ComputeLineStarts();
    host_->setEditorReadOnly(true);
    host_->repaintEditor();
    host_->setWorkModeActions();
}

void Interpreter::ComputeIndents()
{
    LineIndent.fill(0);
    const int n = std::min(static_cast<int>(ScriptLines.size()), kMaxScriptLines + 1);
    for (int i = 0; i < n; ++i) {
        const QString s = StripComment(ScriptLines.at(i));
        if (s.trimmed().isEmpty()) {
            LineIndent[static_cast<size_t>(i)] = -1;
            continue;
        }
        int k = 0;
        while (k < s.size() && s.at(k) == QLatin1Char(' '))
            ++k;
        LineIndent[static_cast<size_t>(i)] = (k < s.size() && s.at(k) == QLatin1Char('>')) ? -1 : k;
    }
}

void Interpreter::ComputeLineStarts()
{
    LineStart.fill(0);
    const int n = std::min(static_cast<int>(ScriptLines.size()), kMaxScriptLines + 1);
    for (int i = 1; i < n; ++i)
        LineStart[static_cast<size_t>(i)] =
            LineStart[static_cast<size_t>(i - 1)] + static_cast<int>(ScriptLines.at(i - 1).size()) + 2;
}

QString Interpreter::JoinContinuationLines() const
{
    if (CurrentLine < 0 || CurrentLine >= ScriptLines.size())
        return {};
    return lineInfo(CurrentLine).statement;
}

void Interpreter::setScriptLines(const QStringList &lines)
{
    ScriptLines = lines;
    ++scriptGeneration_;
}

void Interpreter::setScriptFunctions(const QStringList &names, const QStringList &headers)
{
    scriptFunctionNames_ = names;
    scriptFunctionHeaders_ = headers;
    ++scriptGeneration_;
}

void Interpreter::setConstantList(const QStringList &lines)
{
    constantList_ = lines;
    ++scriptGeneration_;
}

} // namespace tesmora
