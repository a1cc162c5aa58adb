// The downloaders' inner loops: reading a large page with HtmlReader (against
// libxml2's HTML parser on the same bytes), decoding page text, and fetching a
// 10 MB body from a server on 127.0.0.1 through the HTTP client.
#include <benchmark/benchmark.h>

#include <libxml/HTMLparser.h>

#include <string>

#include "download/HttpClient.h"
#include "support/HttpTestServer.h"
#include "text/NarrowText.h"
#include "xml/HtmlReader.h"
#include "xml/PageText.h"

namespace {

// About 1 MB of a lesson index: anchors, paragraphs, scripts, comments and entities.
const std::string& pageBytes() {
    static const std::string page = [] {
        std::string p =
            "<!DOCTYPE html><html><head><title>ニュースで英会話 &amp; more</title>"
            "<script>var a = '<a href=x>';</script></head><body>";
        for (int i = 0; p.size() < (1u << 20); ++i) {
            const std::string n = std::to_string(i);
            p += "<div class=\"item\"><a href=\"/lesson/" + n + ".html?x=1&amp;y=2\" title='Lesson " + n + "'>Lesson " +
                 n +
                 "</a><p>The committee announced &ldquo;the plan&rdquo; on Tuesday &mdash; "
                 "委員会は火曜日に発表した。</p><!-- item " +
                 n + " --><img src=\"/img/" + n + ".png\" alt></div>\n";
        }
        return p + "</body></html>";
    }();
    return page;
}

void BM_HtmlReader(benchmark::State& state) {
    const std::u16string page = decodeCodePage(pageBytes(), 65001);
    for (auto _ : state) {
        HtmlReader reader;
        reader.read(page);
        benchmark::DoNotOptimize(reader.getElementsByTagName(u"a").size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pageBytes().size()));
}
BENCHMARK(BM_HtmlReader)->Unit(benchmark::kMillisecond);

// The anchor: libxml2 building its whole tree from the same UTF-8 bytes.
void BM_Libxml2HtmlParser(benchmark::State& state) {
    for (auto _ : state) {
        htmlDocPtr doc = htmlReadMemory(pageBytes().data(), static_cast<int>(pageBytes().size()), nullptr, "UTF-8",
                                        HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pageBytes().size()));
}
BENCHMARK(BM_Libxml2HtmlParser)->Unit(benchmark::kMillisecond);

void BM_DecodePageText(benchmark::State& state) {
    const std::u16string page = decodeCodePage(pageBytes(), 65001);
    for (auto _ : state) benchmark::DoNotOptimize(decodePageText(page, true));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pageBytes().size()));
}
BENCHMARK(BM_DecodePageText)->Unit(benchmark::kMillisecond);

void BM_FetchTenMegabytes(benchmark::State& state) {
    HttpTestServer server;
    server.route("/big", HttpTestServer::page(std::string(10u << 20, 'x')));
    for (auto _ : state) benchmark::DoNotOptimize(fetchUrlText(server.url("/big")).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (10u << 20)));
}
BENCHMARK(BM_FetchTenMegabytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
