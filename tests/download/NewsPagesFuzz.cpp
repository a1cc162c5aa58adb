// Fuzz target for what the downloaders read out of web pages beyond the HTML
// reader: the news programme's day, list, explanation and keyword pages and
// the caption service's track lists and tracks. Any text must give a result
// or a RetrieverException, never crash, hang or read outside the text.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "download/CaptionText.h"
#include "download/NewsPages.h"
#include "download/RetrieverException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes a character, so every UTF-16 value (lone surrogates too) occurs.
    std::u16string page(size / 2, u'\0');
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::u16string url = u"http://h/e-news/elearning/explain.cgi?id=1";
    auto attempt = [](auto&& read) {
        try {
            read();
        } catch (const RetrieverException& e) {
            if (e.message().empty()) __builtin_trap();
        }
    };
    attempt([&] { news::readProgrammeInformation(page, u"h", u"20150520"); });
    attempt([&] { news::readWordList(page, [] {}); });
    attempt([&] { news::readExplanationLinks(page, u"h"); });
    attempt([&] { news::readExplanationPage(url, page); });
    attempt([&] { news::readKeywordPage(url, page); });
    captions::readTrackList(page);
    captions::splitSentences(captions::captionText(page));
    captions::videoIdOf(page, u"youtube.com");
    return 0;
}

#ifdef VELTRIX_FUZZ_REPLAY
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return 0;
}
#endif
