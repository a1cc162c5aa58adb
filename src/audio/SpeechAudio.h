// Reads an audio file for speech work: decoded by the audio modules (any
// format the player opens), folded to mono by their mixer, and resampled to
// 16 kHz 16-bit, handed on in blocks of about a second so that a long file is
// never held whole. Times of the blocks are the file's own (source) time,
// whatever tempo the player uses.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class BassLibrary;

// Receives each block; returning false stops the reading.
using SpeechBlockSink = std::function<bool(std::span<const std::int16_t>)>;

enum class SpeechReadResult { Finished, Stopped, Failed };

// The library must be loaded. On Failed, error says why.
SpeechReadResult readSpeechAudio(BassLibrary& library, const std::u16string& path, const SpeechBlockSink& sink,
                                 std::u16string& error);
