#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("veltrix-") + (info ? info->name() : "test") + "-" + std::to_string(::getpid()) +
                       "-" + std::to_string(counter++);
    m_path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::u16string TempDir::file(std::string_view name) const { return (m_path / name).u16string(); }

void TempDir::write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(m_path / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(std::string_view name) const {
    std::ifstream in(m_path / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
