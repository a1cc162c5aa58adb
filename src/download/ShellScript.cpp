#include "download/ShellScript.h"

#include <memory>

#include "platform/win32.h"
#include "text/EncodingCode.h"
#include "text/TextFile.h"

std::u16string quoteForShell(std::u16string_view argument) {
    std::u16string out = u"'";
    for (char16_t c : argument) {
        if (c == u'\'')
            out += u"'\\''";
        else
            out += c;
    }
    out += u'\'';
    return out;
}

std::u16string shellCommandLine(std::u16string_view commandLine) {
    const std::u16string line(commandLine);
    if (line.empty()) return {};
    int count = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(line.c_str(), &count), &LocalFree);
    if (!argv) return {};
    std::u16string out;
    for (int i = 0; i < count; ++i) {
        std::u16string argument = argv.get()[i];
        if (i == 0)
            for (char16_t& c : argument)
                if (c == u'\\') c = u'/';
        if (i) out += u' ';
        out += quoteForShell(argument);
    }
    return out;
}

bool writeShellScript(const std::u16string& path, std::u16string_view commandLine) {
    return saveTextFile(path, u"#!/bin/sh\n" + shellCommandLine(commandLine) + u"\n", encoding::kUtf8);
}
