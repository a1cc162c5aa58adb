// Fuzz target for text decoding and encoding recognition: any bytes decode
// under detection and under every hint, in memory and from a file alike, and
// UTF-16 text survives being written and read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/FuzzInput.h"
#include "text/EncodingCode.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

namespace {

bool knownCode(int code) { return code >= 0 && code <= 7 && code != 5; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool codePageSet = (setNarrowCodePage(932), true);
    (void)codePageSet;

    std::u16string detected;
    const int code = decodeBytes(data, size, detected);
    if (!knownCode(code)) __builtin_trap();

    // The file reader is the same decoder behind a file.
    std::u16string fromFile;
    const int fileCode = readTextFile(writeFuzzFile(data, size, ".txt"), fromFile);
    if (size > 0 && (fileCode != code || fromFile != detected)) __builtin_trap();

    for (int hint : {encoding::kNarrow, encoding::kUtf16LE, encoding::kUtf16BE, encoding::kUtf8,
                     encoding::kUtf8WithMark, encoding::kEucJp, encoding::kBinary}) {
        std::u16string text;
        if (!knownCode(decodeBytes(data, size, text, hint))) __builtin_trap();
    }

    // Decoded text holds no U+0000 as UTF-16, so its UTF-16LE form reads back whole.
    std::string written = "\xFF\xFE" + encodeText(detected, encoding::kUtf16LE);
    std::u16string back;
    if (decodeBytes(written.data(), written.size(), back) != encoding::kUtf16LE) __builtin_trap();
    if (detected.find(u'\0') == std::u16string::npos && back != detected) __builtin_trap();

    for (int target : {encoding::kNarrow, encoding::kUtf8, encoding::kUtf16BE, encoding::kEucJp})
        (void)encodeText(detected, target);
    (void)toWide(toNarrow(detected));
    (void)encodingCodeOf(detected);
    return 0;
}
