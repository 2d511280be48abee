#include "toolkit/SoundPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace dividra::toolkit {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

bool SoundPlayer::isWaveFile(const QString& hostPath) {
    if (hostPath.isEmpty()) {
        return false;
    }
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray header = file.read(12);
    return header.size() == 12 && header.startsWith("RIFF") && header.sliced(8) == "WAVE";
}

void SoundPlayer::play(const QString& hostPath) {
    if (m_effect != nullptr) {
        m_effect->stop();
    }
    // Checked first, so a bad file or a machine without sound stays quiet instead of warning.
    if (!isWaveFile(hostPath)) {
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return;
    }
    if (m_effect == nullptr) {
        m_effect = new QSoundEffect(this);
    }
    m_effect->setAudioDevice(device);
    m_effect->setSource(QUrl::fromLocalFile(hostPath));
    // Loads in the background and starts once loaded; a failure only sets the effect's status.
    m_effect->play();
}

} // namespace dividra::toolkit
