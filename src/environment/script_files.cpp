#include "script_files.h"

#include "core/interpreter.h"
#include "platform/encodings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tesmora {

bool writeUtf8WithBom(const QString &path, const QString &text, QString &error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error = f.errorString();
        return false;
    }
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += text.toUtf8();
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        error = f.errorString();
        return false;
    }
    return true;
}

QString joinScriptLines(const QStringList &lines)
{
    QString text;
    for (const QString &l : lines) {
        text += l;
        text += QStringLiteral("\r\n");
    }
    return text;
}

namespace {

// "#INCLUDE NAME" or ";INCLUDE NAME" (any case, blanks allowed): the name
// upper-cased; empty when the line is no directive.
bool includeDirective(const QString &line, QString &name)
{
    const QString t = line.toUpper();
    if (t.isEmpty() || (t.at(0) != QLatin1Char('#') && t.at(0) != QLatin1Char(';')))
        return false;
    const QString rest = t.mid(1).trimmed();
    if (!rest.startsWith(QLatin1String("INCLUDE")))
        return false;
    name = rest.mid(7).trimmed();
    return true;
}

bool closesBlock(const QString &line, const QString &name)
{
    const QString t = line.toUpper().trimmed();
    if (t.isEmpty() || (t.at(0) != QLatin1Char('#') && t.at(0) != QLatin1Char(';')))
        return false;
    return t.mid(1).trimmed() == QStringLiteral("END INCLUDE ") + name;
}

} // namespace

SavePlan planScriptSave(const QStringList &script, const std::function<QString(const QString &)> &resolve)
{
    SavePlan plan;
    plan.mainLines = script;
    QStringList &copy = plan.mainLines;
    for (int i = 0; i < copy.size(); ++i) {
        QString name;
        if (!includeDirective(copy.at(i), name))
            continue;
        int close = -1;
        for (int j = i + 1; j < copy.size(); ++j)
            if (closesBlock(copy.at(j), name)) {
                close = j;
                break;
            }
        if (close < 0) {
            plan.unterminatedLine = i;
            plan.unterminatedName = name;
            copy[i].insert(1, QStringLiteral("???"));
            break;
        }
        const QStringList block = copy.mid(i + 1, close - i - 1);
        const QString path = resolve(name);
        QString blockText = joinScriptLines(block);
        blockText.chop(2); // the last line has no line break
        QStringList existing;
        const bool same = Interpreter::readScriptFile(path, existing) == Interpreter::FileRead::Read &&
                          existing.join(QStringLiteral("\r\n")) == block.join(QStringLiteral("\r\n"));
        if (!same)
            plan.includes.append({path, block});
        copy.erase(copy.begin() + i + 1, copy.begin() + close + 1);
    }
    return plan;
}

QString readEditedFile(const QString &path, bool *ok)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (ok)
        *ok = true;
    return QString::fromUtf8(bytes);
}

bool cutOnPreparation(const QStringList &lines, int maxLines)
{
    qsizetype n = lines.size();
    while (n >= 2 && lines.at(n - 1).trimmed().isEmpty())
        --n;
    return n > maxLines;
}

} // namespace tesmora
