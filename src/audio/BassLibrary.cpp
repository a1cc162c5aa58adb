#include "audio/BassLibrary.h"

#include <chrono>
#include <thread>

#include "app/Paths.h"
#include "audio/AudioMessage.h"
#include "text/NarrowText.h"

namespace {

template <typename Function>
void lookUp(HMODULE module, const char* name, Function& slot) {
    slot = module ? reinterpret_cast<Function>(GetProcAddress(module, name)) : nullptr;
}

void checkVersion(DWORD version, const char16_t* text, const char16_t* caption) {
    if ((version >> 16) != BASSVERSION) showAudioMessage({text, caption, MessageIcon::Error});
}

}  // namespace

BassLibrary::BassLibrary(std::u16string pluginsFolder) : m_pluginsFolder(std::move(pluginsFolder)) {}

BassLibrary::~BassLibrary() {
    // No output thread may outlive the module that runs it.
    if (m_functions.Free) m_functions.Free();
    if (m_enc) FreeLibrary(m_enc);
    if (m_mix) FreeLibrary(m_mix);
    if (m_wmaPlugin && m_functions.PluginFree) m_functions.PluginFree(m_wmaPlugin);
    if (m_fx) FreeLibrary(m_fx);
    if (m_bass) FreeLibrary(m_bass);
    m_enc = m_mix = m_fx = m_bass = nullptr;
    m_wmaPlugin = 0;
}

BassLibrary& BassLibrary::instance() {
    static BassLibrary library(appDirectory() + u"Plugins/");
    return library;
}

bool BassLibrary::load() {
    if (!m_attempted) {
        m_attempted = true;
        m_usable = loadOnce();
    } else if (m_modulesLoaded && m_released) {
        // A player destroyed before this one released the device.
        m_usable = initializeDevice();
    }
    return m_usable;
}

void BassLibrary::release() {
    if (m_functions.Free) m_functions.Free();
    m_released = true;
}

bool BassLibrary::switchDevice(int device) {
    release();
    if (!m_functions.Init || !m_functions.Init(device, 44100, 0, nullptr, nullptr)) return false;
    m_released = false;
    m_outputDevice = device;
    return true;
}

bool BassLibrary::loadOnce() {
    m_bass = LoadLibraryW((m_pluginsFolder + u"libbass.so").c_str());
    if (!m_bass) return false;
    m_fx = LoadLibraryW((m_pluginsFolder + u"libbass_fx.so").c_str());
    if (!m_fx) return false;
    m_enc = LoadLibraryW((m_pluginsFolder + u"libbassenc.so").c_str());
    m_mix = LoadLibraryW((m_pluginsFolder + u"libbassmix.so").c_str());

    BassFunctions& f = m_functions;
    lookUp(m_bass, "BASS_GetVersion", f.GetVersion);
    lookUp(m_fx, "BASS_FX_GetVersion", f.FX_GetVersion);
    lookUp(m_fx, "BASS_FX_TempoCreate", f.FX_TempoCreate);
    lookUp(m_enc, "BASS_Encode_GetVersion", f.Encode_GetVersion);
    lookUp(m_enc, "BASS_Encode_Start", f.Encode_Start);
    lookUp(m_enc, "BASS_Encode_Stop", f.Encode_Stop);
    lookUp(m_mix, "BASS_Mixer_StreamCreate", f.Mixer_StreamCreate);
    lookUp(m_mix, "BASS_Mixer_StreamAddChannel", f.Mixer_StreamAddChannel);
    if (!f.GetVersion || !f.FX_GetVersion || !f.FX_TempoCreate) return false;

    lookUp(m_bass, "BASS_PluginLoad", f.PluginLoad);
    lookUp(m_bass, "BASS_PluginFree", f.PluginFree);
    if (f.PluginLoad && f.PluginFree) {
        // File names are UTF-8 on this system, whatever the narrow code page.
        const std::string wma = encodeCodePage(m_pluginsFolder + u"libbasswma.so", 65001);
        m_wmaPlugin = f.PluginLoad(wma.c_str(), 0);
    }

    lookUp(m_bass, "BASS_Init", f.Init);
    lookUp(m_bass, "BASS_Free", f.Free);
    lookUp(m_bass, "BASS_GetDevice", f.GetDevice);
    lookUp(m_bass, "BASS_GetInfo", f.GetInfo);
    lookUp(m_bass, "BASS_ErrorGetCode", f.ErrorGetCode);
    lookUp(m_bass, "BASS_MusicLoad", f.MusicLoad);
    lookUp(m_bass, "BASS_MusicFree", f.MusicFree);
    lookUp(m_bass, "BASS_StreamCreateFile", f.StreamCreateFile);
    lookUp(m_bass, "BASS_StreamFree", f.StreamFree);
    lookUp(m_bass, "BASS_ChannelSetAttribute", f.ChannelSetAttribute);
    lookUp(m_bass, "BASS_ChannelGetAttribute", f.ChannelGetAttribute);
    lookUp(m_bass, "BASS_ChannelIsActive", f.ChannelIsActive);
    lookUp(m_bass, "BASS_ChannelGetData", f.ChannelGetData);
    lookUp(m_bass, "BASS_ChannelPlay", f.ChannelPlay);
    lookUp(m_bass, "BASS_ChannelPause", f.ChannelPause);
    lookUp(m_bass, "BASS_ChannelStop", f.ChannelStop);
    lookUp(m_bass, "BASS_ChannelGetLength", f.ChannelGetLength);
    lookUp(m_bass, "BASS_ChannelGetPosition", f.ChannelGetPosition);
    lookUp(m_bass, "BASS_ChannelSetPosition", f.ChannelSetPosition);
    lookUp(m_bass, "BASS_ChannelSeconds2Bytes", f.ChannelSeconds2Bytes);

    checkVersion(f.GetVersion(), u"An incorrect version of BASS.DLL was loaded (2.4 is required)",
                 u"Incorrect BASS.DLL");
    checkVersion(f.FX_GetVersion(), u"An incorrect version of BASS_FX.DLL was loaded (2.4 is required)",
                 u"Incorrect BASS_FX.DLL");
    if (f.Encode_GetVersion)
        checkVersion(f.Encode_GetVersion(), u"An incorrect version of BASSENC.DLL was loaded (2.4 is required)",
                     u"Incorrect BASSENC.DLL");

    m_modulesLoaded = true;
    return initializeDevice();
}

bool BassLibrary::initializeDevice() {
    const BassFunctions& f = m_functions;
    if (!f.Init) return false;
    if (!f.Init(-1, 44100, 0, nullptr, nullptr)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!f.Init(-1, 44100, 0, nullptr, nullptr)) {
            showBassError(*this, u"Failed BASS_Init\nCan't initialize output device");
            m_released = true;  // the next load tries again
            return false;
        }
    }
    m_released = false;
    if (f.GetDevice) m_outputDevice = static_cast<int>(f.GetDevice());
    return true;
}

std::u16string bassErrorText(const BassLibrary& library, const std::u16string& text) {
    const auto& f = library.functions();
    if (!f.ErrorGetCode) return text + u" (InitializeError)";
    const std::string code = std::to_string(f.ErrorGetCode());
    return text + u"\n\n(error code: " + std::u16string(code.begin(), code.end()) + u")";
}

void showBassError(const BassLibrary& library, const std::u16string& text) {
    showAudioMessage({bassErrorText(library, text), u"Error", MessageIcon::Warning});
}
