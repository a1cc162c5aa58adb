#include "audio/BassPlayer.h"

#include <cstdio>

#include "audio/AudioMessage.h"
#include "text/NarrowText.h"

std::u16string playErrorText(int code) {
    switch (code) {
        case BASS_ERROR_BUFLOST:
            return u"Should not happen... check that a valid window handle was used with BASS_Init.";
        case BASS_ERROR_HANDLE:
            return u"handle is not a valid channel.";
        case BASS_ERROR_START:
            return u"The output is paused/stopped, use BASS_Start to start it.";
        case BASS_ERROR_NOHW:
            return u"No hardware voices are available (HCHANNEL only). This only occurs if the sample was "
                   u"loaded/created with the BASS_SAMPLE_VAM flag and BASS_VAM_HARDWARE is set in the sample's "
                   u"VAM mode, and there are no hardware voices available to play it.";
        case BASS_ERROR_DECODE:
            return u"The channel is not playable; it is a \"decoding channel\".";
        default:
            return {};
    }
}

BassPlayer::BassPlayer() : m_library(BassLibrary::instance()) {}

BassPlayer::BassPlayer(BassLibrary& library) : m_library(library) {}

BassPlayer::~BassPlayer() { m_library.release(); }

bool BassPlayer::initialize() { return m_library.load(); }

bool BassPlayer::open(const std::u16string& path) {
    const auto& f = m_library.functions();
    if (!f.StreamCreateFile) return false;
    m_path = path;
    close();
    HSTREAM source = f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (!source && f.MusicLoad)
        source = f.MusicLoad(0, path.c_str(), 0, 0,
                             BASS_UNICODE | BASS_MUSIC_DECODE | BASS_MUSIC_PRESCAN | BASS_MUSIC_RAMP, 0);
    if (!source) return false;
    m_stream = f.FX_TempoCreate(source, BASS_FX_FREESOURCE);
    if (!m_stream) {
        showError(u"Couldn't create a resampled stream!");
        // The source is not owned by any tempo stream yet.
        if (f.MusicFree) f.MusicFree(source);
        if (f.StreamFree) f.StreamFree(source);
        close();
        return false;
    }
    lengthMs = f.ChannelGetLength ? bytesToMs(f.ChannelGetLength(m_stream, BASS_POS_BYTE)) : 0;
    return true;
}

bool BassPlayer::play() {
    const auto& f = m_library.functions();
    if (!m_stream || !f.ChannelPlay) return false;
    if (f.ChannelPlay(m_stream, 0)) return true;
    showError(playErrorText(f.ErrorGetCode ? f.ErrorGetCode() : BASS_OK));
    return false;
}

bool BassPlayer::openAndPlay(const std::u16string& path) {
    if (!open(path)) return false;
    const auto& f = m_library.functions();
    if (f.ChannelPlay && f.ChannelPlay(m_stream, 1)) return true;
    showError(u"BASS_ChannelPlay");
    return false;
}

void BassPlayer::stop() {
    if (m_stream && m_library.functions().ChannelStop) m_library.functions().ChannelStop(m_stream);
}

void BassPlayer::pause() {
    if (m_stream && m_library.functions().ChannelPause) m_library.functions().ChannelPause(m_stream);
}

void BassPlayer::resume() {
    if (m_stream && m_library.functions().ChannelPlay) m_library.functions().ChannelPlay(m_stream, 0);
}

bool BassPlayer::isPlaying() {
    const auto& f = m_library.functions();
    return m_stream && f.ChannelIsActive && f.ChannelIsActive(m_stream) == BASS_ACTIVE_PLAYING;
}

bool BassPlayer::isPaused() {
    const auto& f = m_library.functions();
    return m_stream && f.ChannelIsActive && f.ChannelIsActive(m_stream) == BASS_ACTIVE_PAUSED;
}

void BassPlayer::setTempo(int percent) {
    m_tempo = percent;
    const auto& f = m_library.functions();
    if (m_stream && f.ChannelSetAttribute)
        f.ChannelSetAttribute(m_stream, BASS_ATTRIB_TEMPO, static_cast<float>(percent) - 100.0f);
}

void BassPlayer::setVolume(int percent) {
    m_volume = percent;
    const auto& f = m_library.functions();
    if (m_stream && f.ChannelSetAttribute)
        f.ChannelSetAttribute(m_stream, BASS_ATTRIB_VOL, static_cast<float>(percent) / 100.0f);
}

void BassPlayer::setPitch(int value) {
    m_pitch = value;
    const auto& f = m_library.functions();
    if (m_stream && f.ChannelSetAttribute)
        f.ChannelSetAttribute(m_stream, BASS_ATTRIB_TEMPO_PITCH, (static_cast<float>(value) * 15.0f) / 100.0f - 15.0f);
}

void BassPlayer::setSampleRate(int hertz) {
    m_sampleRate = hertz;
    const auto& f = m_library.functions();
    if (m_stream && f.ChannelSetAttribute) f.ChannelSetAttribute(m_stream, BASS_ATTRIB_FREQ, static_cast<float>(hertz));
}

