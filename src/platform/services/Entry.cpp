// The process entry: Linux calls main, the program is written against wWinMain.
// Linked into the executable only, so test programs keep their own main.
#include "platform/win32.h"

int main() {
    LPCWSTR line = GetCommandLineW();
    // The command line after the program name, as Windows passes it.
    bool quoted = false;
    while (*line && (quoted || (*line != u' ' && *line != u'\t'))) {
        if (*line == u'"') quoted = !quoted;
        ++line;
    }
    while (*line == u' ' || *line == u'\t') ++line;
    return wWinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(line), SW_SHOWDEFAULT);
}
