#include "platform/services/Iconv.h"

#include <iconv.h>

#include <cerrno>

#include "platform/common/Unicode.h"
namespace platform {

namespace {
const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

iconv_t open(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    return cd == kInvalid ? nullptr : cd;
}

void reset(void* cd) { iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr); }
}  // namespace

Iconv::Iconv(const char* charset) {
    m_toWide = open("UTF-16LE", charset);
    m_toNarrow = open(charset, "UTF-16LE");
}

Iconv::~Iconv() {
    if (m_toWide) iconv_close(static_cast<iconv_t>(m_toWide));
    if (m_toNarrow) iconv_close(static_cast<iconv_t>(m_toNarrow));
}

std::u16string Iconv::toWide(std::string_view narrow, char16_t invalid) const {
    std::u16string out;
    if (!m_toWide) return out;
    reset(m_toWide);
    out.resize(narrow.size() + 4);
    char* in = const_cast<char*>(narrow.data());
    size_t inLeft = narrow.size();
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = out.size() * 2;
    while (inLeft > 0) {
        size_t r = iconv(static_cast<iconv_t>(m_toWide), &in, &inLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            size_t used = out.size() * 2 - dstLeft;
            out.resize(out.size() * 2);
            dst = reinterpret_cast<char*>(out.data()) + used;
            dstLeft = out.size() * 2 - used;
            continue;
        }
        // EILSEQ or EINVAL (truncated at the end): replace one byte, go on.
        if (dstLeft < 2) {
            size_t used = out.size() * 2 - dstLeft;
            out.resize(out.size() * 2);
            dst = reinterpret_cast<char*>(out.data()) + used;
            dstLeft = out.size() * 2 - used;
        }
        *reinterpret_cast<char16_t*>(dst) = invalid;
        dst += 2;
        dstLeft -= 2;
        ++in;
        --inLeft;
        reset(m_toWide);
    }
    out.resize((out.size() * 2 - dstLeft) / 2);
    return out;
}

std::string Iconv::toNarrow(std::u16string_view wide, std::string_view defaultChar, bool* usedDefault) const {
    std::string out;
    if (!m_toNarrow) return out;
    reset(m_toNarrow);
    out.resize(wide.size() * 3 + 8);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(wide.data()));
    size_t inLeft = wide.size() * 2;
    char* dst = out.data();
    size_t dstLeft = out.size();
    auto grow = [&] {
        size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2 + defaultChar.size());
        dst = out.data() + used;
        dstLeft = out.size() - used;
    };
    while (inLeft > 0) {
        size_t r = iconv(static_cast<iconv_t>(m_toNarrow), &in, &inLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            grow();
            continue;
        }
        // An unmappable character, or half of a surrogate pair.
        auto c = *reinterpret_cast<const char16_t*>(in);
        size_t units = (veltrix::unicode::isHighSurrogate(c) && inLeft >= 4) ? 2 : 1;
        in += units * 2;
        inLeft -= units * 2;
        while (dstLeft < defaultChar.size()) grow();
        for (char ch : defaultChar) {
            *dst++ = ch;
            --dstLeft;
        }
        if (usedDefault) *usedDefault = true;
        reset(m_toNarrow);
    }
    // Flush any shift state (none of our charsets has one, but be correct).
    while (dstLeft < 8) grow();
    iconv(static_cast<iconv_t>(m_toNarrow), nullptr, nullptr, &dst, &dstLeft);
    out.resize(out.size() - dstLeft);
    return out;
}

bool Iconv::decodeOne(std::string_view bytes, char16_t* out) const {
    if (!m_toWide) return false;
    reset(m_toWide);
    char16_t buf[4];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = reinterpret_cast<char*>(buf);
    size_t dstLeft = sizeof buf;
    size_t r = iconv(static_cast<iconv_t>(m_toWide), &in, &inLeft, &dst, &dstLeft);
    if (r == static_cast<size_t>(-1) || inLeft != 0 || sizeof buf - dstLeft != 2) return false;
    *out = buf[0];
    return true;
}

bool Iconv::encodeOne(char16_t c, std::string* out) const {
    if (!m_toNarrow) return false;
    reset(m_toNarrow);
    char buf[8];
    char* in = reinterpret_cast<char*>(&c);
    size_t inLeft = 2;
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(static_cast<iconv_t>(m_toNarrow), &in, &inLeft, &dst, &dstLeft);
    if (r == static_cast<size_t>(-1) || inLeft != 0) return false;
    out->assign(buf, sizeof buf - dstLeft);
    return true;
}

}  // namespace platform
