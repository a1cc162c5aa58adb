#include "PDicWriter.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string_view>

#include "platform/common/UniqueC.h"

namespace veltrix::test {

namespace {

using Converter = veltrix::UniqueC<UConverter, ucnv_close>;

Converter openConverter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &error));
    if (U_FAILURE(error)) throw std::runtime_error(std::string("ICU has no converter ") + name);
    return converter;
}

std::string encodeWith(const char* name, const std::u16string& text) {
    if (text.empty()) return {};
    // One converter per encoding for the whole run: a large dictionary encodes
    // hundreds of thousands of texts.
    static Converter bocu = openConverter("BOCU-1");
    static Converter windows31j = openConverter("windows-31j");
    UConverter* converter = std::string_view(name) == "BOCU-1" ? bocu.get() : windows31j.get();
    ucnv_resetFromUnicode(converter);
    UErrorCode error = U_ZERO_ERROR;
    std::string out(text.size() * 4 + 8, '\0');
    const int32_t n = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                      static_cast<int32_t>(text.size()), &error);
    if (U_FAILURE(error)) throw std::runtime_error("ICU could not encode a text");
    out.resize(static_cast<std::size_t>(n));
    return out;
}

void put16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void appendNumber(std::string& bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

struct Encoded {
    std::string title, honbun, yorei, pronunciation;
    int level;
    std::string extraItems;
};

// One record without its length field; `shared` bytes of the title are left out.
std::string recordBody(const Encoded& entry, std::size_t shared, bool unicode, std::size_t& pieceStart) {
    const bool extended = !entry.yorei.empty() || !entry.pronunciation.empty() || !entry.extraItems.empty();
    const auto attribute = static_cast<char>((entry.level & 0x0F) | (extended ? 0x10 : 0));
    std::string body;
    body.push_back(static_cast<char>(shared));
    if (unicode) body.push_back(attribute);
    pieceStart = body.size();
    body += entry.title.substr(shared);
    body.push_back('\0');
    if (!unicode) body.push_back(attribute);
    body += entry.honbun;
    if (extended) {
        body.push_back('\0');
        std::string items = entry.extraItems;
        if (!entry.yorei.empty()) items += '\x01' + entry.yorei + '\0';
        if (!entry.pronunciation.empty()) items += '\x02' + entry.pronunciation + '\0';
        body += items;
        body.push_back('\x80');
    }
    return body;
}

}  // namespace

std::string encodeBocu1(const std::u16string& text) { return encodeWith("BOCU-1", text); }

std::string encodeWindows31j(const std::u16string& text) { return encodeWith("windows-31j", text); }

