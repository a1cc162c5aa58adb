#include "text/EncodingDetection.h"

#include <cstring>

namespace {

// Length of the run of ASCII bytes at d[i], taken eight at a time: English
// text is mostly such runs, and all three counts take them whole.
inline std::size_t asciiRun(const unsigned char* d, std::size_t i, std::size_t n) {
    std::size_t start = i;
    while (i + 8 <= n) {
        std::uint64_t block;
        std::memcpy(&block, d + i, 8);
        if (block & 0x8080808080808080ULL) break;
        i += 8;
    }
    return i - start;
}

}  // namespace

#include "text/EncodingCode.h"

std::int64_t shiftJisCount(const unsigned char* d, std::size_t n) {
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = asciiRun(d, i, n);
        count += static_cast<std::int64_t>(run);
        i += run;
        if (i >= n) break;
        unsigned char b = d[i];
        if (b <= 0x7F || (b >= 0xA1 && b <= 0xDF)) {
            ++count;
            ++i;
        } else if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < n &&
                   ((d[i + 1] >= 0x40 && d[i + 1] <= 0x7E) || (d[i + 1] >= 0x80 && d[i + 1] <= 0xFC))) {
            count += 2;
            i += 2;
        } else {
            ++i;
        }
    }
    return count;
}

std::int64_t utf8Count(const unsigned char* d, std::size_t n) {
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = asciiRun(d, i, n);
        count += static_cast<std::int64_t>(run);
        i += run;
        if (i >= n) break;
        unsigned char b = d[i];
        std::size_t len = 0;
        if (b <= 0x7F)
            len = 1;
        else if (b >= 0xC0 && b <= 0xDF && i + 1 < n && d[i + 1] >= 0x80 && d[i + 1] <= 0xBF)
            len = 2;
        else if (b >= 0xE0 && b <= 0xEF && i + 2 < n && d[i + 1] >= 0x80 && d[i + 1] <= 0xBF && d[i + 2] >= 0x80)
            len = 3;
        else if (b >= 0xF0 && b <= 0xF7 && i + 3 < n && d[i + 1] >= 0x80 && d[i + 1] <= 0xBF && d[i + 2] >= 0x80 &&
                 d[i + 3] >= 0x80)
            len = 4;
        if (len) {
            count += static_cast<std::int64_t>(len);
            i += len;
        } else {
            ++i;
        }
    }
    return count;
}

std::int64_t eucJpCount(const unsigned char* d, std::size_t n) {
    std::int64_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = asciiRun(d, i, n);
        count += static_cast<std::int64_t>(run);
        i += run;
        if (i >= n) break;
        unsigned char b = d[i];
        if (b <= 0x7F) {
            ++count;
            ++i;
        } else if (((b >= 0xA1 && b <= 0xFE) || b == 0x8E) && i + 1 < n && d[i + 1] >= 0xA1) {
            count += 2;
            i += 2;
        } else if (b == 0x8F && i + 2 < n && d[i + 1] >= 0xA1 && d[i + 1] <= 0xFE && d[i + 2] >= 0xA1 &&
                   d[i + 2] <= 0xFE) {
            count += 3;
            i += 3;
        } else if (i + 1 < n) {
            return 0;
        } else {
            ++i;
        }
    }
    return count;
}

bool isMultiByteUtf8(const unsigned char* d, std::size_t n) {
    bool multiByte = false;
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = d[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if (d[i + k] < lo || d[i + k] > hi) return false;
            lo = 0x80;
            hi = 0xBF;
        }
        multiByte = true;
        i += len;
    }
    return multiByte;
}

int detectEncoding(const unsigned char* d, std::size_t n) {
    if (n > 0 && std::memchr(d, 0, n)) return encoding::kBinary;
    const std::int64_t size = static_cast<std::int64_t>(n);
    const std::int64_t sjis = shiftJisCount(d, n);
    // Much UTF-8 Japanese also passes as Shift_JIS byte for byte (E3 8x is a
    // Shift_JIS pair, the third byte a half-width katakana). Real Shift_JIS text
    // is practically never well-formed UTF-8, so well-formed UTF-8 wins.
    if (sjis >= size) return isMultiByteUtf8(d, n) ? encoding::kUtf8 : encoding::kNarrow;
    const std::int64_t utf8 = utf8Count(d, n);
    const std::int64_t euc = eucJpCount(d, n);
    if (utf8 <= size - 100 && euc <= size - 100) return encoding::kNarrow;
    if (utf8 < sjis && euc < sjis) return encoding::kNarrow;
    return euc < utf8 ? encoding::kUtf8 : encoding::kEucJp;
}

void eucJpToShiftJis(std::string& bytes) {
    auto* d = reinterpret_cast<unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t in = 0, out = 0;
    auto isEucByte = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
    while (in < n) {
        unsigned char lead = d[in];
        if (isEucByte(lead) && in + 1 < n && isEucByte(d[in + 1])) {
            unsigned j1 = lead - 0x80u, j2 = d[in + 1] - 0x80u;
            unsigned s1 = (j1 + 1) / 2 + 0x70;
            if (s1 >= 0xA0) s1 += 0x40;
            unsigned s2;
            if (j1 & 1) {
                s2 = j2 + 0x1F;
                if (s2 >= 0x7F) ++s2;
            } else {
                s2 = j2 + 0x7E;
            }
            d[out++] = static_cast<unsigned char>(s1);
            d[out++] = static_cast<unsigned char>(s2);
            in += 2;
        } else if (lead == 0x8E && in + 1 < n && d[in + 1] >= 0xA1 && d[in + 1] <= 0xDF) {
            d[out++] = d[in + 1];
            in += 2;
        } else if (lead == 0x8F && in + 2 < n && isEucByte(d[in + 1]) && isEucByte(d[in + 2])) {
            d[out++] = '?';
            in += 3;
        } else {
            d[out++] = d[in++];
        }
    }
    bytes.resize(out);
}
