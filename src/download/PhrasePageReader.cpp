#include "download/PhrasePageReader.h"

#include "app/Paths.h"
#include "download/DownloadFiles.h"
#include "download/FlvAudio.h"
#include "download/HttpClient.h"
#include "download/ProcessRunner.h"
#include "download/ShellScript.h"
#include "download/ToolCommandLine.h"
#include "lyrics/SentenceListBuilders.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

bool fileExists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The file's size, or -1 when it cannot be opened.
long long fileSize(const std::u16string& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size{};
    const bool known = GetFileSizeEx(file, &size) != FALSE;
    CloseHandle(file);
    return known ? static_cast<long long>(size.QuadPart) : -1;
}

}  // namespace

PhraseWork::PhraseWork(const SiteHosts& hosts)
    : addresses(hosts),
      voiceFolder(appDirectory() + u"voices/"),
      toolPath(pluginToolPath(u"flvstreamer")),
      scriptPath(u"gogakuru.sh") {}

std::unique_ptr<Element> PhrasePageReader::read(const std::u16string& url) const {
    if (!url.starts_with(m_work.addresses.phrasePrefix)) return nullptr;
    const std::u16string page =
        decodeCodePage(fetchUrlText(encodeCodePage(url, CP_ACP), "GET", {}, m_work.cancel), CP_UTF8);
    if (page.empty()) return nullptr;
    const std::size_t content = page.find(gogakuru::kPhraseMainMarker);
    if (content == std::u16string::npos) {
        if (m_work.tell) m_work.tell(u"phrase_main_padding が見つからない為ダウンロードできませんでした。");
        return nullptr;
    }

    const std::u16string voice = fetchVoice(gogakuru::voiceStreamPath(page, content));
    const gogakuru::PhraseTexts texts = gogakuru::readPhraseTexts(page, content, m_work.tell);
    std::unique_ptr<Element> group = createSentenceGroup(texts.sentence, texts.translation, texts.explanation);
    if (!voice.empty()) group->setAttribute(u"voice", voice);
    return group;
}

std::u16string PhrasePageReader::fetchVoice(std::u16string_view streamPath) const {
    createDirectoriesForFile(m_work.voiceFolder);
    const std::size_t slash = streamPath.rfind(u'/');
    if (slash == std::u16string_view::npos) return {};
    const std::u16string_view name = streamPath.substr(slash + 1);
    // An empty name would make every such page share one voice file.
    if (name.empty()) return {};
    const std::u16string stem = pathInFolder(m_work.voiceFolder, name);
    const std::u16string mp3 = stem + u".mp3";
    const std::u16string flv = stem + u".flv";
    if (fileExists(mp3)) return mp3;
    // Another recording of this voice is under way, or one was cut short.
    if (fileExists(flv)) return {};

    const std::u16string command = ToolCommandLine(m_work.toolPath)
                                       .option(u"-r")
                                       .value(m_work.addresses.streamBase + std::u16string(streamPath))
                                       .option(u"-s")
                                       .value(m_work.addresses.playerAddress)
                                       .option(u"-o")
                                       .value(flv)
                                       .text();
    ProcessRunner runner;
    if (m_work.tell) runner.setFailureNotice(m_work.tell);
    if (!runner.start(command)) return {};
    const ProcessRunner::WaitResult ended = runner.wait(m_work.shouldStop);
    runner.finish();
    if (ended == ProcessRunner::WaitResult::Stopped) {
        DeleteFileW(flv.c_str());
        return {};
    }

    std::u16string voice;
    const long long size = fileSize(flv);
    if (size >= 0 && size < kShortestRecording) {
        writeShellScript(m_work.scriptPath, command);
    } else if (size >= 0 && extractFlvAudio(flv, mp3) == FlvAudioResult::Extracted) {
        voice = mp3;
    }
    DeleteFileW(flv.c_str());
    return voice;
}
