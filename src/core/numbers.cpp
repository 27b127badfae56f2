#include "numbers.h"

#include <QLocale>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <limits>

namespace tesmora {

namespace {

// "00" to "99", for writing two digits at a time.
constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324"
                               "25262728293031323334353637383940414243444546474849"
                               "50515253545556575859606162636465666768697071727374"
                               "75767778798081828384858687888990919293949596979899";

// Writes v in decimal; returns how many characters.
int wholeDigits(std::uint64_t v, char *out)
{
    char text[20];
    int p = sizeof text;
    for (; v >= 100; v /= 100) {
        p -= 2;
        std::memcpy(text + p, kDigitPairs + 2 * (v % 100), 2);
    }
    if (v >= 10) {
        p -= 2;
        std::memcpy(text + p, kDigitPairs + 2 * v, 2);
    } else {
        text[--p] = static_cast<char>('0' + v);
    }
    const int n = static_cast<int>(sizeof text) - p;
    std::memcpy(out, text + p, static_cast<size_t>(n));
    return n;
}

// y = ax * 10^k as an exact quotient, ax = m * 2^e: its floor q and how
// the remainder compares with one half (-1 below, 0 exactly, +1 above).
// Returns false where the quotient's terms would not fit 128 bits.
bool scaledFloor(std::uint64_t m, int e, int k, std::uint64_t &q, int &half)
{
    using U = unsigned __int128;
    if (k > 27 || k < -22) // 5^27 < 2^63, 10^22 < 2^74
        return false;
    static constexpr auto fives = [] {
        std::array<std::uint64_t, 28> p{};
        p[0] = 1;
        for (std::size_t i = 1; i < p.size(); ++i)
            p[i] = p[i - 1] * 5;
        return p;
    }();
    U num = m; // below 2^53
    if (k >= 0) {
        num *= fives[static_cast<std::size_t>(k)]; // below 2^116
        e += k;                                    // 10^k = 5^k * 2^k
        if (e >= 0) {
            if (e > 127 - 116)
                return false;
            q = static_cast<std::uint64_t>(num << e);
            half = -1;
            return (num << e) >> 63 == 0;
        }
        if (-e > 127)
            return false;
        const U quot = num >> -e;
        const U rest = num - (quot << -e);
        const U halfUnit = U(1) << (-e - 1);
        q = static_cast<std::uint64_t>(quot);
        half = rest < halfUnit ? -1 : (rest == halfUnit ? 0 : 1);
        return quot >> 63 == 0;
    }
    U den = U(fives[static_cast<std::size_t>(-k)]) << -k; // 10^-k, below 2^74
    if (e >= 0) {
        if (e > 127 - 53)
            return false;
        num <<= e;
    } else {
        den <<= -e; // ax >= 1e15 here, so e > -4
    }
    const U quot = num / den;
    const U twice = (num - quot * den) * 2;
    q = static_cast<std::uint64_t>(quot);
    half = twice < den ? -1 : (twice == den ? 0 : 1);
    return quot >> 63 == 0;
}

// The 15 significant digits of ax (normal, > 0) as a whole number in
// [1e14, 1e15), and the decimal exponent of its first digit, computed with
// exact integers and ties to even, as C's "%.14e" rounds. Returns false
// where the magnitude is outside the range the integers can hold.
bool fifteenDigitsExact(double ax, std::uint64_t &n, int &exp10)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &ax, sizeof bits);
    const int field = static_cast<int>(bits >> 52);
    if (field == 0) // subnormal
        return false;
    const std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    const int e = field - 1075;
    // floor(log10(2^(e+52))): the exponent of the first digit, or one less.
    // (78913 / 2^18 is log10(2) to six digits; the loop mends an estimate
    // that is one off.)
    int first = ((e + 52) * 78913) >> 18;
    constexpr std::uint64_t low = 100000000000000ULL, high = 1000000000000000ULL;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::uint64_t q = 0;
        int half = 0;
        if (!scaledFloor(m, e, 14 - first, q, half))
            return false;
        if (q >= high) {
            ++first;
            continue;
        }
        if (q < low) {
            --first;
            continue;
        }
        if (half > 0 || (half == 0 && (q & 1)))
            ++q;
        if (q == high) {
            q = low;
            ++first;
        }
        n = q;
        exp10 = first;
        return true;
    }
    return false;
}