std::u16string icuDecodeBocu1(const std::string& bytes) {
    Converter converter = openConverter("BOCU-1");
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    std::u16string out(bytes.size() * 2 + 4, u'\0');
    char16_t* target = out.data();
    const char* source = bytes.data();
    error = U_ZERO_ERROR;
    ucnv_toUnicode(converter.get(), &target, out.data() + out.size(), &source, bytes.data() + bytes.size(), nullptr,
                   true, &error);
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

std::string buildPDic(std::vector<PDicEntry> entries, const PDicLayout& layout, PDicFileInfo* info) {
    const bool unicode = layout.encoding == PDicLayout::Encoding::Unicode;
    std::vector<Encoded> encoded;
    encoded.reserve(entries.size());
    for (const PDicEntry& e : entries) {
        const auto encode = [&](const std::u16string& text) {
            return unicode ? encodeBocu1(text) : encodeWindows31j(text);
        };
        encoded.push_back(Encoded{encode(e.title), encode(e.honbun), encode(e.yorei), encode(e.pronunciation), e.level,
                                  e.extraItems});
    }
    if (unicode) {
        // The reader compares decoded titles by UTF-16 code unit.
        std::vector<std::size_t> order(entries.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return entries[a].title < entries[b].title; });
        std::vector<Encoded> sorted;
        for (std::size_t i : order) sorted.push_back(std::move(encoded[i]));
        encoded = std::move(sorted);
    } else {
        std::stable_sort(encoded.begin(), encoded.end(), [](const Encoded& a, const Encoded& b) {
            return std::lexicographical_compare(
                a.title.begin(), a.title.end(), b.title.begin(), b.title.end(),
                [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
        });
    }

    const std::size_t blockSize = static_cast<std::size_t>(layout.blockSize);
    const int width = layout.wideLengths ? 4 : 2;
    PDicFileInfo made;

    // Data blocks: records until the block is full (or has recordsPerBlock).
    std::vector<std::string> blocks;
    std::vector<std::string> firstTitles;
    std::size_t next = 0;
    while (next < encoded.size()) {
        std::string records;
        std::string previous;
        int count = 0;
        const std::size_t firstIndex = next;
        while (next < encoded.size()) {
            const Encoded& entry = encoded[next];
            std::size_t shared = 0;
            if (count > 0) {
                while (shared < previous.size() && shared < entry.title.size() && shared < 255 &&
                       previous[shared] == entry.title[shared])
                    ++shared;
            }
            std::size_t pieceStart = 0;
            const std::string body = recordBody(entry, shared, unicode, pieceStart);
            const std::size_t length = body.size() - pieceStart;
            std::string record;
            appendNumber(record, static_cast<std::uint32_t>(length), width);
            record += body;
            const bool full = layout.recordsPerBlock > 0 ? count >= layout.recordsPerBlock
                                                         : 2 + records.size() + record.size() + width > blockSize;
            if (count > 0 && full) break;
            if (shared > 0) ++made.compressedRecords;
            records += record;
            previous = entry.title;
            ++count;
            ++next;
        }
        firstTitles.push_back(encoded[firstIndex].title);
        std::string block(2, '\0');
        block += records;
        block.append(static_cast<std::size_t>(width), '\0');  // no more records
        int span = static_cast<int>((block.size() + blockSize - 1) / blockSize);
        span = std::max(span, layout.minimumSpan);
        block.resize(static_cast<std::size_t>(span) * blockSize, '\0');
        put16(block, 0, static_cast<unsigned>(span) | (layout.wideLengths ? 0x8000u : 0u));
        made.maxSpan = std::max(made.maxSpan, span);
        blocks.push_back(std::move(block));
    }

    // The index: each data block's physical number and first title.
    std::string index;
    std::uint32_t physical = 0;
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        numbers.push_back(physical);
        appendNumber(index, physical, layout.indexBits32 ? 4 : 2);
        index += firstTitles[i];
        index.push_back('\0');
        physical += static_cast<std::uint32_t>(blocks[i].size() / blockSize);
    }
    const int indexBlocks = static_cast<int>((index.size() + 1 + blockSize - 1) / blockSize);
    index.resize(static_cast<std::size_t>(indexBlocks) * blockSize, '\0');

    std::string header(256, '\0');
    const std::string signature = "=============== Dictionary for PDIC ===============";
    header.replace(layout.signatureAt24 ? 24 : 13, signature.size(), signature);
    put16(header, 140, static_cast<unsigned>(layout.majorVersion) << 8);
    put16(header, 146, static_cast<unsigned>(layout.blockSize));
    put16(header, 148, static_cast<unsigned>(indexBlocks));
    put16(header, 150, 256);
    header[165] = static_cast<char>(unicode ? 0x08 : 0x00);
    if (layout.majorVersion == 4) {
        put32(header, 182, layout.extHeaderSize);
        put32(header, 190, static_cast<std::uint32_t>(blocks.size()));
        header[198] = static_cast<char>(layout.indexBits32 ? 1 : 0);
    } else {
        header[182] = static_cast<char>(layout.indexBits32 ? 1 : 0);
        put32(header, 184, layout.extHeaderSize);
        put32(header, 192, static_cast<std::uint32_t>(blocks.size()));
    }

    std::string file = header;
    // The extended header holds nothing the reader looks at: fill it with
    // bytes that would read as index entries if the reader took them for one.
    file.append(layout.extHeaderSize, '\x41');
    made.indexOffset = file.size();
    file += index;
    for (const std::string& block : blocks) {
        made.blockOffsets.push_back(file.size());
        file += block;
    }
    made.dataBlocks = static_cast<int>(blocks.size());
    made.indexBlocks = indexBlocks;
    if (info) *info = made;
    return file;
}

std::vector<std::u16string> generatedHeadwords(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> letter(0, 25), length(2, 9);
    std::set<std::u16string> unique;
    while (static_cast<int>(unique.size()) < count) {
        std::u16string word(static_cast<std::size_t>(length(random)), u'a');
        for (char16_t& c : word) c = static_cast<char16_t>(u'a' + std::min(letter(random), letter(random)));
        unique.insert(word);
    }
    return std::vector<std::u16string>(unique.begin(), unique.end());
}

bool writePDic(const std::string& path, const std::vector<PDicEntry>& entries, const PDicLayout& layout,
               PDicFileInfo* info) {
    const std::string bytes = buildPDic(entries, layout, info);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

}  // namespace veltrix::test
