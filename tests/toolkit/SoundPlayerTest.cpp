#include "toolkit/SoundPlayer.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <string>

namespace dividra::toolkit {
namespace {

void appendLe(std::string& bytes, unsigned value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A mono 8 kHz 16-bit wave file of a few samples.
std::string smallWave() {
    const unsigned dataSize = 16;
    std::string bytes = "RIFF";
    appendLe(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    appendLe(bytes, 16, 4);
    appendLe(bytes, 1, 2);        // PCM
    appendLe(bytes, 1, 2);        // channels
    appendLe(bytes, 8000, 4);     // sample rate
    appendLe(bytes, 8000 * 2, 4); // byte rate
    appendLe(bytes, 2, 2);        // block align
    appendLe(bytes, 16, 2);       // bits per sample
    bytes += "data";
    appendLe(bytes, dataSize, 4);
    bytes.append(dataSize, '\x10');
    return bytes;
}

QString qt(const std::string& path) {
    return QString::fromStdString(path);
}

TEST(SoundPlayerTest, RecognisesWaveFilesByTheirHeader) {
    test::TempDir dir;
    const std::string wave = smallWave();
    ASSERT_EQ(wave.size(), 60u);
    EXPECT_TRUE(SoundPlayer::isWaveFile(qt(dir.write("ding.wav", wave))));
    EXPECT_FALSE(SoundPlayer::isWaveFile(QString()));
    EXPECT_FALSE(SoundPlayer::isWaveFile(qt(dir.file("missing.wav"))));
    EXPECT_FALSE(SoundPlayer::isWaveFile(qt(dir.path())));
    EXPECT_FALSE(SoundPlayer::isWaveFile(qt(dir.write("text.wav", "RIFF....AVI LIST"))));
    EXPECT_FALSE(SoundPlayer::isWaveFile(qt(dir.write("short.wav", "RIFF"))));
}

TEST(SoundPlayerTest, PlayReturnsAtOnceWhateverTheFile) {
    test::TempDir dir;
    const QString wave = qt(dir.write("ding.wav", smallWave()));
    const QString notWave = qt(dir.write("notes.txt", "not a sound"));
    SoundPlayer player;
    QElapsedTimer timer;
    timer.start();
    player.play(qt(dir.file("missing.wav")));
    player.play(QString());
    player.play(notWave);
    player.play(wave);
    player.play(wave); // the second play stops the first
    player.play(QString());
    EXPECT_LT(timer.elapsed(), 1000);
    QCoreApplication::processEvents();
}

} // namespace
} // namespace dividra::toolkit
