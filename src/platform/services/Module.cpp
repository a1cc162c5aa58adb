#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/common/Unicode.h"
#include "platform/win32.h"

namespace {

bool needsQuotes(const std::u16string& arg) {
    return arg.empty() || arg.find_first_of(u" \t\"") != std::u16string::npos;
}

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
void appendQuoted(std::u16string& line, const std::u16string& arg) {
    if (!needsQuotes(arg)) {
        line += arg;
        return;
    }
    line += u'"';
    std::size_t backslashes = 0;
    for (char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') backslashes = backslashes * 2 + 1;
        line.append(backslashes, u'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, u'\\');
    line += u'"';
}

std::u16string buildCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::u16string> args;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        args.push_back(veltrix::unicode::utf8ToUtf16(std::string_view(raw).substr(start, end - start)));
        start = end + 1;
    }
    std::u16string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) line += u' ';
        // The program name is taken verbatim up to the closing quote, without
        // escapes, so it is only ever wrapped.
        if (i == 0)
            line += needsQuotes(args[0]) ? u"\"" + args[0] + u"\"" : args[0];
        else
            appendQuoted(line, args[i]);
    }
    return line;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    // Only the executable itself is asked for; any non-null value stands for it.
    static int self;
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&self);
}

DWORD GetModuleFileNameW(HMODULE, LPWSTR buffer, DWORD size) {
    std::string target(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
    if (n <= 0 || size == 0 || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    target.resize(static_cast<std::size_t>(n));
    std::u16string path = veltrix::unicode::utf8ToUtf16(target);
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), (size - 1) * sizeof(WCHAR));
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.data(), path.size() * sizeof(WCHAR));
    buffer[path.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

LPCWSTR GetCommandLineW() {
    static const std::u16string line = buildCommandLine();
    return line.c_str();
}

LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
    if (!count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<std::u16string> args;
    LPCWSTR p = commandLine ? commandLine : u"";
    if (!*p) {
        WCHAR path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        args.emplace_back(path);
    } else {
        // The program name: up to the closing quote, or up to a blank.
        std::u16string first;
        if (*p == u'"') {
            for (++p; *p && *p != u'"'; ++p) first += *p;
            if (*p) ++p;
        } else {
            for (; *p && !isBlank(*p); ++p) first += *p;
        }
        args.push_back(first);
        while (*p) {
            while (isBlank(*p)) ++p;
            if (!*p) break;
            std::u16string arg;
            bool quoted = false;
            while (*p && (quoted || !isBlank(*p))) {
                if (*p == u'\\') {
                    std::size_t backslashes = 0;
                    while (*p == u'\\') {
                        ++backslashes;
                        ++p;
                    }
                    if (*p == u'"') {
                        arg.append(backslashes / 2, u'\\');
                        if (backslashes % 2) {
                            arg += u'"';
                            ++p;
                        }
                    } else {
                        arg.append(backslashes, u'\\');
                    }
                } else if (*p == u'"') {
                    // "" inside quotes is a literal quote.
                    if (quoted && p[1] == u'"') {
                        arg += u'"';
                        p += 2;
                    } else {
                        quoted = !quoted;
                        ++p;
                    }
                } else {
                    arg += *p++;
                }
            }
            args.push_back(arg);
        }
    }

    // One block, as Windows allocates it: the pointer array, then the strings.
    std::size_t bytes = (args.size() + 1) * sizeof(LPWSTR);
    for (const auto& a : args) bytes += (a.size() + 1) * sizeof(WCHAR);
    auto** argv = static_cast<LPWSTR*>(std::malloc(bytes));
    if (!argv) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* text = reinterpret_cast<WCHAR*>(argv + args.size() + 1);
    for (std::size_t i = 0; i < args.size(); ++i) {
        argv[i] = text;
        std::memcpy(text, args[i].c_str(), (args[i].size() + 1) * sizeof(WCHAR));
        text += args[i].size() + 1;
    }
    argv[args.size()] = nullptr;
    *count = static_cast<int>(args.size());
    return argv;
}

HLOCAL LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}
