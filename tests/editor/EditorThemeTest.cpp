// Editor themes: reading theme elements, applying them to an editor, the
// shipped theme list, and pictures of the editor in every theme.
#include <gtest/gtest.h>

#include <filesystem>

#include "EditorWindowFixture.h"
#include "editor/EditorTheme.h"
#include "support/TempDir.h"
#include "toolkit/Bitmap.h"
#include "xml/XMLParser.h"

using namespace veltrix::test;
namespace headless = veltrix::platform::headless;

namespace {

std::unique_ptr<XMLParser> parse(std::u16string_view xml) {
    auto parser = std::make_unique<XMLParser>();
    EXPECT_TRUE(parser->parseString(xml));
    return parser;
}

TEST(ThemeValues, Colors) {
    struct Case {
        const char16_t* text;
        COLORREF expected;
    };
    const Case cases[] = {
        {u"#ff0000", RGB(255, 0, 0)},
        {u"#FF0000", RGB(255, 0, 0)},
        {u"#00Ff7f", RGB(0, 255, 127)},
        {u"ff0000", RGB(0, 0, 0)},
        {u"#", RGB(0, 0, 0)},
        {u"", RGB(0, 0, 0)},
        {u"#abc", RGB(0, 0x0A, 0xBC)},
        {u"#102030zz", RGB(16, 32, 48)},
        {u"#12345678", RGB(0x34, 0x56, 0x78)},
    };
    for (const Case& c : cases) EXPECT_EQ(parseThemeColor(c.text), c.expected);
}

TEST(ThemeValues, Padding) {
    const auto sides = parseThemePadding(u"10 5% 0 20");
    ASSERT_TRUE(sides);
    EXPECT_EQ((*sides)[0].value, 10);
    EXPECT_FALSE((*sides)[0].percent);
    EXPECT_EQ((*sides)[1].value, 5);
    EXPECT_TRUE((*sides)[1].percent);
    EXPECT_EQ((*sides)[2].value, 0);
    EXPECT_EQ((*sides)[3].value, 20);
    for (const char16_t* bad : {u"10 20", u"1 2 3 4 5", u"", u"10  5 0 20", u"1 2 3"}) {
        EXPECT_FALSE(parseThemePadding(bad)) << "four parts are needed";
    }
}

TEST(ThemeValues, ReadingPrefersTheTextEditorChild) {
    auto parser = parse(
        u"<ThemeList><Theme textColor='#010101'><TextEditor textColor='#ff0000' LineSpacing='9'/>"
        u"</Theme><Theme backgroundColor='#00ff00'/></ThemeList>");
    const auto themes = themeElements(*parser->getRoot());
    ASSERT_EQ(themes.size(), 2u);
    const EditorTheme first = EditorTheme::read(*themes[0]);
    EXPECT_EQ(first.colors[1], RGB(255, 0, 0));
    EXPECT_EQ(first.lineSpacing, 9);
    EXPECT_FALSE(first.colors[0]);
    EXPECT_FALSE(first.padding);
    const EditorTheme second = EditorTheme::read(*themes[1]);
    EXPECT_EQ(second.colors[0], RGB(0, 255, 0));
    EXPECT_FALSE(second.lineSpacing);
    EXPECT_TRUE(second.backgroundImage.empty());
}

using EditorThemes = EditorWindow;

TEST_F(EditorThemes, PaddingMixesPixelsAndPercentages) {
    auto parser = parse(u"<Theme padding='10 5% 0 20'/>");
    EditorTheme::read(*parser->getRoot()).applyTo(editor);
    EXPECT_EQ(editor.margins().top, 10);
    EXPECT_EQ(editor.margins().right, kWidth * 5 / 100);
    EXPECT_EQ(editor.margins().bottom, 0);
    EXPECT_EQ(editor.margins().left, 20);
    // Resizing changes only the share given in percent.
    MoveWindow(editor.getHandle(), 0, 0, 300, 200, TRUE);
    headless::pumpMessages();
    EXPECT_EQ(editor.margins().top, 10);
    EXPECT_EQ(editor.margins().right, 15);
    EXPECT_EQ(editor.margins().bottom, 0);
    EXPECT_EQ(editor.margins().left, 20);

    // A padding of two parts is ignored.
    auto two = parse(u"<Theme padding='1 2'/>");
    EditorTheme::read(*two->getRoot()).applyTo(editor);
    EXPECT_EQ(editor.margins().top, 10);
    EXPECT_EQ(editor.margins().left, 20);
}

TEST_F(EditorThemes, ColoursAndSpacing) {
    EXPECT_EQ(editor.lineSpacing(), 4);
    auto red = parse(u"<Theme textColor='#ff0000' highlightColor='#102030'/>");
    EditorTheme::read(*red->getRoot()).applyTo(editor);
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(255, 0, 0));
    EXPECT_EQ(editor.color(ColorSlot::Highlight), RGB(16, 32, 48));
    EXPECT_EQ(editor.lineSpacing(), 4);  // a theme without LineSpacing keeps it
    // The derived slots follow the stored ones.
    EXPECT_EQ(editor.color(ColorSlot::LineText), RGB(255, 0, 0));
    const COLORREF background = editor.color(ColorSlot::Background);
    EXPECT_EQ(editor.color(ColorSlot::EndOfLine),
              RGB((GetRValue(background) + 255) / 2, GetGValue(background) / 2, GetBValue(background) / 2));

