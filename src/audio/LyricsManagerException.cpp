#include "audio/LyricsManagerException.h"

std::u16string LyricsManagerException::describeCode(long code) const {
    switch (code) {
        case kCannotOpen:
            return u"\r\nCouldn't open this mp3 file";
        case kFormatFileUnreadable:
            return u"\r\nLists/Lyrics.txt ファイルが正しく読み込めていません。";
        case kLrcNotWritten:
            return u"\r\nLlrc ファイルの作成に失敗しました";
        case kSyltNotWritten:
            return u"\r\nLSylt タグを MP3 に設定できませんでした";
        default:
            return u"";
    }
}
