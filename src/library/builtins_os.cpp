// Operating-system functions: Sleep, OS_OpenFile, ScanDir, Play_Sound, Exit.
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <vector>

namespace tesmora {

namespace {

[[noreturn]] void osFailure(const QString &text)
{
    throw RuntimeFailure(text.toStdString());
}

// ---- Waiting ----------------------------------------------------------------------

// How a wait ended.
enum class WaitEnd { Elapsed, PauseKey, RunStopped };

// The longest stretch the window goes without processing its events while a
// script waits.
constexpr qint64 kEventStepMs = 10;

bool running(std::uint8_t state)
{
    return state != rn_Stopped;
}

// Waits `ms` milliseconds, processing window events every few milliseconds.
// Ends early when the Pause key is down or when the run was stopped while
// events were processed (the Pause action, closing the window).
WaitEnd waitKeepingWindowAlive(Interpreter &in, qint64 ms)
{
    Host &host = in.host();
    const bool wasRunning = running(in.runState());
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            return WaitEnd::Elapsed;
        QThread::msleep(static_cast<unsigned long>(std::min(left, kEventStepMs)));
        host.processEvents();
        if (wasRunning && !running(in.runState()))
            return WaitEnd::RunStopped;
        if (host.pauseKeyDown())
            return WaitEnd::PauseKey;
    }
}

// "time nn:ss": minutes and seconds since the run started.
QString elapsedRunTime(const Interpreter &in)
{
    const qint64 ms = std::max<qint64>(0, QDateTime::currentMSecsSinceEpoch() - in.runStartTime());
    const qint64 seconds = ms / 1000;
    return QStringLiteral("time %1:%2")
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

constexpr int kElapsedTimePanel = 5;

void Sleep(FunctionCall &call)
{
    Interpreter &in = call.in;
    Host &host = in.host();
    std::int64_t ms = 0;
    if (call.has(0) && !RoundToInt64(call.number(0) * 1000.0, ms))
        osFailure(QStringLiteral("The waiting time %1 is too long.").arg(call.text(0)));
    ms = std::max<std::int64_t>(ms, 0); // a negative time waits for nothing
    host.markCurrentLine(in.currentLine());
    // Slices of at most a second: after each the elapsed time is shown and
    // the Pause key is looked at.
    const std::int64_t slices = (ms - 1) / 1000 + 1;
    const std::int64_t slice = ms / slices;
    for (std::int64_t i = 0; i < slices; ++i) {
        WaitEnd end = waitKeepingWindowAlive(in, slice);
        host.setStatusPanel(kElapsedTimePanel, elapsedRunTime(in));
        host.repaintWindow();
        if (end == WaitEnd::Elapsed && host.pauseKeyDown())
            end = WaitEnd::PauseKey;
        if (end == WaitEnd::PauseKey) {
            in.A_PauseExecute();
            break;
        }
        if (end == WaitEnd::RunStopped)
            break;
    }
    host.repaintWindow();
}

// ---- Opening documents ------------------------------------------------------------

// Catalogue message of a shell result code.
int shellMessage(int code)
{
    switch (code) {
    case 0:
        return 191;
    case 2:
        return 192;
    case 3:
        return 193;
    case 5:
        return 195;
    case 8:
        return 202;
    case 11:
        return 194;
    case 26:
        return 203;
    case 27:
        return 196;
    case 28:
        return 199;
    case 29:
        return 198;
    case 30:
        return 197;
    case 31:
        return 201;
    case 32:
        return 200;
    default:
        return 204;
    }
}

constexpr int kNoAssociation = 31;

// "https://...", "mailto:..." and the like go to the desktop as they are.
bool isWebAddress(const QString &name)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://|^mailto:"),
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(name.trimmed()).hasMatch();
}

void OS_OpenFile(FunctionCall &call)
{
    const QString &name = call.text(0);
    const std::int64_t show = call.has(1) ? call.integer(1) : 1;
    QString target = name.trimmed();
    if (!isWebAddress(name)) {
        const QFileInfo fi(resolveAgainst(call.in.programFolder(), name));
        if (!fi.exists()) {
            call.fail(QFileInfo(fi.absolutePath()).isDir() ? 192 : 193);
            return;
        }
        if (!fi.isReadable()) {
            call.fail(195);
            return;
        }
        target = fi.absoluteFilePath();
    }
    // Without a desktop (the headless runner) there is nobody to show the
    // document to: the request counts as done.
    ShellOpener *shell = call.in.services().shell;
    if (!shell) {
        call.setBool(true);
        return;
    }
    QString error;
    if (shell->open(target, static_cast<int>(std::clamp<std::int64_t>(show, -1, 1000)), error)) {
        call.setBool(true);
        return;
    }
    bool numeric = false;
    const int code = error.trimmed().toInt(&numeric);
    if (!numeric && !error.trimmed().isEmpty()) {
        call.fail(error);
        return;
    }
    const int c = numeric ? code : kNoAssociation;
    call.fail(shellMessage(c), {c});
}

// ---- Directory listing ------------------------------------------------------------

// File masks as the original platform reads them: "*" any run of characters,
// "?" one character (or none at a dot or at the end of the name), "*." and
// ".*" treat a name without an extension as having an empty one; letters
// compare without regard to case.
class FileMask {
  public:
    explicit FileMask(const QString &mask)
    {
        const QString m = mask == QLatin1String("*.*") ? QStringLiteral("*") : mask;
        for (qsizetype i = 0; i < m.size(); ++i) {
            const QChar c = m.at(i);
            const QChar next = i + 1 < m.size() ? m.at(i + 1) : QChar();
            if (c == QLatin1Char('*'))
                tokens_.push_back({next == QLatin1Char('.') ? DosStar : Star, QChar()});
            else if (c == QLatin1Char('?'))
                tokens_.push_back({DosQm, QChar()});
            else if (c == QLatin1Char('.') &&
                     (next.isNull() || next == QLatin1Char('*') || next == QLatin1Char('?')))
                tokens_.push_back({DosDot, QChar()});
            else
                tokens_.push_back({Char, c.toCaseFolded()});
        }
    }

