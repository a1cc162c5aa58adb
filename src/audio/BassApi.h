// The published interface of the BASS 2.4 audio library family, as far as this
// program uses it: handle and integer types, the flags, attributes, states and
// error codes with their published values, and the type of every function the
// program looks up by name. The modules in plugins/bass implement it; the
// program reaches them only through these pointer types, never by linking.
//
// Handles are non-zero on success. Functions that fail return 0 (or -1 as the
// unsigned value for lengths, positions and data counts) and leave the reason
// for BASS_ErrorGetCode on the calling thread.
#pragma once

#include <cstdint>

using BASS_DWORD = std::uint32_t;
using BASS_QWORD = std::uint64_t;
using BASS_BOOL = int;
using HSTREAM = std::uint32_t;
using HMUSIC = std::uint32_t;
using HPLUGIN = std::uint32_t;
using HENCODE = std::uint32_t;

// Version reported by every module of the family: the high 16 bits are 2.4.
inline constexpr BASS_DWORD BASSVERSION = 0x0204;

// Error codes (BASS_ErrorGetCode).
inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_MEM = 1;
inline constexpr int BASS_ERROR_FILEOPEN = 2;
inline constexpr int BASS_ERROR_DRIVER = 3;
inline constexpr int BASS_ERROR_BUFLOST = 4;
inline constexpr int BASS_ERROR_HANDLE = 5;
inline constexpr int BASS_ERROR_FORMAT = 6;
inline constexpr int BASS_ERROR_POSITION = 7;
inline constexpr int BASS_ERROR_INIT = 8;
inline constexpr int BASS_ERROR_START = 9;
inline constexpr int BASS_ERROR_ALREADY = 14;
inline constexpr int BASS_ERROR_NOCHAN = 18;
inline constexpr int BASS_ERROR_ILLTYPE = 19;
inline constexpr int BASS_ERROR_ILLPARAM = 20;
inline constexpr int BASS_ERROR_DEVICE = 23;
inline constexpr int BASS_ERROR_NOPLAY = 24;
inline constexpr int BASS_ERROR_FREQ = 25;
inline constexpr int BASS_ERROR_NOTFILE = 27;
inline constexpr int BASS_ERROR_NOHW = 29;
inline constexpr int BASS_ERROR_EMPTY = 31;
inline constexpr int BASS_ERROR_CREATE = 33;
inline constexpr int BASS_ERROR_NOTAVAIL = 37;
inline constexpr int BASS_ERROR_DECODE = 38;
inline constexpr int BASS_ERROR_FILEFORM = 41;
inline constexpr int BASS_ERROR_VERSION = 43;
inline constexpr int BASS_ERROR_CODEC = 44;
inline constexpr int BASS_ERROR_ENDED = 45;
inline constexpr int BASS_ERROR_UNKNOWN = -1;

// Sample, stream and music flags.
inline constexpr BASS_DWORD BASS_SAMPLE_MONO = 2;
inline constexpr BASS_DWORD BASS_SAMPLE_FLOAT = 256;
inline constexpr BASS_DWORD BASS_MUSIC_RAMP = 0x200;
inline constexpr BASS_DWORD BASS_STREAM_PRESCAN = 0x20000;
inline constexpr BASS_DWORD BASS_MUSIC_PRESCAN = BASS_STREAM_PRESCAN;
inline constexpr BASS_DWORD BASS_STREAM_AUTOFREE = 0x40000;
inline constexpr BASS_DWORD BASS_STREAM_DECODE = 0x200000;
inline constexpr BASS_DWORD BASS_MUSIC_DECODE = BASS_STREAM_DECODE;
inline constexpr BASS_DWORD BASS_UNICODE = 0x80000000;

// Channel attributes.
inline constexpr BASS_DWORD BASS_ATTRIB_FREQ = 1;
inline constexpr BASS_DWORD BASS_ATTRIB_VOL = 2;
inline constexpr BASS_DWORD BASS_ATTRIB_TEMPO = 0x10000;
inline constexpr BASS_DWORD BASS_ATTRIB_TEMPO_PITCH = 0x10001;
inline constexpr BASS_DWORD BASS_ATTRIB_TEMPO_FREQ = 0x10002;

// Position modes and BASS_ChannelGetData flags.
inline constexpr BASS_DWORD BASS_POS_BYTE = 0;
inline constexpr BASS_DWORD BASS_DATA_AVAILABLE = 0;
inline constexpr BASS_DWORD BASS_DATA_FLOAT = 0x40000000;

// BASS_ChannelIsActive states.
inline constexpr BASS_DWORD BASS_ACTIVE_STOPPED = 0;
inline constexpr BASS_DWORD BASS_ACTIVE_PLAYING = 1;
inline constexpr BASS_DWORD BASS_ACTIVE_STALLED = 2;
inline constexpr BASS_DWORD BASS_ACTIVE_PAUSED = 3;

// BASS_FX.
inline constexpr BASS_DWORD BASS_FX_FREESOURCE = 0x10000;

