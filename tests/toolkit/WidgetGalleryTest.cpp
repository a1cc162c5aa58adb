// Every widget in one window with Japanese captions, saved as a picture for
// a person to look at (widgets.png in the build folder). The assertions only
// check that each widget painted something of its own.
#include "WidgetTestSupport.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/GroupBox.h"
#include "toolkit/LabelComponent.h"
#include "toolkit/ProgressBar.h"
#include "toolkit/RadioButton.h"
#include "toolkit/RegionButton.h"
#include "toolkit/Slider.h"
#include "toolkit/TextArea.h"
#include "toolkit/TextField.h"
#include "toolkit/UpDownTextField.h"

#ifndef VELTRIX_PICTURE_DIR
#define VELTRIX_PICTURE_DIR "."
#endif

using namespace veltrix::test;

namespace {

using WidgetGallery = WidgetTest;

TEST_F(WidgetGallery, EveryWidgetInOneWindow) {
    MoveWindow(frame.handle(), 60, 40, 540, 430, TRUE);
    SetWindowTextW(frame.handle(), u"ウィジェット一覧");
    HWND top = frame.handle();

    GroupBox playback;
    ASSERT_TRUE(playback.createGroup(top, u"再生設定", 12, 8, 250, 150));
    CheckBox subtitles;
    subtitles.createButton(playback.handle(), 1, u"字幕を表示する", 14, 24, 200, 20);
    subtitles.setChecked(true);
    CheckBox repeat;
    repeat.createButton(playback.handle(), 2, u"一文ずつ繰り返す", 14, 48, 200, 20);
    RadioButton english, japanese, both;
    english.createButton(playback.handle(), 3, u"英語", 14, 80, 70, 20);
    japanese.createButton(playback.handle(), 4, u"日本語", 88, 80, 80, 20);
    both.createButton(playback.handle(), 5, u"両方", 172, 80, 70, 20);
    japanese.click(ClickSource::Keyboard);
    LabelComponent time;
    time.createLabel(playback.handle(), u"再生時間 01:23/04:56", 14, 112, 200, 20);

    GroupBox speed;
    ASSERT_TRUE(speed.createGroup(top, u"速度と音量", 274, 8, 250, 150));
    UpDownTextField tempo, pitch;
    tempo.createField(speed.handle(), 6, u"テンポ", 14, 24, 110, 22);
    tempo.setRange(50, 360);
    tempo.setValue(100);
    pitch.createField(speed.handle(), 7, u"ピッチ", 130, 24, 110, 22);
    pitch.setRange(50, 300);
    pitch.setValue(100);
    LabelComponent volumeLabel;
    volumeLabel.createLabel(speed.handle(), u"音量", 14, 64, 40, 20);
    Slider volume;
    volume.create(speed.handle());
    volume.setBounds(56, 62, 180, 20);
    volume.setRange(0, 100);
    volume.setPosition(80);
    LabelComponent timeLabel;
    timeLabel.createLabel(speed.handle(), u"位置", 14, 100, 40, 20);
    Slider position;
    position.create(speed.handle());
    position.setBounds(56, 98, 180, 20);
    position.setRange(0, 1000);
    position.setPosition(350);

    LabelComponent nameLabel;
    nameLabel.createLabel(top, u"ファイル名", 14, 172, 80, 20);
    TextField name;
    name.createAt(top, 100, 170, 250, 22);
    name.setText(u"道のたずね方.mp3");
    name.setFileNameCharacters(true);
    LabelComponent dictionaryLabel;
    dictionaryLabel.createLabel(top, u"辞書", 14, 204, 80, 20);
    ComboBox dictionary;
    dictionary.createBox(top, 8, 100, 200, 250, 22);
    dictionary.addItem(u"英辞郎");
    dictionary.addItem(u"WordNet 日本語");
    dictionary.setSelectedIndex(0);
    RegionButton play;
    play.createButton(top, 9, u"▶", 370, 170, 52, 52);

    TextArea notes;
    notes.createAt(top, 14, 236, 510, 80);
    notes.setText(
        u"Excuse me, could you tell me the way to the station?\r\n"
        u"すみません、駅への行き方を教えていただけますか。");
    ProgressBar progress;
    progress.create(top);
    progress.setBounds(14, 326, 510, 22);
    progress.setText(u"変換中… 45%");
    progress.setPosition(45);

    Button ok, cancel, apply;
    ok.createButton(top, 64, u"OK", 232, 360, 92, 24);
    cancel.createButton(top, 128, u"キャンセル", 332, 360, 92, 24);
    apply.createButton(top, 256, u"適用", 432, 360, 92, 24);
    apply.setEnabled(false);
    ok.requestFocus();
    settle();

    for (HWND w : {subtitles.handle(), japanese.handle(), volume.handle(), ok.handle(), progress.handle()}) {
        int differing = 0;
        RECT r{};
        GetClientRect(w, &r);
        COLORREF first = headless::pixel(w, 0, 0);
        for (int x = 0; x < r.right; x += 2)
            for (int y = 0; y < r.bottom; y += 2) differing += headless::pixel(w, x, y) != first;
        EXPECT_GT(differing, 10);
    }
    EXPECT_TRUE(headless::savePicture(top, VELTRIX_PICTURE_DIR "/widgets.png"));
}

}  // namespace
