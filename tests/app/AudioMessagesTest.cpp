// The audio player's messages reach the program's message box with their
// caption and icon, and still reach standard error where no screen shows them.
#include <gtest/gtest.h>

#include "app/AudioMessages.h"
#include "audio/AudioMessage.h"
#include "platform/display/HeadlessAnswers.h"

namespace headless = veltrix::platform::headless;

TEST(AudioMessages, EachMessageIsAnOwnerlessOkBoxWithItsCaptionAndIcon) {
    struct Case {
        AudioMessage message;
        UINT type;
    };
    const Case cases[] = {
        {{u"An incorrect version of BASS.DLL was loaded (2.4 is required)", u"Incorrect BASS.DLL", MessageIcon::Error},
         MB_OK | MB_ICONERROR},
        {{u"Failed setOutputDevice\n\n(error code: 3)", u"Error", MessageIcon::Warning}, MB_OK | MB_ICONWARNING},
        {{u"現在このファイルは使用中です。\r\n/tmp/a.mp3", u"/tmp/a.mp3", MessageIcon::None}, MB_OK},
    };
    connectAudioMessages();
    headless::takeMessageBoxes();
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        showAudioMessage(c.message);
        std::string err = testing::internal::GetCapturedStderr();
        auto shown = headless::takeMessageBoxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.message.text);
        EXPECT_EQ(shown[0].caption, c.message.caption);
        EXPECT_EQ(shown[0].type, c.type);
        EXPECT_EQ(shown[0].owner, nullptr);
        EXPECT_EQ(shown[0].buttons, std::vector<std::u16string>{u"OK"});
        // The headless display has no screen: the text is kept on standard error too.
        std::string caption(c.message.caption.begin(), c.message.caption.end());  // ASCII captions
        EXPECT_EQ(err.rfind(caption + ": ", 0), 0u) << err;
    }
    setAudioMessageHandler({});
}
