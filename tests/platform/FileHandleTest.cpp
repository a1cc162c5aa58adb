// Kernel handles for files and read-only file mappings.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/TempDir.h"

TEST(FileHandle, WriteReadAndMapAFile) {
    TempDir dir;
    auto path = dir.file("data.bin");
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(out, "hello, world", 12, &written, nullptr));
    EXPECT_EQ(written, 12u);
    ASSERT_TRUE(CloseHandle(out));

    HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    ASSERT_TRUE(GetFileSizeEx(in, &size));
    EXPECT_EQ(size.QuadPart, 12);
    char buffer[32] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(in, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "hello, world");

    HANDLE mapping = CreateFileMappingW(in, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    // The view stays readable after its handles are closed, until it is unmapped.
    ASSERT_TRUE(CloseHandle(mapping));
    ASSERT_TRUE(CloseHandle(in));
    EXPECT_EQ(std::memcmp(view, "hello, world", 12), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
}

TEST(FileHandle, StaleAndWrongHandlesAreRefused) {
    TempDir dir;
    dir.write("e.txt", "");
    auto path = dir.file("e.txt");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    // An empty file cannot be mapped, as on Windows.
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    LARGE_INTEGER size{};
    EXPECT_FALSE(GetFileSizeEx(file, &size));
    // A new handle in the same slot is not reachable through the old one.
    HANDLE again = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, file);
    EXPECT_FALSE(GetFileSizeEx(file, &size));
    EXPECT_TRUE(CloseHandle(again));

    EXPECT_EQ(CreateFileW(dir.file("missing").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateFileW(dir.file("").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CloseHandle(nullptr));
}

namespace {

// A view of the named file, through every handle a reader takes.
struct View {
    explicit View(const std::u16string& path) {
        file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    }
    ~View() {
        if (bytes) UnmapViewOfFile(bytes);
        if (mapping) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    const char* map() { return bytes = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)); }
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const char* bytes = nullptr;
};

}  // namespace

// Another program may cut a file while it is read. A view made of the file's
// pages in place once killed the reader with SIGBUS when it touched a page
// past the new end; a view stays whole, and a file cut while the view is made
// gives none.
TEST(FileHandle, AFileCutByAnotherProgramNeverPullsAViewFromUnderItsReader) {
    TempDir dir;
    const std::string content(256 * 1024, 'v');
    dir.write("cut.txt", content);
    const auto native = dir.native("cut.txt");
    {
        View view(dir.file("cut.txt"));
        ASSERT_NE(view.map(), nullptr);
        std::filesystem::resize_file(native, 0);
        EXPECT_EQ(std::string(view.bytes, content.size()), content);
    }
    dir.write("cut.txt", content);
    {
        View view(dir.file("cut.txt"));
        ASSERT_NE(view.mapping, nullptr);
        std::filesystem::resize_file(native, 100);
        EXPECT_EQ(view.map(), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_HANDLE_EOF);
    }
}
