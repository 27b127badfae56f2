// Date and time functions: Date_Time_Format with its format language,
// UNIXTimeToDateTime and DateTimeToUNIXTime.
//
// A moment travels as a date-time number: days since 1899-12-30 00:00 with
// the time of day as the fraction (1970-01-01 00:00 is 25569). Splitting it
// into date and clock parts always rounds to whole milliseconds first, so a
// number that lands a hair below a whole second (the usual outcome of the
// division by 86400) still shows that second.
#include "builtin_families.h"
#include "core/interpreter.h"
#include "core/numbers.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tesmora {

namespace {

constexpr double kUnixEpochDays = 25569.0; // 1970-01-01 as a date-time number
constexpr std::int64_t kMsPerDay = 86400000;
// The moments JavaScript dates can hold: 100 000 000 days either side of 1970.
constexpr double kMaxDaysFromEpoch = 1.0e8;

const QDate &dateTimeZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

// One moment split into its calendar and clock parts.
struct Moment {
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
    QTime time() const { return QTime(hour, minute, second, msec); }
};

Moment momentOf(const QDate &date, const QTime &time)
{
    return {date, time.hour(), time.minute(), time.second(), time.msec()};
}

Moment currentLocalMoment()
{
    const QDateTime now = QDateTime::currentDateTime();
    return momentOf(now.date(), now.time());
}

// Splits a date-time number; false when it lies outside the dates a moment
// can have.
bool splitDateTime(double dateTime, Moment &m)
{
    if (!std::isfinite(dateTime) || std::fabs(dateTime - kUnixEpochDays) > kMaxDaysFromEpoch)
        return false;
    const std::int64_t total = std::llround(dateTime * static_cast<double>(kMsPerDay));
    std::int64_t days = total / kMsPerDay;
    std::int64_t msOfDay = total % kMsPerDay;
    if (msOfDay < 0) {
        msOfDay += kMsPerDay;
        --days;
    }
    m.date = dateTimeZero().addDays(days);
    const int ms = static_cast<int>(msOfDay);
    m.hour = ms / 3600000;
    m.minute = ms / 60000 % 60;
    m.second = ms / 1000 % 60;
    m.msec = ms % 1000;
    return true;
}

bool splitOrRaise(FunctionCall &c, double dateTime, double shownValue, Moment &m)
{
    if (splitDateTime(dateTime, m))
        return true;
    c.fail(QStringLiteral("The date-time value %1 is out of range.").arg(FormatNumber(shownValue)));
    return false;
}

// ---- Regional settings ------------------------------------------------

// The first separator character of a Qt date or time format (no letter, no
// blank, no quote), or `fallback` when the format has none.
QChar formatSeparator(const QString &format, QChar fallback)
{
    for (const QChar ch : format) {
        if (!ch.isLetter() && !ch.isSpace() && ch != QLatin1Char('\''))
            return ch;
    }
    return fallback;
}

QChar systemDateSeparator(const QLocale &loc)
{
    return formatSeparator(loc.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
}

QChar systemTimeSeparator(const QLocale &loc)
{
    return formatSeparator(loc.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
}

// A Qt time format without its time-zone field: the moments shown here are
// local clock readings that carry no zone.
QString withoutZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t'))
            continue;
        out += ch;
    }
    return out.simplified();
}

QString systemTimeText(const QLocale &loc, const Moment &m, QLocale::FormatType type)
{
    return loc.toString(m.time(), withoutZone(loc.timeFormat(type)));
}

// ---- The format language --------------------------------------------

QString padded(int value, int width)
{
    const QString digits = QString::number(std::abs(value)).rightJustified(width, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

bool startsWithCode(const QString &format, qsizetype at, QLatin1String code)
{
    return QStringView(format).mid(at, code.size()).compare(code, Qt::CaseInsensitive) == 0;
}

bool isQuote(QChar ch)
{
    return ch == QLatin1Char('"') || ch == QLatin1Char('\'');
}

// What the format asks for as a whole: the 12-hour clock (an am/pm code
// anywhere outside quoted text) and the month-name form (the form used
// inside a date when a day number is present, else the standalone form).
struct FormatTraits {
    bool twelveHour = false;
    bool dayNumber = false;
};

FormatTraits traitsOf(const QString &format)
{
    FormatTraits t;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (isQuote(ch)) {
            const qsizetype close = format.indexOf(ch, i + 1);
            if (close < 0)
                break;
            i = close;
            continue;
        }
        const QChar lower = ch.toLower();
        if (lower == QLatin1Char('a') && (startsWithCode(format, i, QLatin1String("am/pm")) ||
                                          startsWithCode(format, i, QLatin1String("a/p")) ||
                                          startsWithCode(format, i, QLatin1String("ampm"))))
            t.twelveHour = true;
        if (lower == QLatin1Char('d')) {
            qsizetype run = 1;
            while (i + run < format.size() && format.at(i + run).toLower() == QLatin1Char('d'))
                ++run;
            if (run <= 2)
                t.dayNumber = true;
            i += run - 1;
        }
    }
    return t;
}

// The text of one code of a format for one moment.
class CodeWriter {
  public:
    CodeWriter(const QString &format, const Moment &m)
        : format_(format), m_(m), loc_(QLocale::system()), traits_(traitsOf(format))
    {
    }

    // The text of the code that starts at `i` with the letter `code`
    // repeated `run` times; a code shorter than its run (c, am/pm) sets
    // `run` to the letters it took. `lastCode` tells a minute "m" (after
    // an hour) from a month.
    QString code(qsizetype i, QChar code, qsizetype &run, QChar lastCode) const
    {
        switch (code.unicode()) {
        case 'd':
            return day(run);
        case 'm':
            return lastCode == QLatin1Char('h') ? number(m_.minute, run, 2) : month(run);
        case 'y':
            return run <= 2 ? padded(std::abs(m_.date.year()) % 100, 2) : padded(m_.date.year(), 4);
        case 'h':
            return number(shownHour(), run, 2);
        case 'n':
            return number(m_.minute, run, 2);
        case 's':
            return number(m_.second, run, 2);
        case 'z':
            return run <= 2 ? QString::number(m_.msec) : padded(m_.msec, 3);
        case 't':
            return systemTimeText(loc_, m_, run == 1 ? QLocale::ShortFormat : QLocale::LongFormat);
        case 'c':
            // Each c stands for itself: short date, then the long time
            // unless the clock shows 00:00:00.
            run = 1;
            if (m_.hour != 0 || m_.minute != 0 || m_.second != 0)
                return loc_.toString(m_.date, QLocale::ShortFormat) + QLatin1Char(' ') +
                       systemTimeText(loc_, m_, QLocale::LongFormat);
            return loc_.toString(m_.date, QLocale::ShortFormat);
        case 'a':
            return amPm(i, run);
        default:
            // Letters that are no code are copied as they stand.
            return format_.mid(i, run);
        }
    }

    const QLocale &locale() const { return loc_; }

  private:
    // One letter: the number as it is; more: padded to `width` digits.
    static QString number(int value, qsizetype run, int width)
    {
        return run == 1 ? QString::number(value) : padded(value, width);
    }

    int shownHour() const
    {
        if (!traits_.twelveHour)
            return m_.hour;
        return m_.hour % 12 == 0 ? 12 : m_.hour % 12;
    }

    QString day(qsizetype run) const
    {
        if (run <= 2)
            return number(m_.date.day(), run, 2);
        if (run == 3)
            return loc_.dayName(m_.date.dayOfWeek(), QLocale::ShortFormat);
        if (run == 4)
            return loc_.dayName(m_.date.dayOfWeek(), QLocale::LongFormat);
        return loc_.toString(m_.date, run == 5 ? QLocale::ShortFormat : QLocale::LongFormat);
    }

    QString month(qsizetype run) const
    {
        if (run <= 2)
            return number(m_.date.month(), run, 2);
        const QLocale::FormatType type = run == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
        return traits_.dayNumber ? loc_.monthName(m_.date.month(), type)
                                 : loc_.standaloneMonthName(m_.date.month(), type);
    }

    // "am/pm" and "a/p" show their own letters, "ampm" the system's texts.
    QString amPm(qsizetype i, qsizetype &run) const
    {
        if (startsWithCode(format_, i, QLatin1String("am/pm"))) {
            run = 5;
            return format_.mid(m_.hour < 12 ? i : i + 3, 2);
        }
        if (startsWithCode(format_, i, QLatin1String("a/p"))) {
            run = 3;
            return format_.at(m_.hour < 12 ? i : i + 2);
        }
        if (startsWithCode(format_, i, QLatin1String("ampm"))) {
            run = 4;
            return m_.hour < 12 ? loc_.amText() : loc_.pmText();
        }
        run = 1;
        return format_.at(i); // a lone "a" is no code
    }

    const QString &format_;
    const Moment &m_;
    const QLocale loc_;
    const FormatTraits traits_;
};

QString formatMoment(const QString &format, const Moment &m)
{
    const CodeWriter writer(format, m);
    QString out;
    QChar lastCode; // the last letter read outside quoted text
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar ch = format.at(i);
        if (isQuote(ch)) {
            qsizetype close = format.indexOf(ch, i + 1);
            if (close < 0)
                close = format.size();
            out += format.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (!ch.isLetter()) {
            if (ch == QLatin1Char('/'))
                out += systemDateSeparator(writer.locale());
            else if (ch == QLatin1Char(':'))
                out += systemTimeSeparator(writer.locale());
            else
                out += ch;
            ++i;
            continue;
        }
        const QChar code = ch.toLower();
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run).toLower() == code)
            ++run;
        out += writer.code(i, code, run, lastCode);
        lastCode = code;
        i += run;
    }
    return out;
}