// fifteenDigits by the general conversion, for any magnitude.
int fifteenDigitsByConversion(double ax, char *digits, int &exp10)
{
    // d.dddddddddddddde[+-]xx
    char text[40];
    const auto res = std::to_chars(text, text + sizeof text, ax, std::chars_format::scientific, 14);
    const char *end = res.ptr;
    const char *e = text;
    while (e < end && *e != 'e')
        ++e;
    int n = 0;
    for (const char *p = text; p < e; ++p)
        if (*p != '.')
            digits[n++] = *p;
    exp10 = 0;
    bool negExp = false;
    const char *p = e + 1;
    if (p < end && (*p == '-' || *p == '+'))
        negExp = *p++ == '-';
    for (; p < end; ++p)
        exp10 = exp10 * 10 + (*p - '0');
    if (negExp)
        exp10 = -exp10;
    return n;
}

// The digits of ax (finite, > 0) rounded to 15 significant digits, without
// trailing zeros, and the decimal exponent of the first digit; returns how
// many digits.
int fifteenDigits(double ax, char *digits, int &exp10)
{
    std::uint64_t whole = 0;
    int n = fifteenDigitsExact(ax, whole, exp10) ? wholeDigits(whole, digits) // 15 digits
                                                 : fifteenDigitsByConversion(ax, digits, exp10);
    while (n > 1 && digits[n - 1] == '0')
        --n;
    return n;
}

// The number the general text of x (finite, not whole) reads back as, found
// without writing it: its 15 digits n and exponent give n * 10^k, and with
// n < 2^53 and |k| <= 22 both factors are exact doubles, so one rounded
// product or quotient is the correctly rounded reading of the text, as
// from_chars gives it. False outside that range. (The general text of the
// result is again the text of x: a double is far closer to n * 10^k than
// half a unit of the 15th digit.)
bool readBackWithoutText(double x, double &back)
{
    static constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t n = 0;
    int exp10 = 0;
    if (!std::isfinite(x) || x == 0 || !fifteenDigitsExact(std::fabs(x), n, exp10))
        return false;
    const int k = exp10 - 14; // x ~ n * 10^k
    if (k < -22 || k > 22)
        return false;
    const double whole = static_cast<double>(n);
    const double y = k < 0 ? whole / kTens[-k] : whole * kTens[k];
    back = x < 0 ? -y : y;
    return true;
}

} // namespace

int GeneralNumberChars(double x, char *out, char dec)
{
    const auto copy = [out](const char *s) {
        const int n = static_cast<int>(std::strlen(s));
        std::memcpy(out, s, static_cast<size_t>(n));
        return n;
    };
    if (std::isnan(x))
        return copy("NAN");
    if (std::isinf(x))
        return copy(x < 0 ? "-INF" : "INF");
    if (x == 0.0)
        return copy("0");
    int o = 0;
    if (x < 0)
        out[o++] = '-';
    const double ax = std::fabs(x);
    // Whole numbers of up to 15 digits are written as they are.
    if (ax < 1e15) {
        const auto whole = static_cast<std::uint64_t>(ax);
        if (static_cast<double>(whole) == ax)
            return o + wholeDigits(whole, out + o);
    }
    char digits[20];
    int exp10 = 0;
    const int n = fifteenDigits(ax, digits, exp10);
    const int ex = exp10 + 1; // value = 0.d1d2... x 10^ex
    if (ex >= -3 && ex <= 15) {
        if (ex <= 0) {
            out[o++] = '0';
            out[o++] = dec;
            for (int k = 0; k < -ex; ++k)
                out[o++] = '0';
            for (int k = 0; k < n; ++k)
                out[o++] = digits[k];
        } else {
            for (int k = 0; k < ex; ++k)
                out[o++] = k < n ? digits[k] : '0';
            if (n > ex) {
                out[o++] = dec;
                for (int k = ex; k < n; ++k)
                    out[o++] = digits[k];
            }
        }
    } else {
        out[o++] = digits[0];
        if (n > 1) {
            out[o++] = dec;
            for (int k = 1; k < n; ++k)
                out[o++] = digits[k];
        }
        out[o++] = 'E';
        const int shown = ex - 1;
        if (shown < 0)
            out[o++] = '-';
        auto r2 = std::to_chars(out + o, out + kNumberChars, std::abs(shown));
        o = static_cast<int>(r2.ptr - out);
    }
    return o;
}

