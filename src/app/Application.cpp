#include "app/Application.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AcceleratorTable.h"
#include "app/Settings.h"
#include "app/TestApp.h"
#include "download/DownloaderShortcut.h"
#include "platform/api/CommonControls.h"
#include "platform/api/Desktop.h"
#include "platform/api/Startup.h"

namespace {

// Posted to the thread once the main window has painted, when a downloader
// is to be opened at start.
constexpr UINT kOpenDownloaderMessage = WM_APP + 0x2D;

bool switchOn(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

}  // namespace

void routeMessage(MSG& msg, HWND contentWindow, HACCEL accelerators) {
    if (contentWindow && accelerators && TranslateAcceleratorW(contentWindow, accelerators, &msg)) return;
    if (contentWindow && accelerators && TranslateAcceleratorW(contentWindow, AcceleratorTable::study().handle(), &msg))
        return;
    redirectMouseWheel(msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int runApplication(const std::u16string& settingsPath, int showCommand) {
    const auto started = std::chrono::steady_clock::now();
    if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) < 0) return 0;
    OleInitialize(nullptr);
    WSADATA sockets{};
    WSAStartup(MAKEWORD(2, 0), &sockets);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);

    // "Desktop" "FileChooser": 1 (the default) asks the desktop's own file
    // chooser first, 0 always shows the program's.
    desktop::useDesktopFileChooser(readSettingInt(u"Desktop", u"FileChooser", 1) != 0 ? TRUE : FALSE);

    AcceleratorTable& accelerators = AcceleratorTable::instance();
    fillProgramAccelerators(accelerators);

    int exitCode = 0;
    {
        TestApp app(settingsPath);
        const bool timing = switchOn("VELTRIX_STARTUP_TIMING");
        const bool closeAfterStart = switchOn("VELTRIX_CLOSE_AFTER_START");
        const bool openDownloader = DownloaderShortcut::requested();
        if (timing || closeAfterStart || openDownloader) {
            app.setFirstPaintHandler([&app, started, timing, closeAfterStart, openDownloader] {
                if (timing) {
                    auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
                    std::fprintf(stderr, "startup-to-first-paint-ms: %.1f\n", ms.count());
                }
                if (closeAfterStart) PostMessageW(app.handle(), WM_CLOSE, 0, 0);
                // Once the main window is up and has settled, not inside its paint.
                if (openDownloader) PostThreadMessageW(GetCurrentThreadId(), kOpenDownloaderMessage, 0, 0);
            });
        }
        if (app.createMainWindow()) {
            // The program has no icon resources on Linux: the display shows its own.
            ShowWindow(app.handle(), showCommand == SW_HIDE ? SW_HIDE : SW_SHOWNORMAL);
            MSG msg{};
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (!msg.hwnd && msg.message == kOpenDownloaderMessage) {
                    // As the player's menu opens it, by the same downloaders.
                    app.content().menu().downloaders().openFromEnvironment(app.handle());
                    continue;
                }
                routeMessage(msg, app.content().handle(), accelerators.handle());
            }
            exitCode = static_cast<int>(msg.message == WM_QUIT ? msg.wParam : 0);
        }
        WSACleanup();
        OleUninitialize();
        CoUninitialize();
        app.content().destroyWindow();
        app.destroyWindow();
    }
    return exitCode;
}
