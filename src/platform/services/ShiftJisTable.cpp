#include "platform/services/ShiftJisTable.h"

#include "platform/common/Unicode.h"
#include "platform/services/Iconv.h"

namespace platform {

const ShiftJisTable& ShiftJisTable::instance() {
    static const ShiftJisTable table;  // thread-safe initialisation
    return table;
}

ShiftJisTable::ShiftJisTable() : m_double(0x80 * 256, 0), m_encode(0x10000, 0) {
    Iconv cp932("CP932");
    for (int b = 0; b < 0x80; ++b) m_single[b] = static_cast<char16_t>(b);
    for (int b = 0xA1; b <= 0xDF; ++b) m_single[b] = static_cast<char16_t>(0xFF61 + (b - 0xA1));
    // Windows' best-fit assignments for the single bytes CP932 leaves undefined.
    m_single[0x80] = 0x0080;
    m_single[0xA0] = 0xF8F0;
    m_single[0xFD] = 0xF8F1;
    m_single[0xFE] = 0xF8F2;
    m_single[0xFF] = 0xF8F3;

    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char16_t c;
            if (cp932.decodeOne(std::string_view(pair, 2), &c)) {
                m_double[(lead - 0x80) * 256 + trail] = c;
            } else if (lead >= 0xF0 && lead <= 0xF9) {
                // The user-defined rows map to the private use area in order,
                // 188 characters a lead byte, as Windows maps them.
                int index = (lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F ? 1 : 0);
                m_double[(lead - 0x80) * 256 + trail] = static_cast<char16_t>(0xE000 + index);
            }
        }
    }

    for (int b = 1; b < 0x80; ++b) m_encode[b] = static_cast<std::uint16_t>(b);
    for (int b = 0xA1; b <= 0xDF; ++b) m_encode[0xFF61 + (b - 0xA1)] = static_cast<std::uint16_t>(b);
    std::string bytes;
    for (std::size_t i = 0; i < m_double.size(); ++i) {
        char16_t c = m_double[i];
        if (c == 0 || m_encode[c] != 0) continue;
        auto code = static_cast<std::uint16_t>(((i / 256) + 0x80) << 8 | (i % 256));
        // Ask the encoder which of several codes for one character is preferred.
        if (cp932.encodeOne(c, &bytes) && bytes.size() == 2)
            code = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                              static_cast<unsigned char>(bytes[1]));
        m_encode[c] = code;
    }
}

std::size_t ShiftJisTable::decode(const unsigned char* d, std::size_t n, char16_t* out) const {
    std::size_t i = 0, o = 0;
    while (i < n) {
        unsigned char b = d[i];
        if (!isLeadByte(b)) {
            out[o++] = m_single[b];
            ++i;
        } else if (i + 1 < n && isTrailByte(d[i + 1])) {
            char16_t c = m_double[(b - 0x80) * 256 + d[i + 1]];
            out[o++] = c ? c : kUnmappedPair;
            i += 2;
        } else {
            // A lead byte without a trail byte: the trail byte, if any, is read
            // again on its own.
            out[o++] = kUnmappedPair;
            ++i;
        }
    }
    return o;
}

std::size_t ShiftJisTable::decodedLength(const unsigned char* d, std::size_t n) const {
    std::size_t i = 0, o = 0;
    while (i < n) {
        i += (isLeadByte(d[i]) && i + 1 < n && isTrailByte(d[i + 1])) ? 2 : 1;
        ++o;
    }
    return o;
}

void ShiftJisTable::encode(const char16_t* s, std::size_t n, std::string& out, const std::string& defaultChar,
                           bool* usedDefault) const {
    for (std::size_t i = 0; i < n; ++i) {
        char16_t c = s[i];
        std::uint16_t code = m_encode[c];
        if (c == 0) {
            out.push_back('\0');
        } else if (code == 0) {
            // A surrogate pair is one character and gets one default character.
            if (veltrix::unicode::isHighSurrogate(c) && i + 1 < n && veltrix::unicode::isLowSurrogate(s[i + 1])) ++i;
            out += defaultChar;
            if (usedDefault) *usedDefault = true;
        } else if (code > 0xFF) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
}

}  // namespace platform
