// The scripts left for running a tool by hand: every argument comes back from
// the shell exactly as the runner would have passed it, and nothing runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "download/ProcessRunner.h"
#include "download/ShellScript.h"
#include "support/TempDir.h"

namespace {

TEST(ShellScript, QuotingKeepsEveryCharacterLiteral) {
    EXPECT_EQ(quoteForShell(u"plain"), u"'plain'");
    EXPECT_EQ(quoteForShell(u""), u"''");
    EXPECT_EQ(quoteForShell(u"it's"), u"'it'\\''s'");
    EXPECT_EQ(quoteForShell(u"$(rm -rf ~)"), u"'$(rm -rf ~)'");
    EXPECT_EQ(quoteForShell(u"a\nb"), u"'a\nb'");
}

TEST(ShellScript, TheCommandLineIsSplitByTheWindowsRules) {
    EXPECT_EQ(shellCommandLine(u"\"C:\\Tools\\Plugins\\ffmpeg\" -y -i \"a b.flv\" \"say \\\"hi\\\"\""),
              u"'C:/Tools/Plugins/ffmpeg' '-y' '-i' 'a b.flv' 'say \"hi\"'");
    EXPECT_EQ(shellCommandLine(u""), u"");
}

TEST(ShellScript, AScriptRunByTheShellPassesHostileArgumentsUnchanged) {
    TempDir dir;
    const std::u16string tool = std::filesystem::path(VELTRIX_TEST_TOOL).u16string();
    const std::vector<std::u16string> args = {u"$(touch pwned)",
                                              u"`touch pwned2`",
                                              u"a \"quoted\" word",
                                              u"it's",
                                              u"'",
                                              u"x'; touch pwned3; echo '",
                                              u"two\nlines",
                                              u"trailing\\",
                                              u"$HOME",
                                              u"*",
                                              u"",
                                              u"ニュース 英会話"};
    std::u16string line = u"\"" + tool + u"\" args \"" + dir.file("received.bin") + u"\"";
    for (const auto& a : args) {
        // Windows quoting with no backslash before a quote in these arguments
        // except the trailing one, which doubles.
        std::u16string quoted;
        for (char16_t c : a) quoted += c == u'"' ? std::u16string(u"\\\"") : std::u16string(1, c);
        if (!quoted.empty() && quoted.back() == u'\\') quoted += u'\\';
        line += u" \"" + quoted + u"\"";
    }
    ASSERT_TRUE(writeShellScript(dir.file("kokokoza.sh"), line));

    std::ifstream in(dir.native("kokokoza.sh"), std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(script.rfind("#!/bin/sh\n", 0), 0u);  // no byte-order mark, no CR
    EXPECT_EQ(script.back(), '\n');
    EXPECT_EQ(script.find('\r'), std::string::npos);

    ProcessRunner shell;
    ASSERT_TRUE(shell.start(u"/bin/sh \"" + dir.file("kokokoza.sh") + u"\"", dir.file("")));
    EXPECT_EQ(shell.wait(), ProcessRunner::WaitResult::Ended);
    EXPECT_EQ(shell.finish(), 0u);

    std::ifstream received(dir.native("received.bin"), std::ios::binary);
    std::vector<std::u16string> got;
    std::string arg;
    while (std::getline(received, arg, '\0')) got.push_back(std::filesystem::path(arg).u16string());
    EXPECT_EQ(got, args);
    for (const char* name : {"pwned", "pwned2", "pwned3"}) EXPECT_FALSE(std::filesystem::exists(dir.native(name)));
}

}  // namespace
