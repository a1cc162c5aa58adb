#include "audio/IAudioPlayer.h"

bool IAudioPlayer::open(const std::u16string&) { return false; }
bool IAudioPlayer::play() { return false; }
void IAudioPlayer::stop() {}
void IAudioPlayer::pause() {}
void IAudioPlayer::resume() {}
bool IAudioPlayer::isPlaying() { return false; }
bool IAudioPlayer::isPaused() { return false; }
bool IAudioPlayer::initialize() { return false; }
void IAudioPlayer::setTempo(int) {}
void IAudioPlayer::setVolume(int) {}
void IAudioPlayer::setPitch(int) {}
void IAudioPlayer::setSampleRate(int) {}
bool IAudioPlayer::setOutputDevice(int index) {
    m_outputDevice = index;
    return true;
}
void IAudioPlayer::setPosition(int) {}
int IAudioPlayer::getPosition() { return 0; }
int IAudioPlayer::getTempo() { return m_tempo; }