    bool matches(const QString &name) const
    {
        name_ = name.toCaseFolded();
        lastDot_ = name_.lastIndexOf(QLatin1Char('.'));
        memo_.assign((tokens_.size() + 1) * static_cast<size_t>(name_.size() + 1), -1);
        return match(0, 0);
    }

  private:
    enum Kind { Char, Star, DosStar, DosQm, DosDot };
    struct Token {
        Kind kind;
        QChar c;
    };
    std::vector<Token> tokens_;
    mutable QString name_;
    mutable qsizetype lastDot_ = -1;
    mutable std::vector<signed char> memo_;

    bool match(size_t t, qsizetype n) const
    {
        signed char &m = memo_[t * static_cast<size_t>(name_.size() + 1) + static_cast<size_t>(n)];
        if (m < 0)
            m = compute(t, n) ? 1 : 0;
        return m == 1;
    }

    bool compute(size_t t, qsizetype n) const
    {
        const qsizetype len = name_.size();
        if (t == tokens_.size())
            return n == len;
        const Token &tok = tokens_[t];
        switch (tok.kind) {
        case Char:
            return n < len && name_.at(n) == tok.c && match(t + 1, n + 1);
        case Star:
            for (qsizetype k = n; k <= len; ++k)
                if (match(t + 1, k))
                    return true;
            return false;
        case DosStar: {
            // Up to the final dot of the name, not past it.
            const qsizetype limit = lastDot_ >= n ? lastDot_ : len;
            for (qsizetype k = n; k <= limit; ++k)
                if (match(t + 1, k))
                    return true;
            return false;
        }
        case DosQm:
            if (n == len || name_.at(n) == QLatin1Char('.')) {
                size_t u = t;
                while (u < tokens_.size() && tokens_[u].kind == DosQm)
                    ++u;
                if (match(u, n))
                    return true;
                return n < len && match(t + 1, n + 1);
            }
            return match(t + 1, n + 1);
        case DosDot:
            if (n == len)
                return match(t + 1, n);
            return name_.at(n) == QLatin1Char('.') && match(t + 1, n + 1);
        }
        return false;
    }
};

void ScanDir(FunctionCall &call)
{
    Interpreter &in = call.in;
    QString dir = normalizeSeparators(call.text(0).trimmed());
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    QString model = normalizeSeparators(call.has(1) ? call.text(1) : QStringLiteral("*.*"));
    const std::int64_t filter = call.has(2) ? call.integer(2) : 0;
    const std::int64_t showTime = call.has(3) ? call.integer(3) : 0;
    // A model may name folders of its own: 'Scripts\*.txt'.
    const qsizetype slash = model.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        dir += model.left(slash + 1);
        model = model.mid(slash + 1);
    }
    // A relative folder lies in the program folder, as every file name does.
    const QString folder = dir.isEmpty() ? in.programFolder() : resolveAgainst(in.programFolder(), dir);
    const FileMask mask(model.isEmpty() ? QStringLiteral("*") : model);

