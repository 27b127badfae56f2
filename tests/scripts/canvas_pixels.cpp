// Reads back pixels of a picture that tesmora-run --canvas wrote. Given the
// picture and an expectation file with lines "size W H" and "X Y RRGGBB",
// it prints the same lines with what the picture holds, so that the two can
// be compared; "no picture" when the file does not exist.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: canvas_pixels PICTURE.png EXPECTATIONS\n", stderr);
        return 2;
    }
    QFile expectations(QString::fromLocal8Bit(argv[2]));
    if (!expectations.open(QIODevice::ReadOnly | QIODevice::Text))
        return 2;
    // The largest canvas (two layers of 64 Mi pixels) is above the reader's
    // default allocation limit.
    QImageReader::setAllocationLimit(1024);
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    QTextStream out(stdout);
    if (picture.isNull()) {
        out << "no picture\n";
        return 0;
    }
    while (!expectations.atEnd()) {
        const QStringList f = QString::fromUtf8(expectations.readLine()).simplified().split(QLatin1Char(' '));
        if (f.size() == 3 && f[0] == QLatin1String("size")) {
            out << "size " << picture.width() << ' ' << picture.height() << '\n';
        } else if (f.size() == 3) {
            const int x = f[0].toInt();
            const int y = f[1].toInt();
            const QRgb p = picture.valid(x, y) ? picture.pixel(x, y) : 0;
            out << x << ' ' << y << ' '
                << QStringLiteral("%1").arg(p & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper() << '\n';
        }
    }
    return 0;
}
