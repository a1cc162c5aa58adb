// libFuzzer target for the PDIC reader and the BOCU-1 decoder: any bytes
// taken as a dictionary file give a refused open or some hits, never a
// crash, a hang or a read outside the file. The seeds in fuzz-seeds/ are
// small dictionaries of each layout, so that the search gets past the header.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "dictionary/Bocu1Decoder.h"
#include "dictionary/PDicReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/veltrix-pdic-fuzz-" + std::to_string(::getpid()) + ".dic";
    static const std::u16string widePath(path.begin(), path.end());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CPDicReader reader;
    if (reader.open(widePath) == 0) {
        for (const char16_t* word : {u"", u"a", u"te", u"日本", u"ガイド", u"zz"}) {
            for (SearchMode mode : {SearchMode::Prefix, SearchMode::Exact}) {
                int truncated = 0;
                const int hits = reader.search(word, mode, 64, truncated);
                if (hits > 64 || (truncated && hits != 64)) __builtin_trap();
                PDicHitTexts texts;
                for (int n = 0; n < hits; ++n) reader.hitAt(n, texts, PDicTextLimits{64, 256, 256, 64});
                if (texts.title.size() > 63 || texts.honbun.size() > 255) __builtin_trap();
            }
        }
    }
    const std::u16string decoded =
        decodeBocu1(std::string_view(reinterpret_cast<const char*>(data), size), 4096);
    if (decoded.size() > size || decoded.size() > 4096) __builtin_trap();
    return 0;
}