    QStringList names;
    QStringList times;
    if (filter == 0 || filter == 1) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                       QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &fi : entries) {
            if (filter == 0 ? !fi.isFile() : !fi.isDir())
                continue;
            if (!mask.matches(fi.fileName()))
                continue;
            names << fi.fileName();
            times << fi.lastModified().toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"));
        }
    }

    // Not a temporary name: the listing stays until the script deletes it.
    const QString arrayName =
        QStringLiteral("DIR") + QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmsszzz"));
    const qsizetype n = names.size();
    const QString dims = showTime == 0 ? QStringLiteral("[%1]").arg(n) : QStringLiteral("[%1,2]").arg(n);
    const int no =
        in.CreateArrayFromText(QStringLiteral("array ") + arrayName + dims + QStringLiteral("string"));
    if (no == 0 || in.failed())
        return;
    t_arr_specification &a = in.arrays().at(no);
    if (!cellsReady(a))
        return;
    for (qsizetype k = 0; k < n; ++k) {
        if (showTime == 0) {
            a.P->s[static_cast<size_t>(k)] = names.at(k);
        } else {
            a.P->s[static_cast<size_t>(2 * k)] = names.at(k);
            a.P->s[static_cast<size_t>(2 * k + 1)] = times.at(k);
        }
    }
    call.setArray(a.name);
}

// ---- Sound ------------------------------------------------------------------------

void Play_Sound(FunctionCall &call)
{
    Interpreter &in = call.in;
    const QString path = resolveAgainst(in.programFolder(), call.text(0).trimmed());
    const bool asynchronous = call.count() == 2 && call.integer(1) != 0;
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isDir()) {
        call.fail(170, {path});
        return;
    }
    const QString ext = fi.suffix().toLower();
    if (fi.fileName().lastIndexOf(QLatin1Char('.')) < 0 ||
        (ext != QLatin1String("wav") && ext != QLatin1String("mp3"))) {
        call.fail(172, {path});
        return;
    }
    in.host().markCurrentLine(in.currentLine());
    // Without a media player the sound is silence.
    MediaPlayer *media = in.services().media;
    if (!media)
        return;
    media->stop();
    QString error;
    const qint64 length = media->play(path, error);
    if (length < 0) {
        media->stop();
        call.fail(error.isEmpty() ? QStringLiteral("The sound \"%1\" cannot be played.").arg(path) : error);
        return;
    }
    if (asynchronous)
        return;
    // The wait never outlasts the recording; Pause ends it as it ends Sleep.
    const WaitEnd end = waitKeepingWindowAlive(in, length);
    media->stop();
    if (end == WaitEnd::PauseKey)
        in.A_PauseExecute();
}

// ---- Ending the program -------------------------------------------------------------

// The run ends here and the program closes through the window's own close
// path, which asks about unsaved changes and writes the settings.
void Exit(FunctionCall &call)
{
    Interpreter &in = call.in;
    in.RequestExit();
    if (in.services().media)
        in.services().media->stop();
    in.host().closeMainWindow();
}

} // namespace

void registerOsFunctions(BuiltinRegistry &registry)
{
    registry.add("Sleep", Sleep);
    registry.add("OS_OpenFile", OS_OpenFile);
    registry.add("ScanDir", ScanDir);
    registry.add("Play_Sound", Play_Sound);
    registry.add("Exit", Exit);
}

