// Writes in-memory dialog templates byte by byte, as a program would, so that
// the tests exercise the reader on the layout Windows defines.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace veltrix::test {

class DialogTemplateBuilder {
public:
    // Classic DLGTEMPLATE; the item count is patched as items are added.
    DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, const std::u16string& title,
                          WORD pointSize = 0, const std::u16string& face = {}) {
        put<DWORD>(style);
        put<DWORD>(exStyle);
        countAt_ = bytes_.size();
        put<WORD>(0);
        put<short>(x);
        put<short>(y);
        put<short>(cx);
        put<short>(cy);
        put<WORD>(0);  // no menu
        put<WORD>(0);  // the dialog class
        putString(title);
        if (style & DS_SETFONT) {
            put<WORD>(pointSize);
            putString(face);
        }
    }
    // classOrdinal 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box; 0: className.
    DialogTemplateBuilder& item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classOrdinal,
                                const std::u16string& text, const std::u16string& className = {},
                                const std::vector<BYTE>& data = {}) {
        while (bytes_.size() % 4) bytes_.push_back(0);
        put<DWORD>(style);
        put<DWORD>(0);
        put<short>(x);
        put<short>(y);
        put<short>(cx);
        put<short>(cy);
        put<WORD>(id);
        if (classOrdinal) {
            put<WORD>(0xFFFF);
            put<WORD>(classOrdinal);
        } else {
            putString(className);
        }
        putString(text);
        // The classic count includes the count word itself.
        put<WORD>(data.empty() ? 0 : static_cast<WORD>(data.size() + 2));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        WORD count;
        std::memcpy(&count, bytes_.data() + countAt_, 2);
        ++count;
        std::memcpy(bytes_.data() + countAt_, &count, 2);
        return *this;
    }
    const DLGTEMPLATE* get() {
        // DWORD-aligned storage, as templates must be.
        aligned_.assign((bytes_.size() + 3) / 4, 0);
        std::memcpy(aligned_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<const DLGTEMPLATE*>(aligned_.data());
    }

private:
    template <typename T>
    void put(T v) {
        BYTE b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        bytes_.insert(bytes_.end(), b, b + sizeof v);
    }
    void putString(const std::u16string& s) {
        for (char16_t c : s) put<char16_t>(c);
        put<char16_t>(0);
    }
    std::vector<BYTE> bytes_;
    std::vector<DWORD> aligned_;
    std::size_t countAt_ = 0;
};

}  // namespace veltrix::test
