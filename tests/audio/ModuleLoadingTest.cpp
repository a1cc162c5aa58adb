// Loading modules by file name (the native layer's LoadLibraryW family) and
// how the player's library reacts to modules of the wrong version.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "platform/win32.h"

using namespace audiotest;

namespace {

TEST(LoadLibrary, LoadsByPathWithEitherSeparatorAndFindsFunctions) {
    std::u16string path = pluginsFolder() + u"libbass.so";
    for (auto& c : path)
        if (c == u'/') c = u'\\';
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    auto version = reinterpret_cast<BASS_GetVersion_t>(GetProcAddress(module, "BASS_GetVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version() >> 16, BASSVERSION);
    EXPECT_EQ(GetProcAddress(module, "BASS_NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(LoadLibrary, MissingOrForeignFilesAreNotModules) {
    TempDir dir;
    dir.write("libtext.so", "just text\n");
    for (const char* name : {"libmissing.so", "libtext.so"}) {
        EXPECT_EQ(LoadLibraryW(dir.file(name).c_str()), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    }
    // A bare name is looked for in the current folder only, never on the
    // system's library path.
    EXPECT_EQ(LoadLibraryW(u"libc.so.6"), nullptr);
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "BASS_GetVersion"), nullptr);
}

TEST(BassLibraryVersions, AnOldCoreModuleIsReportedAndLoadingGoesOn) {
    MessageRecorder boxes;
    BassLibrary library(std::filesystem::path(VELTRIX_TEST_FAKE_PLUGINS_DIR).u16string() + u"/");
    // The fake has no BASS_Init, so the library ends unusable after the check.
    EXPECT_FALSE(library.load());
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, u"An incorrect version of BASS.DLL was loaded (2.4 is required)");
    EXPECT_EQ(boxes.messages[0].caption, u"Incorrect BASS.DLL");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(library.functions().ErrorGetCode, nullptr);
    EXPECT_EQ(library.functions().StreamCreateFile, nullptr);
}

}  // namespace
