// The radio lectures of the built-in course as the lecture downloader reads
// and records them: their addresses, a lecture's title and chapter streams,
// and the tool command lines that record, convert and join the chapters into
// one tagged MP3 file per lecture.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kokokoza {

inline constexpr const char16_t* kAlbum = u"古典Ⅰ";
inline constexpr const char16_t* kCourseKey = u"r2_koten";
inline constexpr const char16_t* kYear = u"2013";
inline constexpr const char16_t* kMedium = u"radio";
inline constexpr int kLectureCount = 84;
// More groups than this is no lecture: its chapter marks would run into
// characters that cannot name a file.
inline constexpr int kMostChapters = 40;

// "http://" + host + "/kokokoza/library/2013/radio/r2_koten/archive/".
std::u16string archiveBase(std::u16string_view host);
// The archive base + "chapter" + the number in three digits (1 to 84).
std::u16string lectureAddress(std::u16string_view host, int number);

// The text after the page title's last "| " (the whole title when it has
// none), without the white space around it.
std::u16string lectureTitle(std::u16string_view pageTitle);

// The stream address of every `group` of the lecture's chapter list (its rtmp
// attribute + its movie attribute), in order; empty when the list cannot be
// read.
std::vector<std::u16string> chapterStreams(std::string_view listBytes);

// The mark that follows the title in a chapter's file name: "1" for the
// first, then one character code further for each ("9", ":", ";" ...).
char16_t chapterMark(int index);

// flvstreamer -r <stream> -o <flv>
std::u16string recordCommand(std::u16string_view recorder, std::u16string_view stream, std::u16string_view flv);
// ffmpeg -y -i <flv> -ab 64k -ar 16000 [-f mp3] <mp3>
std::u16string convertCommand(std::u16string_view converter, std::u16string_view flv, std::u16string_view mp3,
                              bool namedFormat);

struct LectureTags {
    std::u16string title;
    std::u16string date;
    int track = 0;  // from 1
    int trackCount = 0;
    std::u16string album;
};

// ffmpeg -i <chapter> ... -filter_complex "concat=n=<count>:v=0:a=1" and the
// tags title, date, track ("<track>/<count>"), genre "Speech", publisher,
// copyright and artist "NHK", album; ID3v2.3 and ID3v1; then the output.
// With namedFormat, "-f mp3" comes before the output (whose name may then
// end otherwise).
std::u16string joinCommand(std::u16string_view converter, const std::vector<std::u16string>& chapters,
                           const LectureTags& tags, std::u16string_view output, bool namedFormat);

// The last line of a tool's progress text, without the spaces, carriage
// returns and backspaces around it; empty when nothing remains.
std::u16string progressLine(std::u16string_view text);

}  // namespace kokokoza
