// Takes pictures of the real program on an X display by doing what a learner
// does, one step per argument, in order (scripts/make-pictures.sh runs it):
//   windows:N        wait (up to 20 s) until N top-level windows are mapped
//   key:NAME         press a key by its X name, with ctrl+, shift+ or alt+
//                    before it for held modifiers (key:ctrl+o, key:F5)
//   type:TEXT        type printable ASCII at a person's pace
//   wait:MS          let the program work for MS milliseconds
//   move:X,Y         move the pointer there (screen pixels)
//   click:X,Y[,B]    click there with button B (1 left, the default; 3 right)
//   shot:FILE.png    save the whole screen as PNG
// The pointer starts in the screen's bottom right corner, where it wakes no
// tip and lights no button.
// Exit status 0 when every step did what it says, 1 at the first that did not.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/XDesktop.h"

using veltrix::test::XDesktop;
using namespace std::chrono_literals;

namespace {

bool pressNamed(XDesktop& x, std::string name) {
    std::vector<unsigned long> modifiers;
    const std::pair<const char*, unsigned long> known[] = {
        {"ctrl+", XStringToKeysym("Control_L")}, {"shift+", XStringToKeysym("Shift_L")}, {"alt+", XStringToKeysym("Alt_L")}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, sym] : known) {
            const std::string p = prefix;
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0) {
                modifiers.push_back(sym);
                name.erase(0, p.size());
                found = true;
            }
        }
    }
    const KeySym sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol) return false;
    x.press(sym, modifiers);
    x.flush();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    auto x = XDesktop::open();
    if (!x) {
        std::fprintf(stderr, "no X display with the XTEST extension\n");
        return 1;
    }
    x->moveTo(x->width() - 1, x->height() - 1);
    x->flush();
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const std::size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const std::string value = colon == std::string::npos ? std::string() : step.substr(colon + 1);
        bool ok = true;
        if (verb == "windows") {
            const std::size_t count = std::strtoul(value.c_str(), nullptr, 10);
            ok = x->waitFor([&] { return x->mappedWindows().size() == count; }, 20s);
        } else if (verb == "key") {
            ok = pressNamed(*x, value);
        } else if (verb == "type") {
            for (char c : value) {
                x->type(std::string(1, c));
                x->flush();
                std::this_thread::sleep_for(40ms);
            }
        } else if (verb == "wait") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::strtoul(value.c_str(), nullptr, 10)));
        } else if (verb == "move" || verb == "click") {
            int px = 0, py = 0, button = 1;
            ok = std::sscanf(value.c_str(), "%d,%d,%d", &px, &py, &button) >= 2;
            if (ok) {
                x->moveTo(px, py);
                if (verb == "click") x->click(static_cast<unsigned int>(button));
                x->flush();
            }
        } else if (verb == "shot") {
            ok = x->screenshot(value);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "step %d (%s) failed\n", i, step.c_str());
            return 1;
        }
    }
    return 0;
}
