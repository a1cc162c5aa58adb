// Kernel handles for files and read-only file mappings.
#include <gtest/gtest.h>

#include <cstring>
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
