#include "media_player.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

namespace tesmora {

namespace {

// The folders GStreamer loads its plugins from, as it finds them itself.
QStringList gstreamerPluginFolders()
{
    QStringList folders;
    auto addList = [&](const char *variable) {
        const QString value = qEnvironmentVariable(variable);
        for (const QString &f : value.split(QLatin1Char(':'), Qt::SkipEmptyParts))
            folders << f;
    };
    addList("GST_PLUGIN_PATH_1_0");
    addList("GST_PLUGIN_PATH");
    const bool systemGiven = qEnvironmentVariableIsSet("GST_PLUGIN_SYSTEM_PATH_1_0") ||
                             qEnvironmentVariableIsSet("GST_PLUGIN_SYSTEM_PATH");
    addList("GST_PLUGIN_SYSTEM_PATH_1_0");
    addList("GST_PLUGIN_SYSTEM_PATH");
    if (!systemGiven) {
        folders << QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/gstreamer-1.0")
                << QStringLiteral("/usr/lib/gstreamer-1.0") << QStringLiteral("/usr/lib64/gstreamer-1.0")
                << QStringLiteral("/usr/local/lib/gstreamer-1.0")
                << QDir::homePath() + QStringLiteral("/.local/share/gstreamer-1.0/plugins");
    }
    return folders;
}

// QMediaPlayer of the GStreamer back end needs the "playbin" element, which
// the playback plugin of gstreamer1.0-plugins-base provides.
bool backendInstalled()
{
    const QByteArray backend = qgetenv("QT_MEDIA_BACKEND");
    if (!backend.isEmpty() && backend != "gstreamer")
        return true;
    for (const QString &folder : gstreamerPluginFolders())
        if (QFileInfo::exists(folder + QStringLiteral("/libgstplayback.so")))
            return true;
    return false;
}

bool hasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

} // namespace

bool wavLengthMs(const QString &path, qint64 &ms)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    quint32 byteRate = 0;
    for (;;) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8)
            return false;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        const QByteArray id = chunk.left(4);
        if (id == "fmt ") {
            const QByteArray fmt = f.read(qMin<quint32>(size, 16));
            if (fmt.size() < 16)
                return false;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
            if (!f.seek(f.pos() + (size - 16) + (size & 1)))
                return false;
        } else if (id == "data") {
            if (byteRate == 0)
                return false;
            // A header written while recording may give no size: the data
            // runs to the end of the file.
            const qint64 present = f.size() - f.pos();
            const qint64 bytes = qMin<qint64>(size, present);
            ms = bytes * 1000 / byteRate;
            return true;
        } else if (!f.seek(f.pos() + size + (size & 1))) {
            return false;
        }
    }
}

QtMediaPlayer::QtMediaPlayer(bool needsOutputDevice) : needsOutputDevice_(needsOutputDevice) {}

QtMediaPlayer::~QtMediaPlayer()
{
    if (player_)
        player_->stop();
}

bool QtMediaPlayer::backendAvailable()
{
    return QCoreApplication::instance() && backendInstalled();
}

bool QtMediaPlayer::audible()
{
    return backendAvailable() && hasAudioOutput();
}

bool QtMediaPlayer::ensurePlayer()
{
    if (player_)
        return true;
    if (unavailable_)
        return false;
    if (!backendAvailable() || (needsOutputDevice_ && !hasAudioOutput())) {
        unavailable_ = true;
        return false;
    }
    output_ = std::make_unique<QAudioOutput>(QMediaDevices::defaultAudioOutput());
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
    return true;
}

qint64 QtMediaPlayer::play(const QString &path, QString &error)
{
    error.clear();
    stop();
    qint64 headerLength = 0;
    const bool isWav = QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
    if (isWav && !wavLengthMs(path, headerLength)) {
        error = QStringLiteral("The file \"%1\" is not a playable WAV recording.").arg(path);
        return -1;
    }
    if (!QFileInfo(path).isReadable()) {
        error = QStringLiteral("The file \"%1\" cannot be read.").arg(path);
        return -1;
    }
    // Silence: nobody would hear it, so it is not played at all.
    if (!ensurePlayer())
        return headerLength;

    QMediaPlayer &p = *player_;
    p.setSource(QUrl::fromLocalFile(path));
    qint64 length = headerLength;
    if (!isWav) {
        // The length is known once the back end has looked at the file.
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&p, &QMediaPlayer::durationChanged, &loop, [&loop](qint64 d) {
            if (d > 0)
                loop.quit();
        });
        QObject::connect(&p, &QMediaPlayer::mediaStatusChanged, &loop, [&loop](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia)
                loop.quit();
        });
        QObject::connect(&p, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
        if (p.duration() <= 0 && p.error() == QMediaPlayer::NoError &&
            p.mediaStatus() != QMediaPlayer::InvalidMedia) {
            timeout.start(kLengthProbeMs);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        if (p.error() != QMediaPlayer::NoError || p.mediaStatus() == QMediaPlayer::InvalidMedia) {
            error = p.errorString().isEmpty() ? QStringLiteral("The file \"%1\" cannot be played.").arg(path)
                                              : p.errorString();
            p.setSource(QUrl());
            return -1;
        }
        length = qMax<qint64>(0, p.duration());
    }
    p.play();
    return length;
}

void QtMediaPlayer::stop()
{
    if (player_ && player_->playbackState() != QMediaPlayer::StoppedState)
        player_->stop();
}

} // namespace tesmora
