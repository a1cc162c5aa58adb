// The audio library family, loaded at run time from the plug-in folder: the
// module handles, the WMA plug-in, the output device BASS runs on, and the
// address of every function the player calls, each null when its module or
// name is missing. Call sites test their entry and do nothing (or report
// failure) when it is null, so the program runs without sound when a module
// is missing.
#pragma once

#include <string>

#include "audio/BassApi.h"
#include "platform/win32.h"

struct BassFunctions {
    BASS_GetVersion_t GetVersion = nullptr;
    BASS_FX_GetVersion_t FX_GetVersion = nullptr;
    BASS_FX_TempoCreate_t FX_TempoCreate = nullptr;
    BASS_Encode_GetVersion_t Encode_GetVersion = nullptr;
    BASS_Encode_Start_t Encode_Start = nullptr;
    BASS_Encode_Stop_t Encode_Stop = nullptr;
    BASS_Mixer_StreamCreate_t Mixer_StreamCreate = nullptr;
    BASS_Mixer_StreamAddChannel_t Mixer_StreamAddChannel = nullptr;
    BASS_PluginLoad_t PluginLoad = nullptr;
    BASS_PluginFree_t PluginFree = nullptr;
    BASS_Init_t Init = nullptr;
    BASS_Free_t Free = nullptr;
    BASS_GetDevice_t GetDevice = nullptr;
    BASS_GetInfo_t GetInfo = nullptr;
    BASS_ErrorGetCode_t ErrorGetCode = nullptr;
    BASS_MusicLoad_t MusicLoad = nullptr;
    BASS_MusicFree_t MusicFree = nullptr;
    BASS_StreamCreateFile_t StreamCreateFile = nullptr;
    BASS_StreamFree_t StreamFree = nullptr;
    BASS_ChannelSetAttribute_t ChannelSetAttribute = nullptr;
    BASS_ChannelGetAttribute_t ChannelGetAttribute = nullptr;
    BASS_ChannelIsActive_t ChannelIsActive = nullptr;
    BASS_ChannelGetData_t ChannelGetData = nullptr;
    BASS_ChannelPlay_t ChannelPlay = nullptr;
    BASS_ChannelPause_t ChannelPause = nullptr;
    BASS_ChannelStop_t ChannelStop = nullptr;
    BASS_ChannelGetLength_t ChannelGetLength = nullptr;
    BASS_ChannelGetPosition_t ChannelGetPosition = nullptr;
    BASS_ChannelSetPosition_t ChannelSetPosition = nullptr;
    BASS_ChannelSeconds2Bytes_t ChannelSeconds2Bytes = nullptr;
};

class BassLibrary {
public:
    // `pluginsFolder` ends with a separator; the modules are libbass.so,
    // libbass_fx.so, libbassenc.so, libbassmix.so and libbasswma.so inside it.
    explicit BassLibrary(std::u16string pluginsFolder);
    // Releases bassenc, bassmix, the WMA plug-in, bass_fx and bass, in that order.
    ~BassLibrary();
    BassLibrary(const BassLibrary&) = delete;
    BassLibrary& operator=(const BassLibrary&) = delete;

    // The process-wide library in appDirectory() + "Plugins/", torn down at exit.
    static BassLibrary& instance();

    // Loads the modules, checks their versions and initialises the default
    // output device. The first call does the work; later calls give its result
    // without loading anything again, except that a device released since is
    // initialised again. True when sound can be played.
    bool load();
    // Releases the output device for the whole process (BASS_Free, which also
    // frees every stream); the modules stay loaded.
    void release();
    // Releases the device and initialises BASS device number `device` instead;
    // false (BASS left released) when that fails.
    bool switchDevice(int device);
    bool isBassLoaded() const { return m_bass != nullptr; }

    const BassFunctions& functions() const { return m_functions; }
    const std::u16string& pluginsFolder() const { return m_pluginsFolder; }
    HPLUGIN wmaPlugin() const { return m_wmaPlugin; }
    int outputDevice() const { return m_outputDevice; }

private:
    bool loadOnce();
    bool initializeDevice();

    std::u16string m_pluginsFolder;
    HMODULE m_bass = nullptr;
    HMODULE m_fx = nullptr;
    HMODULE m_enc = nullptr;
    HMODULE m_mix = nullptr;
    HPLUGIN m_wmaPlugin = 0;
    int m_outputDevice = 0;
    bool m_attempted = false;
    bool m_usable = false;
    bool m_modulesLoaded = false;
    bool m_released = false;
    BassFunctions m_functions;
};

// "%s\n\n(error code: %d)" with the text and BASS_ErrorGetCode(), or
// "%s (InitializeError)" when BASS_ErrorGetCode is not available.
std::u16string bassErrorText(const BassLibrary& library, const std::u16string& text);
// Shows bassErrorText in a warning box captioned "Error".
void showBassError(const BassLibrary& library, const std::u16string& text);
