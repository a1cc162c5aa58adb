// Loading and saving through the text-file functions: every encoding and every
// kind of line break comes back byte for byte, and failures change nothing.
#include <gtest/gtest.h>

#include <string>

#include "editor/TextDocument.h"
#include "support/TempDir.h"
#include "text/EncodingCode.h"
#include "text/NarrowText.h"
#include "text/TextFile.h"

namespace {

class TextDocumentFile : public ::testing::Test {
protected:
    void SetUp() override { setNarrowCodePage(932); }
    void TearDown() override { setNarrowCodePage(0); }
    TempDir dir;
};

// A study text with every kind of line break, so that a conversion of breaks
// on the way in or out shows up in the bytes.
const std::u16string kMixed = u"Good morning.\r\nおはようございます。\nSee you\rまた明日\r\n\r\nEnd";

struct RoundTrip {
    const char* name;
    int code;
    std::u16string text;
};

TEST_F(TextDocumentFile, EveryEncodingRoundTripsByteForByte) {
    const RoundTrip cases[] = {
        {"utf16le", encoding::kUtf16LE, kMixed},
        {"utf16be", encoding::kUtf16BE, kMixed},
        {"utf8", encoding::kUtf8, kMixed},
        {"utf8bom", encoding::kUtf8WithMark, kMixed},
        {"sjis", encoding::kNarrow, kMixed},
        {"eucjp", encoding::kEucJp, kMixed},
        {"ascii_lf", encoding::kNarrow, u"one\ntwo\nthree\n"},
        {"ascii_cr", encoding::kNarrow, u"one\rtwo\rthree"},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = encodeText(c.text, c.code);
        if (c.code == encoding::kUtf16LE) bytes.insert(0, "\xFF\xFE");
        if (c.code == encoding::kUtf16BE) bytes.insert(0, "\xFE\xFF");
        if (c.code == encoding::kUtf8WithMark) bytes.insert(0, "\xEF\xBB\xBF");
        dir.write(c.name, bytes);

        TextDocument document;
        ASSERT_TRUE(document.load(dir.file(c.name)));
        EXPECT_EQ(document.encoding(), c.code);
        EXPECT_EQ(document.text(), c.text);
        EXPECT_EQ(document.path(), dir.file(c.name));
        ASSERT_TRUE(document.save(dir.file(std::string(c.name) + ".out")));
        EXPECT_EQ(dir.read(std::string(c.name) + ".out"), bytes);
        EXPECT_EQ(document.path(), dir.file(std::string(c.name) + ".out"));
    }
}

TEST_F(TextDocumentFile, LoadRebuildsLinesAndChoosesTheFilesLineEnding) {
    dir.write("lf.txt", "a\nb\nc\r\n");
    TextDocument document;
    document.setText(u"old\rtext");
    ASSERT_TRUE(document.load(dir.file("lf.txt")));
    EXPECT_EQ(document.lineCount(), 4);
    EXPECT_EQ(document.lineEnding(), line_ending::kLf);
    EXPECT_EQ(document.lineEndingsFound(), line_ending::kLf | line_ending::kCrLf);
}

TEST_F(TextDocumentFile, AnEditedDocumentIsSavedInItsOwnEncoding) {
    dir.write("be.txt", std::string("\xFE\xFF") + encodeText(u"abc\n", encoding::kUtf16BE));
    TextDocument document;
    ASSERT_TRUE(document.load(dir.file("be.txt")));
    document.replace(3, 3, u"日本");
    ASSERT_TRUE(document.save(dir.file("be.txt")));
    EXPECT_EQ(dir.read("be.txt"), std::string("\xFE\xFF") + encodeText(u"abc日本\n", encoding::kUtf16BE));
}

TEST_F(TextDocumentFile, AnEmptyFileLoadsAsUtf16) {
    dir.write("empty.txt", "");
    TextDocument document;
    document.setEncoding(encoding::kUtf8);
    ASSERT_TRUE(document.load(dir.file("empty.txt")));
    EXPECT_EQ(document.encoding(), encoding::kUtf16LE);
    EXPECT_EQ(document.length(), 0);
    EXPECT_EQ(document.lineCount(), 1);
}

TEST_F(TextDocumentFile, AMissingFileFailsAndLeavesTheDocumentAlone) {
    TextDocument document;
    document.setText(u"kept\n");
    document.setEncoding(encoding::kUtf8);
    EXPECT_FALSE(document.load(dir.file("missing.txt")));
    EXPECT_EQ(document.text(), u"kept\n");
    EXPECT_EQ(document.lineCount(), 2);
    EXPECT_EQ(document.encoding(), encoding::kUtf8);
    EXPECT_EQ(document.path(), u"Untitled.txt");
}

TEST_F(TextDocumentFile, SavingWhereNoFileCanBeMadeFailsAndKeepsThePath) {
    TextDocument document;
    document.setText(u"text");
    EXPECT_FALSE(document.save(dir.file("no/such/folder/x.txt")));
    EXPECT_EQ(document.path(), u"Untitled.txt");
}

TEST_F(TextDocumentFile, ABinaryFileIsNeverOverwrittenWithWhatWasRead) {
    const std::string bytes("head\0tail after the zero", 24);
    dir.write("data.bin", bytes);
    TextDocument document;
    ASSERT_TRUE(document.load(dir.file("data.bin")));
    EXPECT_EQ(document.encoding(), encoding::kBinary);
    EXPECT_EQ(document.text(), u"head");
    EXPECT_FALSE(document.save(dir.file("data.bin")));
    EXPECT_EQ(dir.read("data.bin"), bytes);
    EXPECT_EQ(document.path(), dir.file("data.bin"));
}

TEST_F(TextDocumentFile, SaveIsAnEmptyUtf16FileForANewDocument) {
    TextDocument document;
    ASSERT_TRUE(document.save(dir.file("new.txt")));
    EXPECT_EQ(dir.read("new.txt"), std::string("\xFF\xFE"));
}

}  // namespace
