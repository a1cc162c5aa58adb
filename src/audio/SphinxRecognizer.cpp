#include "audio/SphinxRecognizer.h"

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <sphinxbase/fsg_model.h>

#include <filesystem>

#include "platform/common/UniqueC.h"

namespace {

using Config = veltrix::UniqueC<cmd_ln_t, cmd_ln_free_r>;
using Decoder = veltrix::UniqueC<ps_decoder_t, ps_free>;
using Grammar = veltrix::UniqueC<fsg_model_t, fsg_model_free>;
using Segment = veltrix::UniqueC<ps_seg_t, ps_seg_free>;
using Pronunciation = veltrix::UniqueC<char, ckd_free>;

constexpr std::uint32_t kFrameMs = 10;  // the decoder's frame rate is 100 per second
constexpr char kSearch[] = "align";

bool isFiller(const char* word) { return word[0] == '<' || word[0] == '['; }

// "word(2)" is the second pronunciation of "word".
std::string baseWord(const char* word) {
    std::string text(word);
    const auto paren = text.find('(');
    if (paren != std::string::npos && paren > 0) text.resize(paren);
    return text;
}

}  // namespace

struct SphinxRecognizer::Handles {
    Config config;
    Decoder decoder;
};

SphinxRecognizer::SphinxRecognizer(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
SphinxRecognizer::~SphinxRecognizer() = default;

std::unique_ptr<SphinxRecognizer> SphinxRecognizer::create(std::u16string& error) {
    const std::filesystem::path model(VELTRIX_SPHINX_MODEL_DIR);
    const std::filesystem::path acoustic = model / "en-us" / "en-us";
    const std::filesystem::path dictionary = model / "en-us" / "cmudict-en-us.dict";
    std::error_code ignored;
    if (!std::filesystem::exists(acoustic / "mdef", ignored) || !std::filesystem::exists(dictionary, ignored)) {
        error = u"The English speech model is not installed (the package pocketsphinx-en-us).";
        return nullptr;
    }
    // The library logs every step to stderr unless told not to.
    err_set_logfp(nullptr);
    auto handles = std::make_unique<Handles>();
    handles->config.reset(cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", acoustic.c_str(), "-dict", dictionary.c_str(),
                                      "-samprate", "16000",
                                      // Each window is decoded whole, so its own mean normalises it.
                                      "-cmn", "batch",
                                      // Digital silence (zeros) has no spectrum to take the log of;
                                      // without a little noise the words swallow it.
                                      "-dither", "yes",
                                      // The front end's own silence removal drops frames, and the
                                      // word times would no longer count from the window's start.
                                      "-remove_silence", "no",
                                      // The grammar is a single line of words, so a wide beam costs
                                      // little and keeps accented or hurried speech on the path.
                                      "-beam", "1e-80", "-pbeam", "1e-80", "-wbeam", "1e-60", nullptr));
    if (handles->config) handles->decoder.reset(ps_init(handles->config.get()));
    if (!handles->decoder) {
        error = u"The speech recogniser could not load its English model.";
        return nullptr;
    }
    return std::unique_ptr<SphinxRecognizer>(new SphinxRecognizer(std::move(handles)));
}

std::string SphinxRecognizer::spoken(const std::string& word) {
    const Pronunciation phones(ps_lookup_word(handles_->decoder.get(), word.c_str()));
    return phones ? word : std::string();
}

std::vector<RecognizedWord> SphinxRecognizer::align(std::span<const std::int16_t> samples,
                                                    std::span<const std::string> words, bool toTheEnd) {
    std::vector<RecognizedWord> found;
    ps_decoder_t* decoder = handles_->decoder.get();
    if (words.empty() || samples.empty()) return found;
    const auto n = static_cast<int32>(words.size());
    // States 0..n: word i leads from state i to i + 1. Without toTheEnd every
    // state after the first word may end the utterance.
    Grammar grammar(fsg_model_init(kSearch, ps_get_logmath(decoder), 1.0f, n + 1));
    if (!grammar) return found;
    grammar->start_state = 0;
    grammar->final_state = n;
    for (int32 i = 0; i < n; ++i) {
        const int32 id = fsg_model_word_add(grammar.get(), words[static_cast<std::size_t>(i)].c_str());
        fsg_model_trans_add(grammar.get(), i, i + 1, 0, id);
    }
    if (!toTheEnd)
        for (int32 i = 1; i < n; ++i) fsg_model_null_trans_add(grammar.get(), i, n, 0);
    // The decoder takes its own reference to the grammar.
    if (ps_set_fsg(decoder, kSearch, grammar.get()) < 0 || ps_set_search(decoder, kSearch) < 0) return found;
    if (ps_start_utt(decoder) < 0) return found;
    ps_process_raw(decoder, samples.data(), samples.size(), FALSE, TRUE);
    ps_end_utt(decoder);

    std::size_t next = 0;
    for (Segment segment(ps_seg_iter(decoder)); segment; segment.reset(ps_seg_next(segment.release()))) {
        const char* word = ps_seg_word(segment.get());
        if (!word || isFiller(word)) continue;
        const std::string base = baseWord(word);
        std::size_t index = next;
        while (index < words.size() && words[index] != base) ++index;
        if (index == words.size()) continue;
        int first = 0, last = 0;
        ps_seg_frames(segment.get(), &first, &last);
        found.push_back(
            {index, static_cast<std::uint32_t>(first) * kFrameMs, static_cast<std::uint32_t>(last + 1) * kFrameMs});
        next = index + 1;
    }
    return found;
}
