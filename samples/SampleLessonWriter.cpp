// Writes the sample lesson's sentence-list file through the program's own
// writer, so the sample always matches what the player reads.
//
//   veltrix_sample_writer <lesson.txt> <durations.txt> <lead ms> <gap ms> <audio> <xml>
//
// lesson.txt holds one sentence per line as UTF-8 "sentence<TAB>translation<TAB>explanation";
// durations.txt the length of each spoken sentence in milliseconds, one per line, in
// the same order. The recording is the lead silence, then each sentence followed
// by the gap.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "lyrics/SentenceList.h"
#include "lyrics/SentenceListFile.h"
#include "lyrics/SentenceListHost.h"
#include "text/NarrowText.h"

namespace {

class ConsoleHost final : public SentenceListHost {
public:
    bool openAudio(const std::u16string&) override { return true; }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return {}; }
    void showMessage(const std::u16string& text, MessageOwner) override {
        std::fprintf(stderr, "%s\n", encodeCodePage(text, 65001).c_str());
    }
};

std::vector<std::u16string> splitTabs(const std::u16string& line) {
    std::vector<std::u16string> fields(1);
    for (char16_t c : line) {
        if (c == u'\t')
            fields.emplace_back();
        else if (c != u'\r')
            fields.back() += c;
    }
    fields.resize(3);
    return fields;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s lesson.txt durations.txt lead-ms gap-ms audio xml\n", argv[0]);
        return 2;
    }
    std::ifstream lesson(argv[1]);
    std::ifstream durations(argv[2]);
    if (!lesson || !durations) {
        std::fprintf(stderr, "cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    const std::uint32_t lead = std::stoul(argv[3]);
    const std::uint32_t gap = std::stoul(argv[4]);

    SentenceList list;
    list.setAudioPath(decodeCodePage(argv[5], 65001));
    list.setXmlPath(decodeCodePage(argv[6], 65001));
    list.id3().setChildText(u"title", u"Asking the Way");
    list.id3().setChildText(u"artist", u"Veltrix sample lesson");

    std::uint32_t position = lead;
    std::string line;
    std::uint32_t length = 0;
    while (std::getline(lesson, line)) {
        if (line.empty()) continue;
        if (!(durations >> length)) {
            std::fprintf(stderr, "fewer durations than sentences\n");
            return 1;
        }
        const auto fields = splitTabs(decodeCodePage(line, 65001));
        // Each sentence ends its own line in the lyrics view.
        list.appendEntry({position, position + length, fields[0] + u"\r\n", fields[1], fields[2]});
        position += length + gap;
    }
    ConsoleHost host;
    return writeSentenceList(list, host) ? 0 : 1;
}
