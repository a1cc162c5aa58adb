#include "platform/controls/DialogTemplate.h"

#include <cstdint>
#include <cstring>

namespace veltrix::platform::controls {

namespace {

// A cursor over template memory; every read is unaligned-safe.
class Reader {
public:
    explicit Reader(const BYTE* at) : start_(at), at_(at) {}

    template <typename T>
    T read() {
        T v;
        std::memcpy(&v, at_, sizeof v);
        at_ += sizeof v;
        return v;
    }
    bool readString(std::u16string& out) {
        out.clear();
        for (;;) {
            auto c = read<char16_t>();
            if (c == 0) return true;
            if (out.size() >= kMaxString) return false;
            out.push_back(c);
        }
    }
    bool readNameOrOrdinal(NameOrOrdinal& out) {
        WORD first;
        std::memcpy(&first, at_, sizeof first);
        if (first == 0xFFFF) {
            at_ += 2;
            out.isOrdinal = true;
            out.ordinal = read<WORD>();
            return true;
        }
        return readString(out.name);
    }
    void alignTo(std::size_t n) {
        auto offset = static_cast<std::size_t>(at_ - start_);
        at_ += (n - offset % n) % n;
    }
    void skip(std::size_t n) { at_ += n; }
    const BYTE* at() const { return at_; }

private:
    const BYTE* start_;
    const BYTE* at_;
};

}  // namespace

std::optional<DialogDescription> readDialogTemplate(const DLGTEMPLATE* dialogTemplate) {
    if (!dialogTemplate) return std::nullopt;
    Reader r(reinterpret_cast<const BYTE*>(dialogTemplate));
    DialogDescription d;
    WORD count = 0;
    WORD version;
    WORD signature;
    {
        const auto* bytes = reinterpret_cast<const BYTE*>(dialogTemplate);
        std::memcpy(&version, bytes, 2);
        std::memcpy(&signature, bytes + 2, 2);
    }
    d.extended = version == 1 && signature == 0xFFFF;
    if (d.extended) {
        r.skip(4);
        r.read<DWORD>();  // help id
        d.exStyle = r.read<DWORD>();
        d.style = r.read<DWORD>();
    } else {
        d.style = r.read<DWORD>();
        d.exStyle = r.read<DWORD>();
    }
    count = r.read<WORD>();
    d.x = r.read<short>();
    d.y = r.read<short>();
    d.cx = r.read<short>();
    d.cy = r.read<short>();
    if (!r.readNameOrOrdinal(d.menu) || !r.readNameOrOrdinal(d.windowClass) || !r.readString(d.title)) {
        return std::nullopt;
    }
    if (d.style & DS_SETFONT) {
        d.hasFont = true;
        d.pointSize = r.read<WORD>();
        if (d.extended) {
            d.weight = r.read<WORD>();
            d.italic = r.read<BYTE>();
            d.charset = r.read<BYTE>();
        }
        if (!r.readString(d.face)) return std::nullopt;
    }
    d.items.reserve(count);
    for (WORD i = 0; i < count; ++i) {
        r.alignTo(4);
        DialogItem item;
        if (d.extended) {
            item.helpId = r.read<DWORD>();
            item.exStyle = r.read<DWORD>();
            item.style = r.read<DWORD>();
        } else {
            item.style = r.read<DWORD>();
            item.exStyle = r.read<DWORD>();
        }
        item.x = r.read<short>();
        item.y = r.read<short>();
        item.cx = r.read<short>();
        item.cy = r.read<short>();
        item.id = d.extended ? r.read<DWORD>() : r.read<WORD>();
        if (!r.readNameOrOrdinal(item.windowClass) || !r.readNameOrOrdinal(item.title)) return std::nullopt;
        // The classic layout counts the size word itself; the extended one
        // counts only the bytes that follow it.
        std::size_t extra = r.read<WORD>();
        if (!d.extended) extra = extra >= 2 ? extra - 2 : 0;
        item.creationData.assign(r.at(), r.at() + extra);
        r.skip(extra);
        d.items.push_back(std::move(item));
    }
    return d;
}

std::u16string itemClassName(const NameOrOrdinal& windowClass) {
    if (!windowClass.isOrdinal) return windowClass.name;
    switch (windowClass.ordinal) {
        case 0x80:
            return u"BUTTON";
        case 0x81:
            return u"EDIT";
        case 0x82:
            return u"STATIC";
        case 0x83:
            return u"LISTBOX";
        case 0x84:
            return u"SCROLLBAR";
        case 0x85:
            return u"COMBOBOX";
        default:
            return {};
    }
}

}  // namespace veltrix::platform::controls
