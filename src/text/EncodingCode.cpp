#include "text/EncodingCode.h"

int encodingCodeOf(std::u16string_view name) {
    struct Entry {
        std::u16string_view name;
        int code;
    };
    static constexpr Entry kNames[] = {
        {u"Shift_JIS", encoding::kNarrow},    {u"ANSI", encoding::kNarrow},  {u"UTF-16", encoding::kUtf16LE},
        {u"UTF-16BE", encoding::kUtf16BE},    {u"UTF-8", encoding::kUtf8},   {u"UTF8", encoding::kUtf8},
        {u"UTF-8N", encoding::kUtf8WithMark}, {u"EUC-JP", encoding::kEucJp}, {u"Binary", encoding::kBinary},
    };
    for (const auto& entry : kNames)
        if (entry.name == name) return entry.code;
    return encoding::kNarrow;
}
