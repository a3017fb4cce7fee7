#include "SoundPlayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <utility>

namespace {

// A WAV file loads in milliseconds; a file that takes longer is not worth
// holding the program for.
constexpr int LoadingWaitMs = 2000;

// Delivers only the sound's own queued notifications, never other events:
// this runs in destructors, where a full event loop could reach
// half-destroyed windows.
void WaitWhileLoading(QSoundEffect* sound)
{
    const QDeadlineTimer deadline(LoadingWaitMs);
    QObjectList targets = sound->children();
    targets.append(sound);
    while (sound->status() == QSoundEffect::Loading && !deadline.hasExpired()) {
        for (QObject* target : std::as_const(targets))
            QCoreApplication::sendPostedEvents(target);
        QThread::msleep(1);
    }
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
    , m_sound(new QSoundEffect(this))
{
}

SoundPlayer::~SoundPlayer()
{
    Release();
}

void SoundPlayer::Play(const QString& filePath, int loops)
{
    // Dropping the old sound stops it, so the new one starts alone and from
    // its beginning.
    Release();
    m_sound = new QSoundEffect(this);
    m_sound->setSource(QUrl::fromLocalFile(filePath));
    // -1 means "until stopped"; QSoundEffect spells that Infinite and
    // refuses other negative counts, which then play once.
    m_sound->setLoopCount(loops == -1 ? int(QSoundEffect::Infinite) : qMax(loops, 1));
    m_sound->play();
}

void SoundPlayer::Stop()
{
    m_sound->stop();
}

void SoundPlayer::Release()
{
    if (!m_sound)
        return;
    m_sound->stop();
    WaitWhileLoading(m_sound);
    delete m_sound;
    m_sound = nullptr;
}
