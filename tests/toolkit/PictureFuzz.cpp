// Fuzz target for one picture reader, chosen by the file extension the target
// is built with (PICTURE_EXTENSION): any bytes load as a bitmap within the size
// limit, or give false with a reason; never a crash, a leak, a read outside
// the file or an allocation beyond what the limit allows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/FuzzInput.h"
#include "toolkit/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string path = writeFuzzFile(data, size, PICTURE_EXTENSION);
    // Only BMP files load at the depth asked for; the others are always 32 bits.
    constexpr bool kBmp = std::string_view(PICTURE_EXTENSION) == ".bmp";
    for (int bits : {32, 24}) {
        Bitmap bitmap;
        if (!bitmap.loadImage(path, bits)) {
            if (bitmap.errorText().empty() || !bitmap.empty()) __builtin_trap();
            return 0;
        }
        if (bitmap.getWidth() <= 0 || bitmap.getWidth() > Bitmap::kMaxSide || bitmap.getHeight() <= 0 ||
            bitmap.getHeight() > Bitmap::kMaxSide)
            __builtin_trap();
        // Every pixel is readable: the last one sits inside the pixel memory.
        (void)bitmap.getPixel(bitmap.getWidth() - 1, bitmap.getHeight() - 1);
        Bitmap copy = bitmap;
        if (copy.getPixel(0, 0) != bitmap.getPixel(0, 0)) __builtin_trap();
        if (!kBmp) break;
    }
    return 0;
}
