#include "dictionary/Bocu1Decoder.h"

namespace {

// The layout of the byte values (Unicode Technical Note #6).
constexpr std::int32_t kMiddle = 0x90;
constexpr std::uint8_t kReset = 0xFF;
constexpr std::int32_t kTrailCount = 243;      // 20 control bytes + 0x21..0xFF
constexpr std::int32_t kTrailByteOffset = 13;  // trail value = byte - 13 above 0x20
constexpr std::int32_t kLead2 = 43;
constexpr std::int32_t kLead3 = 3;
constexpr std::int32_t kReachPos1 = 63;
constexpr std::int32_t kReachNeg1 = -64;
constexpr std::int32_t kReachPos2 = kReachPos1 + kLead2 * kTrailCount;
constexpr std::int32_t kReachNeg2 = kReachNeg1 - kLead2 * kTrailCount;
constexpr std::int32_t kReachPos3 = kReachPos2 + kLead3 * kTrailCount * kTrailCount;
constexpr std::int32_t kReachNeg3 = kReachNeg2 - kLead3 * kTrailCount * kTrailCount;
constexpr std::int32_t kStartPos2 = kMiddle + kReachPos1 + 1;  // 0xD0
constexpr std::int32_t kStartPos3 = kStartPos2 + kLead2;       // 0xFB
constexpr std::int32_t kStartPos4 = kStartPos3 + kLead3;       // 0xFE
constexpr std::int32_t kStartNeg2 = kMiddle + kReachNeg1;      // 0x50
constexpr std::int32_t kStartNeg3 = kStartNeg2 - kLead2;       // 0x25
constexpr std::int32_t kMinByte = 0x21;

// Trail values of the control bytes that may carry one (-1: not a trail byte).
constexpr std::int8_t kControlTrail[0x21] = {-1, 0, 1, 2, 3,  4,  5,  -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x00..0x0F
                                             6,  7, 8, 9, 10, 11, 12, 13, 14, 15, -1, -1, 16, 17, 18, 19,  // 0x10..0x1F
                                             -1};                                                          // 0x20

// The "previous" value after a code point: the middle of its script's block,
// with wider blocks for hiragana, the unified ideographs and hangul.
std::int32_t previousAfter(std::int32_t c) {
    if (c >= 0x3040 && c <= 0x309F) return 0x3070;
    if (c >= 0x4E00 && c <= 0x9FA5) return 0x4E00 - kReachNeg2;
    if (c >= 0xAC00 && c <= 0xD7A3) return (0xD7A3 + 0xAC00) / 2;
    return (c & ~0x7F) + 0x40;
}

}  // namespace

void Bocu1Decoder::reset() {
    previous_ = kAsciiPrevious;
    difference_ = 0;
    trailsLeft_ = 0;
}

Bocu1Decoder::Step Bocu1Decoder::feed(std::uint8_t byte) { return trailsLeft_ == 0 ? leadByte(byte) : trailByte(byte); }

Bocu1Decoder::Step Bocu1Decoder::leadByte(std::uint8_t byte) {
    if (byte <= 0x20) {
        // Controls and space stand for themselves; controls also reset the state.
        if (byte != 0x20) previous_ = kAsciiPrevious;
        codePoint_ = byte;
        return Step::CodePoint;
    }
    if (byte == kReset) {
        previous_ = kAsciiPrevious;
        return Step::NeedMore;
    }
    const std::int32_t b = byte;
    if (b >= kStartNeg2 && b < kStartPos2) return deliver(previous_ + b - kMiddle);
    if (b >= kStartPos2) {
        if (b < kStartPos3) {
            difference_ = (b - kStartPos2) * kTrailCount + kReachPos1 + 1;
            trailsLeft_ = 1;
        } else if (b < kStartPos4) {
            difference_ = (b - kStartPos3) * kTrailCount * kTrailCount + kReachPos2 + 1;
            trailsLeft_ = 2;
        } else {
            difference_ = kReachPos3 + 1;
            trailsLeft_ = 3;
        }
    } else if (b >= kStartNeg3) {
        difference_ = (b - kStartNeg2) * kTrailCount + kReachNeg1;
        trailsLeft_ = 1;
    } else if (b > kMinByte) {
        difference_ = (b - kStartNeg3) * kTrailCount * kTrailCount + kReachNeg2;
        trailsLeft_ = 2;
    } else {
        difference_ = -kTrailCount * kTrailCount * kTrailCount + kReachNeg3;
        trailsLeft_ = 3;
    }
    return Step::NeedMore;
}

Bocu1Decoder::Step Bocu1Decoder::trailByte(std::uint8_t byte) {
    std::int32_t trail = 0;
    if (byte <= 0x20) {
        trail = kControlTrail[byte];
        if (trail < 0) {
            reset();
            return Step::Illegal;
        }
    } else {
        trail = static_cast<std::int32_t>(byte) - kTrailByteOffset;
    }
    if (trailsLeft_ == 1) {
        trailsLeft_ = 0;
        return deliver(previous_ + difference_ + trail);
    }
    difference_ += trail * (trailsLeft_ == 2 ? kTrailCount : kTrailCount * kTrailCount);
    --trailsLeft_;
    return Step::NeedMore;
}

Bocu1Decoder::Step Bocu1Decoder::deliver(std::int32_t value) {
    if (value < 0 || value > 0x10FFFF) {
        reset();
        return Step::Illegal;
    }
    codePoint_ = static_cast<char32_t>(value);
    previous_ = previousAfter(value);
    return Step::CodePoint;
}

std::u16string decodeBocu1(std::string_view bytes, std::size_t maxUnits) {
    std::u16string text;
    Bocu1Decoder decoder;
    for (char raw : bytes) {
        const auto byte = static_cast<std::uint8_t>(raw);
        const Bocu1Decoder::Step step = decoder.feed(byte);
        if (step == Bocu1Decoder::Step::Illegal) break;
        if (step != Bocu1Decoder::Step::CodePoint) continue;
        const char32_t c = decoder.codePoint();
        // U+0000 ends a text however it was written.
        if (c == 0) break;
        const std::size_t units = c >= 0x10000 ? 2 : 1;
        if (text.size() + units > maxUnits) break;
        if (units == 1) {
            text.push_back(static_cast<char16_t>(c));
        } else {
            text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return text;
}
