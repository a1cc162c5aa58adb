#include "ProgramSession.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/AcceleratorTable.h"
#include "app/Application.h"
#include "app/Paths.h"
#include "app/Settings.h"
#include "platform/display/Headless.h"
#include "platform/display/HeadlessAnswers.h"
#include "text/NarrowText.h"

namespace headless = veltrix::platform::headless;

namespace veltrix::test {

ProgramSession::ProgramSession() {
    setNarrowCodePage(932);
    // Each run starts from the defaults, not from what the last run saved.
    std::filesystem::remove(std::filesystem::path(settingsFilePath()));
    prepareSettingsFile();
    fillProgramAccelerators(AcceleratorTable::instance());
    m_app = std::make_unique<TestApp>(m_windowSettings.file("window.ini"));
    m_app->createMainWindow();
}

ProgramSession::~ProgramSession() {
    headless::setMessageBoxResponder([](const headless::MessageBoxShown&) { return IDNO; });
    if (m_app && IsWindow(m_app->handle())) headless::closeWindow(m_app->handle());
    headless::pumpMessages();
    headless::setMessageBoxResponder(nullptr);
    m_app.reset();
}

void ProgramSession::run(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            routeMessage(msg, m_app->content().handle(), AcceleratorTable::instance().handle());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < until);
}

void ProgramSession::ctrl(int key, bool shift) {
    headless::key(VK_CONTROL, true);
    if (shift) headless::key(VK_SHIFT, true);
    headless::pressKey(key);
    if (shift) headless::key(VK_SHIFT, false);
    headless::key(VK_CONTROL, false);
    run(30);
}

}  // namespace veltrix::test