// BASSenc.
inline constexpr BASS_DWORD BASS_ENCODE_NOHEAD = 1;
inline constexpr BASS_DWORD BASS_ENCODE_FP_8BIT = 2;
inline constexpr BASS_DWORD BASS_ENCODE_FP_16BIT = 4;
inline constexpr BASS_DWORD BASS_ENCODE_FP_24BIT = 6;
inline constexpr BASS_DWORD BASS_ENCODE_FP_32BIT = 8;
inline constexpr BASS_DWORD BASS_ENCODE_AUTOFREE = 0x40000;

// BASSmix.
inline constexpr BASS_DWORD BASS_MIXER_END = 0x10000;

// BASS_GetInfo's answer, in its published layout; the program reads only the
// latency (milliseconds from a block being taken to its being heard).
struct BASS_INFO {
    BASS_DWORD flags;
    BASS_DWORD hwsize;
    BASS_DWORD hwfree;
    BASS_DWORD freesam;
    BASS_DWORD free3d;
    BASS_DWORD minrate;
    BASS_DWORD maxrate;
    BASS_BOOL eax;
    BASS_DWORD minbuf;
    BASS_DWORD dsver;
    BASS_DWORD latency;
    BASS_DWORD initflags;
    BASS_DWORD speakers;
    BASS_DWORD freq;
};

// The functions the program looks up, by their published names.
using BASS_GetVersion_t = BASS_DWORD (*)();
using BASS_Init_t = BASS_BOOL (*)(int device, BASS_DWORD freq, BASS_DWORD flags, void* window, const void* clsid);
using BASS_Free_t = BASS_BOOL (*)();
using BASS_GetDevice_t = BASS_DWORD (*)();
using BASS_GetInfo_t = BASS_BOOL (*)(BASS_INFO* info);
using BASS_ErrorGetCode_t = int (*)();
using BASS_PluginLoad_t = HPLUGIN (*)(const char* file, BASS_DWORD flags);
using BASS_PluginFree_t = BASS_BOOL (*)(HPLUGIN plugin);
using BASS_MusicLoad_t = HMUSIC (*)(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_DWORD length,
                                    BASS_DWORD flags, BASS_DWORD freq);
using BASS_MusicFree_t = BASS_BOOL (*)(HMUSIC handle);
using BASS_StreamCreateFile_t = HSTREAM (*)(BASS_BOOL mem, const void* file, BASS_QWORD offset, BASS_QWORD length,
                                            BASS_DWORD flags);
using BASS_StreamFree_t = BASS_BOOL (*)(HSTREAM handle);
using BASS_ChannelSetAttribute_t = BASS_BOOL (*)(BASS_DWORD handle, BASS_DWORD attrib, float value);
using BASS_ChannelGetAttribute_t = BASS_BOOL (*)(BASS_DWORD handle, BASS_DWORD attrib, float* value);
using BASS_ChannelIsActive_t = BASS_DWORD (*)(BASS_DWORD handle);
using BASS_ChannelGetData_t = BASS_DWORD (*)(BASS_DWORD handle, void* buffer, BASS_DWORD length);
using BASS_ChannelPlay_t = BASS_BOOL (*)(BASS_DWORD handle, BASS_BOOL restart);
using BASS_ChannelPause_t = BASS_BOOL (*)(BASS_DWORD handle);
using BASS_ChannelStop_t = BASS_BOOL (*)(BASS_DWORD handle);
using BASS_ChannelGetLength_t = BASS_QWORD (*)(BASS_DWORD handle, BASS_DWORD mode);
using BASS_ChannelGetPosition_t = BASS_QWORD (*)(BASS_DWORD handle, BASS_DWORD mode);
using BASS_ChannelSetPosition_t = BASS_BOOL (*)(BASS_DWORD handle, BASS_QWORD position, BASS_DWORD mode);
using BASS_ChannelSeconds2Bytes_t = BASS_QWORD (*)(BASS_DWORD handle, double seconds);
using BASS_FX_GetVersion_t = BASS_DWORD (*)();
using BASS_FX_TempoCreate_t = HSTREAM (*)(BASS_DWORD channel, BASS_DWORD flags);
// The encoder callback receives each block of encoded output; the program
// passes none, since lame writes the file itself.
using ENCODEPROC = void(HENCODE handle, BASS_DWORD channel, const void* buffer, BASS_DWORD length, void* user);
using BASS_Encode_GetVersion_t = BASS_DWORD (*)();
using BASS_Encode_Start_t = HENCODE (*)(BASS_DWORD handle, const char* commandLine, BASS_DWORD flags, ENCODEPROC* proc,
                                        void* user);
using BASS_Encode_Stop_t = BASS_BOOL (*)(BASS_DWORD handle);
using BASS_Mixer_StreamCreate_t = HSTREAM (*)(BASS_DWORD freq, BASS_DWORD channels, BASS_DWORD flags);
using BASS_Mixer_StreamAddChannel_t = BASS_BOOL (*)(HSTREAM mixer, BASS_DWORD channel, BASS_DWORD flags);
