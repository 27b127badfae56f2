#include "description_texts.h"

#include "core/interpreter.h"
#include "core/numbers.h"

namespace tesmora {

namespace {

// Position just past the colon that follows the quoted key, spaces skipped;
// -1 when the key or the colon is missing.
qsizetype valueStart(const QString &text, const QString &key, bool &keyFound)
{
    const QString quoted = QLatin1Char('"') + key + QLatin1Char('"');
    const qsizetype p = text.indexOf(quoted);
    keyFound = p >= 0;
    if (!keyFound)
        return -1;
    const qsizetype colon = text.indexOf(QLatin1Char(':'), p + quoted.size());
    if (colon < 0)
        return -1;
    qsizetype s = colon + 1;
    while (s < text.size() && text.at(s) == QLatin1Char(' '))
        ++s;
    return s;
}

// The scalar from `start`: up to the first "," or "}", trimmed, with one
// enclosing pair of double quotes removed; empty when neither follows.
QString scalarAt(const QString &text, qsizetype start)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','), start);
    const qsizetype brace = text.indexOf(QLatin1Char('}'), start);
    qsizetype end = comma;
    if (end < 0 || (brace >= 0 && brace < end))
        end = brace;
    if (end < 0)
        return {};
    QString v = text.mid(start, end - start).trimmed();
    const QChar quote = QLatin1Char('"');
    if (!v.isEmpty() && v.startsWith(quote) && v.endsWith(quote))
        v = v.size() >= 2 ? v.mid(1, v.size() - 2) : QString();
    return v;
}

} // namespace

QString Json_GetValue(Interpreter &in, const QString &text, const QString &key)
{
    if (in.failed())
        return {};
    bool found = false;
    const qsizetype s = valueStart(text, key, found);
    if (!found) {
        in.RaiseMessage(178, {key});
        return {};
    }
    if (s < 0 || s >= text.size())
        return {};
    if (text.at(s) == QLatin1Char('{')) {
        // Objects do not nest: the first closing brace ends the object.
        const qsizetype close = text.indexOf(QLatin1Char('}'), s);
        return close < 0 ? QString() : text.mid(s, close - s + 1);
    }
    return scalarAt(text, s);
}

double Json_GetFloat(Interpreter &in, const QString &text, const QString &key)
{
    if (in.failed())
        return 0.0;
    const QString value = Json_GetValue(in, text, key);
    if (in.failed())
        return 0.0;
    const QString number = value.trimmed();
    const ParsedNumber n = ParseNumber(number);
    if (number.isEmpty() || !n.ok()) {
        // not a number (an empty value, "nan", a value beyond the double range): message 179
        in.RaiseMessage(179, {value, key});
        return 0.0;
    }
    return n.value;
}

QStringList Json_GetObjectArray(const QString &text, const QString &key)
{
    QStringList list;
    bool found = false;
    qsizetype pos = valueStart(text, key, found);
    if (pos < 0 || pos >= text.size() || text.at(pos) != QLatin1Char('['))
        return list;
    // The closing "]" is not looked for: every brace group to the end of the
    // text is collected.
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), pos);
        if (open <= pos)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('}'), open + 1);
        if (close < 0)
            break;
        list.append(text.mid(open, close - open + 1).trimmed());
        pos = close;
    }
    return list;
}

int WholeNumberText(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw RuntimeFailure(QStringLiteral("'%1' is not a valid integer value.").arg(text).toStdString());
    return v;
}

} // namespace tesmora
