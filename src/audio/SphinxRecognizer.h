// The speech recogniser on PocketSphinx with its packaged US English acoustic
// model and pronunciation dictionary. Each alignment is one utterance decoded
// against a grammar made of the words given, in their order, so the search
// only has to find where each word lies.
//
// Every PocketSphinx and SphinxBase object is held by an owner with its
// release function. One object is used by one thread at a time (the decoder
// is not shared); separate objects may run in parallel.
#pragma once

#include <memory>
#include <string>

#include "audio/SpeechRecognizer.h"

class SphinxRecognizer final : public SpeechRecognizer {
public:
    // Loads the model (a second or so); null with a message in error when it
    // is not installed.
    static std::unique_ptr<SphinxRecognizer> create(std::u16string& error);
    ~SphinxRecognizer() override;

    std::string spoken(const std::string& word) override;
    std::vector<RecognizedWord> align(std::span<const std::int16_t> samples, std::span<const std::string> words,
                                      bool toTheEnd) override;

private:
    struct Handles;
    explicit SphinxRecognizer(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
};