    auto black = parse(u"<Theme textColor='ff0000' LineSpacing='10'/>");
    EditorTheme::read(*black->getRoot()).applyTo(editor);
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(0, 0, 0));
    EXPECT_EQ(editor.lineSpacing(), 10);
    EXPECT_EQ(editor.rowHeight(), editor.fontHeight() + 10);
}

TEST_F(EditorThemes, AnEmptyListGivesNearWhiteTextOnBlack) {
    auto parser = parse(u"<ThemeList/>");
    EXPECT_TRUE(applyThemeFromList(*parser->getRoot(), 0, editor, nullptr));
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(250, 255, 250));
    EXPECT_EQ(editor.color(ColorSlot::Background), RGB(0, 0, 0));
    auto one = parse(u"<ThemeList><Theme textColor='#123456'/></ThemeList>");
    EXPECT_FALSE(applyThemeFromList(*one->getRoot(), 3, editor, nullptr));
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(250, 255, 250));
}

TEST_F(EditorThemes, BackgroundPictures) {
    TempDir folder;
    Bitmap picture;
    ASSERT_TRUE(picture.create(16, 8));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) picture.setPixel(x, y, RGB(10 * x, 20 * y, 90));
    }
    ASSERT_TRUE(picture.saveAs(folder.file("back.png")));
    folder.write("broken.png", "not a picture");
    folder.write("notes.txt", "text");

    EXPECT_TRUE(editor.setBackgroundImage(folder.file("back.png")));
    EXPECT_TRUE(editor.hasBackgroundImage());
    // A picture that cannot be read, or a path that is no picture, leaves it.
    EXPECT_FALSE(editor.setBackgroundImage(folder.file("broken.png")));
    EXPECT_FALSE(editor.setBackgroundImage(folder.file("notes.txt")));
    EXPECT_FALSE(editor.setBackgroundImage(folder.file("missing.jpg")));
    EXPECT_TRUE(editor.hasBackgroundImage());
    headless::pumpMessages();
    // The picture is stretched over the client area less the scroll bar; an
    // empty editor shows it everywhere below the text.
    const int pictureWidth = kWidth - GetSystemMetrics(SM_CXVSCROLL);
    const COLORREF corner = headless::pixel(editor.getHandle(), pictureWidth - 1, kHeight - 1);
    EXPECT_EQ(corner, RGB(150, 140, 90));

    // A theme without a picture removes it.
    auto plain = parse(u"<Theme/>");
    EditorTheme::read(*plain->getRoot()).applyTo(editor);
    EXPECT_FALSE(editor.hasBackgroundImage());
}

TEST_F(EditorThemes, ApplyingFromAListReachesBothEditorsAndReLaysThemOut) {
    TextEditor second;
    ASSERT_TRUE(second.createAt(frame, 0, 0, 200, 100));
    auto parser = parse(
        u"<ThemeList><Theme><TextEditor textColor='#0000ff' LineSpacing='1'/></Theme>"
        u"<Theme textColor='#00ff00'/></ThemeList>");
    ASSERT_TRUE(applyThemeFromList(*parser->getRoot(), 1, editor, &second));
    EXPECT_EQ(editor.color(ColorSlot::Text), RGB(0, 255, 0));
    EXPECT_EQ(second.color(ColorSlot::Text), RGB(0, 255, 0));
    ASSERT_TRUE(applyThemeFromList(*parser->getRoot(), 0, editor, &second));
    EXPECT_EQ(editor.lineSpacing(), 1);
    EXPECT_EQ(second.color(ColorSlot::Text), RGB(0, 0, 255));
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, editor.getHandle(), WM_SIZE, WM_SIZE, PM_NOREMOVE));
    headless::pumpMessages();
}

