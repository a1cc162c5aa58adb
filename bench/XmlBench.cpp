// Reading a large sentence-list file: XMLParser against pugixml and libxml2 on
// the same file, and loading the file into the sentence-list document. The file
// (20,000 entries of English and Japanese, about 20 MB of UTF-16LE) is written
// once by the program's own writer into the system's temporary folder.
#include <benchmark/benchmark.h>

#include <libxml/xmlreader.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <string>

#include "lyrics/SentenceListFile.h"
#include "text/TextFile.h"
#include "xml/XMLParser.h"

namespace {

constexpr int kEntries = 20000;

const std::u16string kSentence =
    u"The committee announced on Tuesday that the new library, planned for more than a decade, would finally "
    u"open next spring. ";
const std::u16string kTranslation =
    u"委員会は火曜日、十年以上前から計画されていた新しい図書館が来春ようやく開館し、"
    u"住民向けに無料の英会話講座を開くと発表した。";
const std::u16string kExplanation =
    u"planned for ... は過去分詞の後置修飾で、the new library を説明しています。"
    u"「open to the public」は「一般公開される」。Note: \"free\" means 無料 here & not 自由.";

struct Host : SentenceListHost {
    bool openAudio(const std::u16string&) override { return true; }
    std::u16string chooseAudioFile(std::u16string_view, const std::u16string&) override { return {}; }
    void showMessage(const std::u16string&, MessageOwner) override {}
};

const std::filesystem::path& sampleFile() {
    static const std::filesystem::path path = [] {
        const auto folder = std::filesystem::temp_directory_path();
        const auto xml = folder / "veltrix-bench-sentences.xml";
        const auto audio = folder / "veltrix-bench-sentences.mp3";
        std::ofstream(audio, std::ios::binary) << "audio";
        SentenceList list;
        list.setAudioPath(audio.u16string());
        list.setXmlPath(xml.u16string());
        list.id3().setChildText(u"title", u"Benchmark");
        for (int i = 0; i < kEntries; ++i) {
            const std::string n = std::to_string(i);
            const std::u16string number(n.begin(), n.end());
            list.appendEntry({static_cast<std::uint32_t>(i) * 4000u, static_cast<std::uint32_t>(i) * 4000u + 3500u,
                              number + u": " + kSentence, kTranslation, kExplanation});
        }
        std::string bytes = sentenceListBytes(list);
        std::ofstream(xml, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return xml;
    }();
    return path;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(sampleFile())));
}

// Reading, decoding and parsing the file.
void BM_XMLParser_File(benchmark::State& state) {
    const std::u16string path = sampleFile().u16string();
    for (auto _ : state) {
        XMLParser parser;
        if (!parser.parse(path)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(parser.getRoot());
    }
    setBytes(state);
}
BENCHMARK(BM_XMLParser_File)->Unit(benchmark::kMillisecond);

// Parsing text already decoded (the scanner and tree building alone).
void BM_XMLParser_Text(benchmark::State& state) {
    std::u16string text;
    readTextFile(sampleFile().u16string(), text);
    for (auto _ : state) {
        XMLParser parser;
        if (!parser.parseString(text)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(parser.getRoot());
    }
    setBytes(state);
}
BENCHMARK(BM_XMLParser_Text)->Unit(benchmark::kMillisecond);

// pugixml loading the whole file into its tree (it recognises UTF-16 by the
// byte-order mark and converts it, as ours does), the yardstick for XMLParser.
void BM_Pugixml_LoadFile(benchmark::State& state) {
    const std::string path = sampleFile().string();
    for (auto _ : state) {
        pugi::xml_document document;
        const pugi::xml_parse_result result = document.load_file(path.c_str());
        if (!result) state.SkipWithError("pugixml failed to parse");
        benchmark::DoNotOptimize(document.first_child());
    }
    setBytes(state);
}
BENCHMARK(BM_Pugixml_LoadFile)->Unit(benchmark::kMillisecond);

// libxml2's streaming reader over the same file, visiting every node and
// touching each node's value so that text is decoded as ours is.
void BM_Libxml2_Reader(benchmark::State& state) {
    const std::string path = sampleFile().string();
    for (auto _ : state) {
        xmlTextReaderPtr reader = xmlReaderForFile(path.c_str(), nullptr, 0);
        if (!reader) {
            state.SkipWithError("libxml2 could not open the file");
            break;
        }
        int result;
        std::size_t nodes = 0;
        while ((result = xmlTextReaderRead(reader)) == 1) {
            benchmark::DoNotOptimize(xmlTextReaderConstValue(reader));
            ++nodes;
        }
        xmlFreeTextReader(reader);
        if (result != 0) state.SkipWithError("libxml2 failed to parse");
        benchmark::DoNotOptimize(nodes);
    }
    setBytes(state);
}
BENCHMARK(BM_Libxml2_Reader)->Unit(benchmark::kMillisecond);

// libxml2 building its whole tree, the closer match to what XMLParser does.
void BM_Libxml2_Tree(benchmark::State& state) {
    const std::string path = sampleFile().string();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, 0);
        if (!doc) state.SkipWithError("libxml2 failed to parse");
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    setBytes(state);
}
BENCHMARK(BM_Libxml2_Tree)->Unit(benchmark::kMillisecond);

// The whole load: parse, audio check, id3 and the 20,000 rows with their timings.
void BM_LoadSentenceList(benchmark::State& state) {
    const std::u16string path = sampleFile().u16string();
    Host host;
    for (auto _ : state) {
        SentenceList list;
        if (!readSentenceList(list, path, host) || list.size() != kEntries) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(list.joinedText().data());
    }
    setBytes(state);
}
BENCHMARK(BM_LoadSentenceList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
