// libFuzzer target for the PDIC reader and the BOCU-1 decoder: any bytes
// taken as a dictionary file give a refused open or some hits, never a
// crash, a hang or a read outside the file. The seeds in corpus/pdic_fuzz are
// small dictionaries of each layout, so that the search gets past the header.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dictionary/Bocu1Decoder.h"
#include "dictionary/PDicReader.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string widePath = writeFuzzFile(data, size, ".dic");
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
    const std::u16string decoded = decodeBocu1(std::string_view(reinterpret_cast<const char*>(data), size), 4096);
    // One byte can end a code point outside the BMP (a one-byte difference
    // once the state is in a supplementary plane): two units at most per byte.
    if (decoded.size() > 2 * size || decoded.size() > 4096) __builtin_trap();
    return 0;
}
