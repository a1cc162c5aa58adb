// The one interface through which the program plays sound: one audio file at a
// time, opened, played, paused, stopped and sought, with tempo, pitch and
// volume changeable while it plays, and the position polled in milliseconds.
// The base operations do nothing and report failure; BassPlayer implements them.
#pragma once

#include <cstdint>
#include <string>

class IAudioPlayer {
public:
    IAudioPlayer() = default;
    virtual ~IAudioPlayer() = default;
    IAudioPlayer(const IAudioPlayer&) = delete;
    IAudioPlayer& operator=(const IAudioPlayer&) = delete;

    virtual bool open(const std::u16string& path);
    virtual bool play();
    virtual void stop();
    virtual void pause();
    virtual void resume();
    virtual bool isPlaying();
    virtual bool isPaused();
    virtual bool initialize();
    // Tempo in percent (100 = unchanged).
    virtual void setTempo(int percent);
    // Volume in percent (100 = unchanged).
    virtual void setVolume(int percent);
    // 100 = unchanged; each 100 moves the pitch by 15 semitones.
    virtual void setPitch(int value);
    virtual void setSampleRate(int hertz);
    // Index 0 is the first real output device.
    virtual bool setOutputDevice(int index);
    virtual void setPosition(int ms);
    virtual int getPosition();
    virtual int getTempo();
    // Milliseconds from the output taking sound to its being heard (what it
    // has taken is heard even after a pause); 0 when unknown.
    virtual int outputLatencyMs() { return 0; }

    const std::u16string& path() const { return m_path; }

protected:
    std::u16string m_path;
    int m_outputDevice = 0;
    int m_tempo = 100;
};
