#include "ini_file.h"

#include <QFile>
#include <QSaveFile>

namespace tesmora {

namespace {

// "[Name]" → Name; empty for a line that is no section header.
QString headerName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return close < 0 ? QString() : t.mid(1, close - 1).trimmed();
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

} // namespace

bool IniFile::load()
{
    lines_.clear();
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines_ = text.split(QLatin1Char('\n'));
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();
    return true;
}

bool IniFile::save() const
{
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QString &l : lines_)
        bytes += l.toUtf8() + "\r\n";
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

int IniFile::sectionLine(const QString &section) const
{
    for (int i = 0; i < lines_.size(); ++i) {
        const QString name = headerName(lines_.at(i));
        if (!name.isEmpty() && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < lines_.size() && headerName(lines_.at(i)).isEmpty())
        ++i;
    return i;
}

int IniFile::keyLine(int header, const QString &key) const
{
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString &l = lines_.at(i);
        const qsizetype eq = l.indexOf(QLatin1Char('='));
        if (eq > 0 && !isComment(l) && l.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    const int header = sectionLine(section);
    return header >= 0 && keyLine(header, key) >= 0;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const int header = sectionLine(section);
    const int at = header < 0 ? -1 : keyLine(header, key);
    if (at < 0)
        return fallback;
    const QString &l = lines_.at(at);
    return l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int IniFile::intValue(const QString &section, const QString &key, int fallback) const
{
    bool ok = false;
    const int v = value(section, key).toInt(&ok);
    return ok ? v : fallback;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    int header = sectionLine(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
            lines_.append(QString());
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        header = static_cast<int>(lines_.size()) - 1;
    }
    const QString line = key + QLatin1Char('=') + value;
    const int at = keyLine(header, key);
    if (at >= 0) {
        // The key keeps the spelling it has in the file.
        const QString &old = lines_.at(at);
        lines_[at] = old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value;
        return;
    }
    // After the section's last entry, before blank lines that separate it
    // from the next section.
    int end = sectionEnd(header);
    while (end > header + 1 && lines_.at(end - 1).trimmed().isEmpty())
        --end;
    lines_.insert(end, line);
}

} // namespace tesmora
