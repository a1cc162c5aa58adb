// Fuzz target for the INI reader under the settings functions: any bytes read
// as an INI file, and a value written into it reads back the same, in memory
// and after the file's bytes are made again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/services/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using platform::IniFile;
    IniFile ini = IniFile::fromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::u16string& section : ini.sectionNames())
        for (const std::u16string& key : ini.keyNames(section)) (void)ini.value(section, key);

    const std::u16string_view value = u"値 = \"quoted\" ";
    ini.setValue(u"FuzzSection", u"FuzzKey", value);
    const auto inMemory = ini.value(u"FuzzSection", u"FuzzKey");
    IniFile again = IniFile::fromBytes(ini.toBytes());
    const auto reread = again.value(u"FuzzSection", u"FuzzKey");
    if (!inMemory || !reread || *inMemory != *reread) __builtin_trap();
    if (again.encoding() != ini.encoding()) __builtin_trap();

    if (!ini.sectionNames().empty()) {
        const std::u16string first = ini.sectionNames().front();
        ini.removeKey(first, u"FuzzKey");
        ini.removeSection(first);
    }
    return 0;
}
