// libFuzzer target for the HTML reader and the page-text decoders: any page,
// taken as UTF-16, must be read without a crash, a hang or a leak, and every
// element the reader makes must carry a lower-case name and attributes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "xml/HtmlReader.h"
#include "xml/PageText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string page(size / 2, u'\0');
    std::memcpy(page.data(), data, page.size() * 2);

    HtmlReader reader;
    reader.read(page);
    for (const char16_t* name : {u"a", u"title", u"img", u"p", u"div"})
        for (Element* element : reader.getElementsByTagName(name))
            if (element->getName() != name) __builtin_trap();
    (void)reader.getTitle();

    const std::u16string plain = decodePageText(page, false);
    const std::u16string spaced = decodePageText(page, true);
    // Nothing decodes to more than it was written with ("\n" gives two units for two).
    if (plain.size() > page.size() || spaced.size() > page.size()) __builtin_trap();
    (void)decodeBasicEntities(page);
    return 0;
}