QString GeneralNumberText(double x, QChar sep)
{
    char out[kNumberChars];
    const char dec = sep.unicode() < 128 ? static_cast<char>(sep.unicode()) : '.';
    QString text;
    AssignAscii(text, out, GeneralNumberChars(x, out, dec));
    if (sep.unicode() >= 128)
        text.replace(QLatin1Char('.'), sep);
    return text;
}

void AssignAscii(QString &text, const char *s, int n)
{
    QString::DataPointer &own = text.data_ptr();
    if (text.isDetached() && n <= text.capacity() - own.freeSpaceAtBegin()) {
        // In place, as resize() does it, but without a call: the characters
        // are the string's own, and every string's buffer has room for the
        // closing zero after its capacity.
        own.size = n;
        own.data()[n] = u'\0';
    } else
        text = QString(n, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    for (int k = 0; k < n; ++k)
        d[k] = static_cast<unsigned char>(s[k]);
}

void SetVariableNumber(Tvariable &v, double x)
{
    double back = x;
    if (NumberTextIsExact(x) || readBackWithoutText(x, back)) {
        v.setNumberOfText(back);
        return;
    }
    char out[kNumberChars];
    AssignAscii(v.textToWrite(), out, GeneralNumberChars(x, out, '.'));
}

void SetVariableText(Tvariable &v, const TWordStatus &w)
{
    double x = 0;
    if (w.textPendingFor(x))
        SetVariableNumber(v, x);
    else
        v.setText(w.text());
}

void TWordStatus::writePendingText() const
{
    textPending_ = false;
    char out[kNumberChars];
    AssignAscii(str_, out, GeneralNumberChars(pendingNumber_, out, '.'));
}

void Tvariable::writePendingText() const
{
    textPending_ = false;
    numberText_ = QString(); // leaves the text's characters unshared, if no one else has them
    char out[kNumberChars];
    AssignAscii(text_, out, GeneralNumberChars(number_, out, '.'));
    keepNumber(number_);
}

QChar systemDecimalSeparator()
{
    const QString s = QLocale::system().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.at(0);
}

QChar systemThousandsSeparator()
{
    const QString s = QLocale::system().groupSeparator();
    return s.isEmpty() ? QLatin1Char(' ') : s.at(0);
}

QString GeneralNumberTextSystem(double x)
{
    return GeneralNumberText(x, systemDecimalSeparator());
}

namespace {

// An optional minus and up to 15 digits, the common case: read without a
// conversion. False for any other text.
bool readShortInteger(const QString &text, double &value)
{
    const int len = static_cast<int>(text.size());
    const QChar *d = text.constData();
    const int start = (len > 0 && d[0] == QLatin1Char('-')) ? 1 : 0;
    if (len <= start || len - start > 15)
        return false;
    long long v = 0;
    for (int k = start; k < len; ++k) {
        const char16_t c = d[k].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    value = start ? -static_cast<double>(v) : static_cast<double>(v);
    return true;
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// The number text as ASCII for from_chars; most fit without an allocation.
using AsciiText = QVarLengthArray<char, 64>;

// Copies the ASCII digits from position i on into `ascii`; returns how many.
int takeDigits(const QString &text, int &i, AsciiText &ascii)
{
    const int start = i;
    for (; i < text.size() && isAsciiDigit(text.at(i)); ++i)
        ascii.append(char(text.at(i).unicode()));
    return i - start;
}

// Copies a sign at position i ('+' is dropped when `keepPlus` is false).
void takeSign(const QString &text, int &i, AsciiText &ascii, bool keepPlus)
{
    if (i >= text.size() || (text.at(i) != QLatin1Char('+') && text.at(i) != QLatin1Char('-')))
        return;
    if (keepPlus || text.at(i) == QLatin1Char('-'))
        ascii.append(char(text.at(i).unicode()));
    ++i;
}

// Checks [blanks][sign]digits[.digits][(e|E)[sign]digits] and copies the
// number without blanks or '+' into `ascii`; returns the 0-based position of
// the first bad character, or -1 when the whole text is a number.
int scanNumberText(const QString &text, AsciiText &ascii)
{
    const int len = static_cast<int>(text.size());
    int i = 0;
    while (i < len && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i >= len)
        return i;
    takeSign(text, i, ascii, false);
    int mantissaDigits = takeDigits(text, i, ascii);
    if (i < len && text.at(i) == QLatin1Char('.')) {
        ascii.append('.');
        ++i;
        mantissaDigits += takeDigits(text, i, ascii);
    }
    if (mantissaDigits == 0)
        return i;
    if (i < len && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ascii.append('e');
        ++i;
        takeSign(text, i, ascii, true);
        if (takeDigits(text, i, ascii) == 0)
            return i;
    }
    return i < len ? i : -1;
}

} // namespace

ParsedNumber ParseNumber(const QString &text)
{
    ParsedNumber r;
    if (readShortInteger(text, r.value))
        return r;
    AsciiText ascii;
    int bad = scanNumberText(text, ascii);
    if (bad < 0) {
        // from_chars takes no sign: the minus is applied afterwards.
        const bool negative = ascii[0] == '-';
        const char *first = ascii.data() + (negative ? 1 : 0);
        const char *end = ascii.data() + ascii.size();
        double v = 0.0;
        const auto res = std::from_chars(first, end, v);
        if (res.ec == std::errc::result_out_of_range) {
            // Underflow reads as zero; overflow is not a number.
            const char minus[] = {'e', '-'};
            if (std::search(first, end, std::begin(minus), std::end(minus)) != end)
                v = 0.0;
            else
                bad = static_cast<int>(text.size()) - 1;
        } else if (res.ec != std::errc()) {
            bad = 0;
        }
        r.value = negative ? -v : v;
    }
    if (bad >= 0) {
        r.errorPos = bad + 1;
        r.value = 0.0;
    }
    return r;
}

ParsedNumber ReadVariableNumber(const Tvariable &v)
{
    // Only the dot form is kept: the other form depends on the system's
    // decimal separator at the time of reading.
    const ParsedNumber dot = ParseNumber(v.text());
    if (!dot.ok())
        return ParseVariableNumber(v.text());
    v.keepNumber(dot.value);
    return dot;
}

ParsedNumber ParseVariableNumber(const QString &text)
{
    ParsedNumber r = ParseNumber(text);
    if (r.ok())
        return r;
    const QChar sep = systemDecimalSeparator();
    if (sep != QLatin1Char('.') && text.contains(sep) && !text.contains(QLatin1Char('.'))) {
        QString t = text;
        t.replace(sep, QLatin1Char('.'));
        const ParsedNumber again = ParseNumber(t);
        if (again.ok())
            return again;
    }
    return r;
}

bool RoundToInt64(double x, std::int64_t &out)
{
    const double r = std::nearbyint(x);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        return false;
    out = static_cast<std::int64_t>(r);
    return true;
}

bool ParseIntegerText(const QString &text, std::int64_t &out)
{
    QString t = text.trimmed();
    bool ok = false;
    bool neg = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        neg = t.startsWith(QLatin1Char('-'));
        t.remove(0, 1);
    }
    if (t.startsWith(QLatin1Char('$')))
        out = static_cast<std::int64_t>(t.mid(1).toULongLong(&ok, 16));
    else
        out = t.toLongLong(&ok, 10);
    if (neg)
        out = -out;
    return ok;
}

} // namespace tesmora