// ---- Reading numbers --------------------------------------------------

// A decimal integer with optional blanks around it and an optional sign.
bool readDecimal(const QString &text, std::int64_t &value)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == t.size() || t.size() - i > 15)
        return false;
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        const char16_t u = t.at(i).unicode();
        if (u < '0' || u > '9')
            return false;
        v = v * 10 + (u - '0');
    }
    value = negative ? -v : v;
    return true;
}

bool readDecimalOrRaise(FunctionCall &c, const QString &text, std::int64_t &value)
{
    if (readDecimal(text, value))
        return true;
    c.fail(QStringLiteral("\"%1\" is not a decimal integer.").arg(text));
    return false;
}

// ---- The functions ----------------------------------------------------

void fnDateTimeFormat(FunctionCall &c)
{
    Moment m;
    if (!c.has(1)) {
        m = currentLocalMoment();
    } else {
        // The local time comes from the JavaScript engine's offset of the
        // current moment (UTC minus local time, in minutes).
        QString answer;
        if (!c.in.RunJavaScript(QStringLiteral("(new Date()).getTimezoneOffset()"), answer))
            return;
        std::int64_t offset = 0;
        if (!readDecimalOrRaise(c, answer, offset))
            return;
        const double ms = c.number(1);
        const double dateTime =
            (ms - static_cast<double>(offset) * 60000.0) / 1000.0 / 86400.0 + kUnixEpochDays;
        if (!splitOrRaise(c, dateTime, ms, m))
            return;
    }
    c.setText(formatMoment(c.text(0), m));
}