// The themes we ship ---------------------------------------------------------------------------

const char16_t kStudyText[] =
    u"Listening practice: the morning news.\r\n"
    u"The city council approved a plan on Tuesday to plant ten thousand trees along its riverside paths "
    u"over the next five years. 市議会は火曜日、今後5年間で川沿いの遊歩道に1万本の木を植える計画を承認しました。"
    u"Officials said the trees would cool the streets in summer and give birds a home.\r\n"
    u"\r\n"
    u"Key words 重要語句:\tapprove 承認する\tcouncil 議会\triverside 川沿い\r\n"
    u"\"Give birds a home\" は「鳥にすみかを与える」という意味です。Read the sentence aloud twice, then "
    u"shadow the speaker without looking at the text. 聞こえた通りに、すぐ後について言ってみましょう。\r\n"
    u"Extraordinarily-long-compound-words-like-this-one-break-where-they-overflow-the-row.\r\n"
    u"最後に、全文を通して聞き、分からなかった単語を辞書で調べてください。\r\n";

struct ShippedThemes : EditorWindow {
    std::u16string base = std::filesystem::path(VELTRIX_SOURCE_ROOT).u16string();
    std::unique_ptr<XMLParser> list = std::make_unique<XMLParser>();

    void SetUp() override {
        EditorWindow::SetUp();
        ASSERT_TRUE(list->parse(base + u"/Resources/OrvellaThemeList.xml"));
    }
};

TEST_F(ShippedThemes, EveryThemeIsCompleteAndReadable) {
    const auto themes = themeElements(*list->getRoot());
    ASSERT_GE(themes.size(), 4u);
    for (const Element* element : themes) {
        EXPECT_FALSE(element->getAttribute(u"name").empty());
        const EditorTheme theme = EditorTheme::read(*element);
        for (const auto& colour : theme.colors) EXPECT_TRUE(colour.has_value());
        EXPECT_TRUE(theme.padding.has_value());
        EXPECT_TRUE(theme.lineSpacing.has_value());
        if (!theme.backgroundImage.empty()) {
            Bitmap picture;
            EXPECT_TRUE(picture.loadImage(base + u"/" + theme.backgroundImage, 32));
        }
    }
}

TEST_F(ShippedThemes, Pictures) {
    const std::filesystem::path folder = VELTRIX_PICTURES_DIR;
    std::filesystem::create_directories(folder);
    const auto themes = themeElements(*list->getRoot());
    LOGFONTW font{};
    font.lfHeight = -15;
    std::u16string face = u"MS UI Gothic";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    editor.setFont(font);
    send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kStudyText));
    editor.setFindHighlight(u"trees", 0);
    SetFocus(editor.getHandle());
    for (std::size_t i = 0; i < themes.size(); ++i) {
        ASSERT_TRUE(applyThemeFromList(*list->getRoot(), static_cast<int>(i), editor, nullptr, base));
        send(EM_SETSEL, 44, 123);
        headless::pumpMessages();
        const EditorTheme theme = EditorTheme::read(*themes[i]);
        const std::string name = std::filesystem::path(themes[i]->getAttribute(u"name")).string();
        EXPECT_TRUE(headless::savePicture(frame, (folder / ("editor-theme-" + name + ".png")).string()));

        // The selection is painted in the theme's colours...
        const POINT selected = {GET_X_LPARAM(send(EM_POSFROMCHAR, 60)), GET_Y_LPARAM(send(EM_POSFROMCHAR, 60))};
        EXPECT_EQ(headless::pixel(editor.getHandle(), selected.x, selected.y + 1), *theme.colors[2]) << name;
        // ...and below the text lies the background, or the picture over it.
        const COLORREF below = headless::pixel(editor.getHandle(), kWidth / 2, kHeight - 3);
        if (theme.backgroundImage.empty()) {
            EXPECT_EQ(below, *theme.colors[0]) << name;
        } else {
            EXPECT_TRUE(editor.hasBackgroundImage()) << name;
        }
    }
}

}  // namespace
