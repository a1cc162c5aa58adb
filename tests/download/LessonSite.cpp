#include "LessonSite.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/Paths.h"
#include "download/KokokozaLecture.h"
#include "platform/display/Headless.h"

namespace {

std::filesystem::path programFolder() { return std::filesystem::path(appDirectory()); }

std::string narrow(const std::u16string& text) { return std::filesystem::path(text).string(); }

std::filesystem::path previousFolder;

}  // namespace

LessonSite::LessonSite() : voices(programFolder() / "voices"), lectures(programFolder() / "kokokoza") {
    const std::u16string here = host();
    hosts.phraseSite = here;
    hosts.phraseStream = here;
    hosts.phrasePlayer = here;
    hosts.lectureArchive = here;
    std::filesystem::remove_all(voices);
    std::filesystem::remove_all(lectures);
    previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    ::setenv("VELTRIX_STANDIN_LOG", work.native("standin.log").c_str(), 1);
}

LessonSite::~LessonSite() {
    ::unsetenv("VELTRIX_STANDIN_LOG");
    std::filesystem::current_path(previousFolder);
    std::error_code ignored;
    std::filesystem::remove_all(voices, ignored);
    std::filesystem::remove_all(lectures, ignored);
}

std::u16string LessonSite::host() const {
    const std::string text = "127.0.0.1:" + std::to_string(server.port());
    return std::u16string(text.begin(), text.end());
}

std::string LessonSite::phrasePage(const std::string& sentence, const std::string& translation,
                                   const std::string& explanation, const std::string& streamPath) {
    return "<html><head><meta charset=\"UTF-8\"><title>Phrase</title></head><body>\n"
           "<div id=\"header\"><a href=\"/english/\">top</a></div>\n"
           "<div class=\"phrase_main_padding\">\n"
           "<p class=\"en\"><span class=\"phrase\">" +
           sentence +
           "</span></p>\n"
           "<p class=\"jp\">" +
           translation +
           "</p>\n"
           "<div class=\"phrase_kaisetsu\">" +
           explanation +
           "</div>\n"
           "<script type=\"text/javascript\">r('" +
           streamPath +
           "');</script>\n"
           "</div></body></html>\n";
}

std::u16string LessonSite::routePhrase(const std::string& id, const std::string& page) {
    server.route("/english/phrase/" + id, HttpTestServer::page(page));
    const std::string url = server.url("/english/phrase/" + id);
    return std::u16string(url.begin(), url.end());
}

std::u16string LessonSite::routeLecture(int number, const std::string& pageTitle,
                                        const std::vector<std::string>& movies) {
    const std::u16string address = kokokoza::lectureAddress(host(), number);
    const std::string path = narrow(address).substr(std::string("http://").size() + narrow(host()).size());
    server.route(path + ".html", HttpTestServer::page("<html><head><title>" + pageTitle +
                                                      "</title></head><body><p>講義</p></body></html>"));
    std::string list = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<lecture>\n";
    for (const std::string& movie : movies)
        list += "  <group rtmp=\"rtmp://127.0.0.1/kokokoza/\" movie=\"" + movie + "\"/>\n";
    list += "</lecture>\n";
    server.route(path + ".xml", HttpTestServer::page(list));
    return address;
}

double LessonSite::chapterSeconds(const std::string& movie) const {
    const std::filesystem::path plugins = programFolder() / "Plugins";
    const std::filesystem::path flv = work.path() / "chapter.flv";
    const std::filesystem::path mp3 = work.path() / "chapter.mp3";
    // An empty log name keeps this run out of toolRuns().
    const std::string command = "VELTRIX_STANDIN_LOG= '" + (plugins / "flvstreamer").string() + "' -r 'x/" + movie +
                                "' -o '" + flv.string() + "' 2>/dev/null && '" + (plugins / "ffmpeg").string() +
                                "' -nostdin -loglevel error -y -i '" + flv.string() + "' -ab 64k -ar 16000 '" +
                                mp3.string() + "'";
    const double seconds = std::system(command.c_str()) == 0 ? decodedSeconds(mp3) : 0;
    std::filesystem::remove(flv);
    std::filesystem::remove(mp3);
    return seconds;
}

std::vector<std::vector<std::u16string>> LessonSite::toolRuns() const {
    std::vector<std::vector<std::u16string>> runs;
    const std::string log = work.read("standin.log");
    std::vector<std::u16string> run;
    std::string argument;
    for (char c : log) {
        if (c == '\0') {
            run.push_back(std::filesystem::path(argument).u16string());
            argument.clear();
        } else if (c == '\n' && argument.empty()) {
            runs.push_back(std::move(run));
            run.clear();
        } else {
            argument += c;
        }
    }
    return runs;
}

std::vector<pid_t> LessonSite::toolPids() const {
    std::vector<pid_t> pids;
    std::ifstream in(work.native("standin.log.pids"));
    pid_t pid = 0;
    while (in >> pid) pids.push_back(pid);
    return pids;
}

std::vector<std::string> LessonSite::filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool pumpUntil(const std::function<bool()>& condition, int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        veltrix::platform::headless::pumpMessages();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool processGone(pid_t pid) {
    // A zombie still has its entry: only a collected process has none.
    return !std::filesystem::exists("/proc/" + std::to_string(pid));
}

std::string probe(const std::filesystem::path& file, const std::string& entry) {
    const std::string command = std::string(VELTRIX_FFPROBE) + " -v error -show_entries " + entry +
                                " -of default=noprint_wrappers=1:nokey=1 '" + file.string() + "' 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) out += buffer.data();
    ::pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

double decodedSeconds(const std::filesystem::path& file) {
    const std::filesystem::path wav = file.string() + ".decoded.wav";
    const std::string command =
        std::string(VELTRIX_FFMPEG) + " -nostdin -loglevel error -y -i '" + file.string() + "' '" + wav.string() + "'";
    const std::string seconds = std::system(command.c_str()) == 0 ? probe(wav, "format=duration") : "";
    std::filesystem::remove(wav);
    return seconds.empty() ? 0 : std::stod(seconds);
}