void addOsHelp(QList<FunctionHelp> &help)
{
    help.append(
        {FunctionTable::Embedded, "Sleep",
         u"Waits the given number of seconds (fractions allowed) before the script goes on. While it "
         u"waits the window stays responsive and the status bar shows the time since the run started. "
         u"The Pause key ends the wait and pauses the run.\r\n"
         u"Example:\r\n"
         u"FOR i = 1, 3\r\n"
         u"  Sleep(0.5)\r\n"
         u"done = 'ready'   # after a second and a half",
         u"Ждёт указанное число секунд (можно дробное), прежде чем скрипт продолжит работу. Во время "
         u"ожидания окно откликается, а строка состояния показывает время от начала запуска. Клавиша "
         u"Pause прерывает ожидание и приостанавливает выполнение.\r\n"
         u"Пример:\r\n"
         u"FOR i = 1, 3\r\n"
         u"  Sleep(0.5)\r\n"
         u"готово = 'да'   # через полторы секунды"});
    help.append(
        {FunctionTable::Embedded, "OS_OpenFile",
         u"Opens the file FileName with the application the desktop associates with it (a text file in "
         u"the text editor, a picture in the picture viewer ...) and returns true. A web address "
         u"(https://...) opens in the browser. A name without a folder is looked up in the program "
         u"folder; a missing file or folder is an error.\r\n"
         u"ShowWindow (optional, 1 by default): 0 hidden, 1 normal, 2 minimised, 3 maximised window - a "
         u"wish the desktop may ignore.\r\n"
         u"Example:\r\n"
         u"File_WriteStr('hello.txt', 'Hello!')\r\n"
         u"ok = OS_OpenFile('hello.txt')",
         u"Открывает файл FileName приложением, которое рабочий стол связывает с ним (текстовый файл - в "
         u"текстовом редакторе, рисунок - в программе просмотра ...), и возвращает true. Веб-адрес "
         u"(https://...) открывается в браузере. Имя без папки ищется в папке программы; отсутствие "
         u"файла или папки - ошибка.\r\n"
         u"ShowWindow (необязательный, по умолчанию 1): окно 0 скрытое, 1 обычное, 2 свёрнутое, 3 "
         u"развёрнутое - пожелание, которое рабочий стол может не выполнить.\r\n"
         u"Пример:\r\n"
         u"File_WriteStr('привет.txt', 'Привет!', 0, 'UTF8')\r\n"
         u"ok = OS_OpenFile('привет.txt')"});
    help.append(
        {FunctionTable::Embedded, "ScanDir",
         u"Returns a string array with the names of the files (or folders) in the folder Dir whose names "
         u"fit the pattern Model. A folder without a path lies in the program folder; an empty Dir means "
         u"the program folder itself. The names are sorted alphabetically.\r\n"
         u"Model (optional, '*.*' by default): * stands for any characters, ? for one character; "
         u"capital and small letters are the same; '*.*' fits every name.\r\n"
         u"Filter (optional, 0 by default): 0 - files, 1 - folders.\r\n"
         u"ShowTime (optional, 0 by default): 0 - an array [n] of names; otherwise an array [n,2] whose "
         u"rows hold the name and the time of the last change ('yyyy.mm.dd hh:mm:ss').\r\n"
         u"When nothing fits, the array has 0 elements.\r\n"
         u"Example:\r\n"
         u"list = ScanDir('Scripts', '*.txt')\r\n"
         u"n = Array_Length(list)\r\n"
         u"folders = ScanDir('', '*', 1, 1)",
         u"Возвращает строковый массив имён файлов (или папок) в папке Dir, подходящих под шаблон Model. "
         u"Папка без пути находится в папке программы; пустая строка Dir означает саму папку программы. "
         u"Имена упорядочены по алфавиту.\r\n"
         u"Model (необязательный, по умолчанию '*.*'): * - любые символы, ? - один символ; прописные и "
         u"строчные буквы не различаются; '*.*' подходит для любого имени.\r\n"
         u"Filter (необязательный, по умолчанию 0): 0 - файлы, 1 - папки.\r\n"
         u"ShowTime (необязательный, по умолчанию 0): 0 - массив [n] имён; иначе массив [n,2], строки "
         u"которого содержат имя и время последнего изменения ('гггг.мм.дд чч:мм:сс').\r\n"
         u"Если ничего не подошло, в массиве 0 элементов.\r\n"
         u"Пример:\r\n"
         u"список = ScanDir('Scripts', '*.txt')\r\n"
         u"n = Array_Length(список)\r\n"
         u"папки = ScanDir('', '*', 1, 1)"});
    help.append(
        {FunctionTable::Embedded, "Play_Sound",
         u"Plays the sound file FileName (.wav or .mp3). A name without a folder is looked up in the "
         u"program folder.\r\n"
         u"asinchr (optional, 0 by default): 0 - the script waits until the sound has played to its end; "
         u"1 - the script goes on at once while the sound plays.\r\n"
         u"Without a sound device the sound is silent. The Pause key ends a waiting sound.\r\n"
         u"Example:\r\n"
         u"sounds = ScanDir('', '*.wav')\r\n"
         u"IF Array_Length(sounds) > 0\r\n"
         u"  Play_Sound(sounds[1])",
         u"Проигрывает звуковой файл FileName (.wav или .mp3). Имя без папки ищется в папке программы.\r\n"
         u"asinchr (необязательный, по умолчанию 0): 0 - скрипт ждёт, пока звук не доиграет до конца; "
         u"1 - скрипт сразу продолжает работу, а звук играет.\r\n"
         u"Без звукового устройства звук не слышен. Клавиша Pause прерывает ожидание звука.\r\n"
         u"Пример:\r\n"
         u"звуки = ScanDir('', '*.wav')\r\n"
         u"IF Array_Length(звуки) > 0\r\n"
         u"  Play_Sound(звуки[1], 1)"});
    help.append(
        {FunctionTable::Embedded, "Exit",
         u"Ends the script and closes the program, the same way as closing its window: unsaved changes "
         u"of the script are asked about and the settings are saved. The lines after Exit do not run.\r\n"
         u"Example:\r\n"
         u"answer = 42\r\n"
         u"Exit()\r\n"
         u"answer = 0   # never runs",
         u"Завершает скрипт и закрывает программу так же, как закрытие её окна: о несохранённых "
         u"изменениях скрипта задаётся вопрос, настройки сохраняются. Строки после Exit не "
         u"выполняются.\r\n"
         u"Пример:\r\n"
         u"ответ = 42\r\n"
         u"Exit()\r\n"
         u"ответ = 0   # не выполняется"});
}

} // namespace tesmora
