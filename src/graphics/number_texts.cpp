#include "number_texts.h"

#include "core/numbers.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <string>

namespace tesmora {

namespace {

QString nonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// An exponent marker "E+", "E-", "e+" or "e-" at position i.
bool isExponentAt(const QString &s, qsizetype i)
{
    return i + 1 < s.size() && (s.at(i) == QLatin1Char('E') || s.at(i) == QLatin1Char('e')) &&
           (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'));
}

// Position past the quoted text that starts at i (the closing quote
// included; the end of the text when it is missing).
qsizetype skipQuoted(const QString &s, qsizetype i)
{
    const qsizetype close = s.indexOf(s.at(i), i + 1);
    return close < 0 ? s.size() : close + 1;
}

// The picture's sections, split at ";" outside quotes.
QStringList pictureSections(const QString &picture)
{
    QStringList sections;
    qsizetype start = 0;
    for (qsizetype i = 0; i < picture.size();) {
        if (isQuote(picture.at(i))) {
            i = skipQuoted(picture, i);
        } else if (picture.at(i) == QLatin1Char(';')) {
            sections.append(picture.mid(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    sections.append(picture.mid(start));
    return sections;
}

// What one section asks for.
struct SectionLayout {
    int intPlaces = 0;  // digit places before the point
    int minInt = 0;     // places from the first "0" to the point
    int fracPlaces = 0; // digit places after the point
    int minFrac = 0;    // places up to the last "0" after the point
    bool thousands = false;
    bool scientific = false;
};

SectionLayout analyseSection(const QString &s)
{
    SectionLayout l;
    bool point = false;
    bool exponent = false;
    int firstZero = -1;
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s.at(i);
        if (isQuote(c)) {
            i = skipQuoted(s, i);
            continue;
        }
        if (isExponentAt(s, i)) {
            l.scientific = true;
            exponent = true;
            i += 2;
            while (i < s.size() && s.at(i) == QLatin1Char('0'))
                ++i; // the exponent's own digits
            continue;
        }
        if (isPlaceholder(c) && !exponent) {
            if (point) {
                ++l.fracPlaces;
                if (c == QLatin1Char('0'))
                    l.minFrac = l.fracPlaces;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = l.intPlaces;
                ++l.intPlaces;
            }
        } else if (c == QLatin1Char('.')) {
            point = true;
        } else if (c == QLatin1Char(',')) {
            l.thousands = true;
        }
        ++i;
    }
    if (firstZero >= 0)
        l.minInt = l.intPlaces - firstZero;
    return l;
}

// The digits a section writes for a non-negative value.
struct PictureDigits {
    QString intDigits;
    QString fracDigits;
    int exponent = 0;
    bool zero = true; // every written digit is 0
};

PictureDigits pictureDigits(const SectionLayout &l, double value)
{
    PictureDigits d;
    std::string buf(static_cast<size_t>(340 + l.intPlaces + l.fracPlaces), '\0');
    if (l.scientific) {
        const int places = std::max(1, l.intPlaces);
        const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                     std::chars_format::scientific, places + l.fracPlaces - 1);
        const std::string t(buf.data(), r.ptr);
        const size_t e = t.find('e');
        QString mantissa = QString::fromLatin1(t.substr(0, e));
        mantissa.remove(QLatin1Char('.'));
        d.exponent = value == 0 ? 0 : std::stoi(t.substr(e + 1)) - (places - 1);
        d.intDigits = mantissa.left(places);
        d.fracDigits = mantissa.mid(places);
    } else {
        const auto r =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, l.fracPlaces);
        const QString t = QString::fromLatin1(buf.data(), r.ptr - buf.data());
        const qsizetype dot = t.indexOf(QLatin1Char('.'));
        d.intDigits = dot < 0 ? t : t.left(dot);
        d.fracDigits = dot < 0 ? QString() : t.mid(dot + 1);
        while (d.intDigits.startsWith(QLatin1Char('0')))
            d.intDigits.remove(0, 1);
        d.intDigits = d.intDigits.rightJustified(l.minInt, QLatin1Char('0'));
    }
    for (QChar c : d.intDigits + d.fracDigits)
        d.zero = d.zero && c == QLatin1Char('0');
    while (d.fracDigits.size() > l.minFrac && d.fracDigits.endsWith(QLatin1Char('0')))
        d.fracDigits.chop(1);
    return d;
}

// Writes the section with its digits.
class PictureWriter {
  public:
    PictureWriter(const SectionLayout &l, const PictureDigits &d, QChar decimalSeparator,
                  QChar thousandsSeparator)
        : l_(l), d_(d), dec_(decimalSeparator), sep_(thousandsSeparator),
          intLeft_(static_cast<int>(d.intDigits.size()))
    {
    }

    QString write(const QString &s, bool minus)
    {
        if (minus)
            out_ += QLatin1Char('-');
        for (qsizetype i = 0; i < s.size();) {
            const QChar c = s.at(i);
            if (isQuote(c)) {
                const qsizetype close = s.indexOf(c, i + 1);
                out_ += close < 0 ? s.mid(i + 1) : s.mid(i + 1, close - i - 1);
                i = close < 0 ? s.size() : close + 1;
            } else if (isExponentAt(s, i) && !exponentDone_) {
                i = writeExponent(s, i);
            } else {
                writeChar(c);
                ++i;
            }
        }
        return out_;
    }

  private:
    void writeChar(QChar c)
    {
        if (isPlaceholder(c) && !exponentDone_) {
            if (inFraction_) {
                if (fracIdx_ < d_.fracDigits.size())
                    out_ += d_.fracDigits.at(fracIdx_++);
            } else {
                ++placesSeen_;
                // the first place also writes the digits beyond the places
                writeIntDigits(l_.intPlaces - placesSeen_ + 1);
            }
        } else if (c == QLatin1Char('.')) {
            if (!inFraction_) {
                writeIntDigits(0);
                inFraction_ = true;
                if (!d_.fracDigits.isEmpty())
                    out_ += dec_;
            }
        } else if (c != QLatin1Char(',')) {
            out_ += c;
        }
    }

    // Writes the integer digits whose rank from the right is `rank` or more.
    void writeIntDigits(int rank)
    {
        while (intLeft_ > 0 && intLeft_ >= std::max(rank, 1)) {
            out_ += d_.intDigits.at(d_.intDigits.size() - intLeft_);
            --intLeft_;
            if (l_.thousands && !l_.scientific && intLeft_ > 0 && intLeft_ % 3 == 0)
                out_ += sep_;
        }
    }

    qsizetype writeExponent(const QString &s, qsizetype i)
    {
        exponentDone_ = true;
        out_ += s.at(i);
        if (d_.exponent < 0)
            out_ += QLatin1Char('-');
        else if (s.at(i + 1) == QLatin1Char('+'))
            out_ += QLatin1Char('+');
        i += 2;
        int width = 0;
        while (i < s.size() && s.at(i) == QLatin1Char('0')) {
            ++width;
            ++i;
        }
        out_ += QString::number(std::abs(d_.exponent)).rightJustified(std::min(width, 4), QLatin1Char('0'));
        return i;
    }

    const SectionLayout &l_;
    const PictureDigits &d_;
    QChar dec_;
    QChar sep_;
    QString out_;
    int intLeft_;
    int placesSeen_ = 0;
    qsizetype fracIdx_ = 0;
    bool inFraction_ = false;
    bool exponentDone_ = false;
};

} // namespace

QString FormatNumberPicture(double value, const QString &picture, QChar decimalSeparator,
                            QChar thousandsSeparator)
{
    const QStringList sections = pictureSections(picture);
    if (sections.at(0).isEmpty()) // no picture for positive values: the general number text
        return GeneralNumberText(value, decimalSeparator);
    if (!std::isfinite(value))
        return nonFiniteText(value);
    int index = value < 0 && sections.size() > 1 && !sections.at(1).isEmpty() ? 1 : 0;
    SectionLayout layout = analyseSection(sections.at(index));
    PictureDigits digits = pictureDigits(layout, std::fabs(value));
    if (digits.zero && sections.size() > 2 && !sections.at(2).isEmpty()) {
        index = 2;
        layout = analyseSection(sections.at(2));
        digits = pictureDigits(layout, 0.0);
    }
    const bool minus = value < 0 && index == 0 && !digits.zero;
    return PictureWriter(layout, digits, decimalSeparator, thousandsSeparator)
        .write(sections.at(index), minus);
}

QString FixedNumberText(double value, int precision, int digits, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                           std::max(precision, 1) - 1);
    double rounded = 0.0;
    std::from_chars(buf, r.ptr, rounded);
    r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, digits);
    QString text = QString::fromLatin1(buf, r.ptr - buf);
    bool zero = true;
    for (QChar c : text)
        zero = zero && (c == QLatin1Char('0') || c == QLatin1Char('-') || c == QLatin1Char('.'));
    if (zero) // "-0.00" is written without its sign
        text.remove(QLatin1Char('-'));
    return text.replace(QLatin1Char('.'), decimalSeparator);
}

} // namespace tesmora