bool BassPlayer::setOutputDevice(int index) {
    const auto& f = m_library.functions();
    if (!f.Init) {
        showAudioMessage({bassErrorText(m_library,
                                        u"Failed setOutputDevice because of BASS_Init is null.\nMaybe you "
                                        u"need to put bass.dll into the Plugins folder."),
                          u"Error", MessageIcon::Warning});
        return false;
    }
    const int device = index + 1;
    if (device == m_library.outputDevice()) return true;
    // Releasing the device frees the open stream.
    m_stream = m_mixer = 0;
    if (!m_library.switchDevice(device)) {
        showError(u"Failed BASS_Init in setOutputDevice()\nCan't initialize device");
        return false;
    }
    m_outputDevice = index;
    return true;
}

std::uint64_t BassPlayer::bytesToMs(std::uint64_t bytes) const {
    const auto& f = m_library.functions();
    if (!m_stream || !f.ChannelSeconds2Bytes) return 0;
    const std::uint64_t bps = f.ChannelSeconds2Bytes(m_stream, 1.0);
    if (bps == 0 || bps == static_cast<std::uint64_t>(-1)) return 0;
    return (bytes / bps) * 1000 + (bytes % bps) * 1000 / bps;
}

std::uint64_t BassPlayer::msToBytes(std::uint64_t ms) const {
    // Half a millisecond on top: the library cuts the time down to a whole
    // sample frame, so the byte lands in [ms, ms + 0.5) and reads back as ms.
    // Cutting to whole bytes per millisecond instead landed up to 2 ms early,
    // and a time stamped right after choosing a sentence came out before it.
    const auto& f = m_library.functions();
    return f.ChannelSeconds2Bytes(m_stream, (static_cast<double>(ms) + 0.5) / 1000.0);
}

void BassPlayer::setPosition(int ms) {
    const auto& f = m_library.functions();
    if (!f.ChannelSetPosition) return;
    m_lastPosition = ms;
    if (!m_stream || !f.ChannelSeconds2Bytes || ms < 0) return;
    f.ChannelSetPosition(m_stream, msToBytes(static_cast<std::uint64_t>(ms)), BASS_POS_BYTE);
}

int BassPlayer::outputLatencyMs() {
    const auto& f = m_library.functions();
    BASS_INFO info{};
    if (!f.GetInfo || !f.GetInfo(&info)) return 0;
    return static_cast<int>(info.latency);
}

int BassPlayer::getPosition() {
    if (isPlaying()) {
        const auto& f = m_library.functions();
        m_lastPosition =
            f.ChannelGetPosition ? static_cast<int>(bytesToMs(f.ChannelGetPosition(m_stream, BASS_POS_BYTE))) : 0;
    }
    return m_lastPosition;
}

void BassPlayer::close() {
    const auto& f = m_library.functions();
    if (m_stream) {
        if (f.MusicFree) f.MusicFree(m_stream);
        if (f.StreamFree) f.StreamFree(m_stream);
        m_stream = 0;
    }
    if (m_mixer) {
        if (f.StreamFree) f.StreamFree(m_mixer);
        m_mixer = 0;
    }
}

bool BassPlayer::startEncoding(const std::u16string& outputPath, const std::u16string& commandLine, BASS_DWORD flags) {
    const auto& f = m_library.functions();
    if (!f.Encode_Start || m_path.empty() || GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    if (refuseOpenFile(outputPath)) return false;
    close();
    HSTREAM source =
        f.StreamCreateFile(0, m_path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (!source) {
        showError(u"BASS_StreamCreateFile");
        return false;
    }
    m_stream = f.FX_TempoCreate(source, BASS_FX_FREESOURCE | BASS_STREAM_DECODE);
    if (!m_stream) {
        showError(u"BASS_FX_TempoCreate");
        if (f.StreamFree) f.StreamFree(source);
        return false;
    }
    setTempo(m_tempo);
    setPitch(m_pitch);
    setVolume(m_volume);
    // The command line becomes the encoder's argument vector, which is UTF-8 on
    // this system whatever the narrow code page.
    const std::string narrow = encodeCodePage(commandLine, 65001);
    return f.Encode_Start(m_stream, narrow.c_str(), flags, nullptr, nullptr) != 0;
}

bool BassPlayer::encodeToMp3(const std::u16string& outputPath) {
    const std::u16string lame = m_library.pluginsFolder() + u"lame";
    if (GetFileAttributesW(lame.c_str()) == INVALID_FILE_ATTRIBUTES) {
        showAudioMessage({u"Plugins フォルダーに lame.exe ファイルを入れてください。",
                          u"lame.exe was not found in the plugins folder", MessageIcon::None});
        return false;
    }
    const std::u16string commandLine = u"\"" + lame + u"\" --alt-preset cbr 128 - \"" + outputPath + u"\"";
    return startEncoding(outputPath, commandLine, BASS_ENCODE_AUTOFREE);
}

bool BassPlayer::pumpEncoder() {
    const auto& f = m_library.functions();
    if (!m_stream || !f.ChannelIsActive || !f.ChannelGetData || f.ChannelIsActive(m_stream) == BASS_ACTIVE_STOPPED)
        return false;
    char buffer[20000];
    f.ChannelGetData(m_stream, buffer, sizeof buffer);
    std::fflush(stdout);
    return true;
}

bool BassPlayer::refuseOpenFile(const std::u16string& outputPath) const {
    if (outputPath != m_path) return false;
    showAudioMessage({u"現在このファイルは使用中です。\r\n" + outputPath, outputPath, MessageIcon::None});
    return true;
}

bool BassPlayer::stopEncoding() {
    const auto& f = m_library.functions();
    return m_stream && f.Encode_Stop && f.Encode_Stop(m_stream);
}
