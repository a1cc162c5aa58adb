// The audio player on the audio library family. The file plays as a tempo
// stream over a decoding source (freeing the tempo stream frees its source), so
// tempo and pitch change while it plays; the same object re-decodes the file
// into an external encoder for the MP3 export.
//
// Invariant: the stream handle is 0 or a tempo stream created over a decoding
// source with BASS_FX_FREESOURCE. Attribute setters always store their value
// and touch the stream only when one is open; `open` does not re-apply them.
#pragma once

#include <cstdint>
#include <string>

#include "audio/BassLibrary.h"
#include "audio/IAudioPlayer.h"

class BassPlayer : public IAudioPlayer {
public:
    // On the process-wide library in the program's Plugins folder.
    BassPlayer();
    // On a given library (tests load modules from a folder of their own).
    explicit BassPlayer(BassLibrary& library);
    // Releases the output device for the whole process (BASS_Free), which also
    // frees the streams.
    ~BassPlayer() override;

    bool open(const std::u16string& path) override;
    bool play() override;
    void stop() override;
    void pause() override;
    void resume() override;
    bool isPlaying() override;
    bool isPaused() override;
    bool initialize() override;
    void setTempo(int percent) override;
    void setVolume(int percent) override;
    void setPitch(int value) override;
    void setSampleRate(int hertz) override;
    bool setOutputDevice(int index) override;
    void setPosition(int ms) override;
    int getPosition() override;
    int getTempo() override { return m_tempo; }
    int outputLatencyMs() override;
    virtual bool openAndPlay(const std::u16string& path);
    virtual void close();

    // Re-decodes the open file at the stored tempo, pitch and volume into the
    // command line's standard input as WAVE data. Afterwards the stream is a
    // decoding stream: the file must be opened again before it can play.
    bool startEncoding(const std::u16string& outputPath, const std::u16string& commandLine, BASS_DWORD flags);
    // Encodes the open file with the lame in the plug-in folder to a constant
    // 128 kbit/s MP3.
    bool encodeToMp3(const std::u16string& outputPath);
    // Decodes one block into the encoder; false once the file is exhausted.
    bool pumpEncoder();
    // Ends the encoder's input and waits until it has written its file. False
    // when the encoder broke off (a full disk, a folder it may not write):
    // its file must not be taken for a finished one.
    bool stopEncoding();
    // Whether outputPath is the open file; if so, shows the "in use" box.
    bool refuseOpenFile(const std::u16string& outputPath) const;

    // The open file's length, computed once by `open`.
    std::uint64_t lengthMs = 0;

    HSTREAM stream() const { return m_stream; }
    int volume() const { return m_volume; }
    int pitch() const { return m_pitch; }

private:
    std::uint64_t bytesToMs(std::uint64_t bytes) const;
    std::uint64_t msToBytes(std::uint64_t ms) const;
    void showError(const std::u16string& text) const { showBassError(m_library, text); }

    BassLibrary& m_library;
    HSTREAM m_mixer = 0;
    HSTREAM m_stream = 0;
    int m_lastPosition = 0;
    int m_volume = 100;
    int m_pitch = 100;
    int m_sampleRate = 0;
};

// The text shown for a BASS_ChannelPlay failure code (empty for codes without one).
std::u16string playErrorText(int code);