const QString &unixTextFormat()
{
    static const QString format = QStringLiteral("dd.MM.yyyy hh:nn:ss");
    return format;
}

void fnUnixTimeToDateTime(FunctionCall &c)
{
    Moment m;
    if (!c.has(0)) {
        m = currentLocalMoment();
    } else {
        const std::int64_t seconds = c.integer(0);
        if (seconds < std::numeric_limits<std::int32_t>::min() ||
            seconds > std::numeric_limits<std::int32_t>::max()) {
            c.fail(QStringLiteral("The value %1 is outside the range of UNIX time stamps "
                                  "(-2147483648 to 2147483647).")
                       .arg(FormatNumber(c.number(0))));
            return;
        }
        if (!splitOrRaise(c, static_cast<double>(seconds) / 86400.0 + kUnixEpochDays, c.number(0), m))
            return;
    }
    c.setText(formatMoment(unixTextFormat(), m));
}

void fnDateTimeToUnixTime(FunctionCall &c)
{
    static const QDate epoch(1970, 1, 1);
    if (!c.has(0)) {
        const Moment now = currentLocalMoment();
        const double seconds = static_cast<double>(epoch.daysTo(now.date)) * 86400.0 +
                               now.time().msecsSinceStartOfDay() / 1000.0;
        c.setNumber(RoundHalfEven(seconds));
        return;
    }
    const QString &text = c.text(0);
    // The year takes characters 7-10: a shorter text would silently read a
    // two-digit year as a year of the first century.
    if (text.size() < 10) {
        c.fail(QStringLiteral("The date text \"%1\" is too short: dd.mm.yyyy or dd.mm.yyyy hh:nn:ss "
                              "is expected.")
                   .arg(text));
        return;
    }
    std::int64_t hour = 0, minute = 0, second = 0;
    if (text.size() == 19) {
        if (!readDecimalOrRaise(c, text.mid(11, 2), hour) ||
            !readDecimalOrRaise(c, text.mid(14, 2), minute) ||
            !readDecimalOrRaise(c, text.mid(17, 2), second))
            return;
    }
    std::int64_t day = 0, month = 0, year = 0;
    if (!readDecimalOrRaise(c, text.mid(0, 2), day) || !readDecimalOrRaise(c, text.mid(3, 2), month) ||
        !readDecimalOrRaise(c, text.mid(6, 4), year))
        return;
    const bool dateOk =
        year >= 1 && year <= 9999 && month >= 1 && month <= 12 &&
        QDate::isValid(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    if (!dateOk) {
        c.fail(QStringLiteral("Day %1, month %2 and year %3 do not form a valid date.")
                   .arg(day)
                   .arg(month)
                   .arg(year));
        return;
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        c.fail(QStringLiteral("Hours %1, minutes %2 and seconds %3 do not form a valid time.")
                   .arg(hour)
                   .arg(minute)
                   .arg(second));
        return;
    }
    const QDate date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    const std::int64_t seconds = epoch.daysTo(date) * 86400 + hour * 3600 + minute * 60 + second;
    c.setNumber(static_cast<double>(seconds));
}

} // namespace

void registerDateTimeFunctions(BuiltinRegistry &registry)
{
    registry.add("Date_Time_Format", fnDateTimeFormat);
    registry.add("UNIXTimeToDateTime", fnUnixTimeToDateTime);
    registry.add("DateTimeToUNIXTime", fnDateTimeToUnixTime);
}

} // namespace tesmora
