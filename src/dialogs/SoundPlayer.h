#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

// Plays one WAV file a given number of times (-1: until stopped). A new
// sound replaces the one playing.
//
// Qt 6.4 decodes sounds on a thread of a process-wide sample cache whose
// destructor, run at process exit, waits for that thread while holding the
// lock the thread needs to finish a decode: a program that ends while a
// sound is still loading never ends. A player therefore lets the loading of
// its sound finish before it lets the sound go.
class SoundPlayer : public QObject
{
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    void Play(const QString& filePath, int loops);
    void Stop();

private:
    void Release();

    QSoundEffect* m_sound = nullptr;
};
