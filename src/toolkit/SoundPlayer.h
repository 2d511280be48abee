#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

namespace dividra::toolkit {

// Plays wave files asynchronously through one reused QSoundEffect: the desktop's PlaySound.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);

    // Stops the sound playing, if any, and starts `hostPath`, returning at once. Silent when
    // the path is empty, the file is missing or no wave file, or there is no sound device.
    void play(const QString& hostPath);

    // Whether the file can be read and begins with a RIFF WAVE header.
    static bool isWaveFile(const QString& hostPath);

private:
    QSoundEffect* m_effect = nullptr; // created on the first sound, a child of this
};

} // namespace dividra::toolkit
