// libFuzzer target for the XML reader: any bytes, decoded as a file would be,
// must end in success or failure, never in a crash, a hang or a leak; a
// successful parse must also serialise and survive a copy.
#include <cstddef>
#include <cstdint>

#include "xml/XMLParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XMLParser parser;
    if (parser.parseBytes(data, size)) {
        const std::u16string text = parser.getRoot()->toString();
        Element copy;
        copy.copyFrom(*parser.getRoot());
        if (copy.toString() != text) __builtin_trap();
        XMLParser again;
        again.parseString(text);
    }
    return 0;
}
