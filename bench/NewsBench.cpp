// The news downloader's page reading on pages from 1 MB to 64 MB (the HTTP
// client's cap): a day page whose words run to the far end (programme
// information and word list, each word new, so the list grows with the page),
// and a list page of explanation links. The complexity fit shows whether the
// time stays linear in the page's size.
#include <benchmark/benchmark.h>

#include <string>

#include "download/NewsPages.h"

namespace {

std::u16string number(int i) {
    const std::string digits = std::to_string(i);
    return std::u16string(digits.begin(), digits.end());
}

// size is in UTF-16 code units.
std::u16string dayPage(std::size_t size) {
    std::u16string page = u"<html><body>";
    for (int i = 0; page.size() < size; ++i)
        page += u"<span data-word=\"w" + number(i) + u"\" data-jp=\"意味\" data-type=\"名詞\">w</span>\r\n";
    page +=
        u"<div class=\"right_col_in\"><h2>ニュースで英会話&nbsp;&nbsp;</h2><p>放送</p><br />D.\tカテゴリ :"
        u"&nbsp;経済<br /></div>放送内容　　Title<span>";
    return page;
}

std::u16string listPage(std::size_t size) {
    std::u16string page = u"<html><body><ul>";
    for (int i = 0; page.size() < size; ++i)
        page += u"<li><a href=\"/e-news/elearning/explain.cgi?ymd=20150520&type=news&id=" + number(i % 5000) +
                u"\">item</a> <span>note</span></li>\n";
    return page;
}

void BM_NewsDayPage(benchmark::State& state) {
    const std::u16string page = dayPage(static_cast<std::size_t>(state.range(0)) / 2);
    std::size_t words = 0;
    for (auto _ : state) {
        auto information = news::readProgrammeInformation(page, u"host", u"20150520");
        auto list = news::readWordList(page, [] {});
        words = list->getChildren().size();
        benchmark::DoNotOptimize(information);
    }
    state.counters["words"] = static_cast<double>(words);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NewsDayPage)->RangeMultiplier(4)->Range(1 << 20, 64 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_NewsListPage(benchmark::State& state) {
    const std::u16string page = listPage(static_cast<std::size_t>(state.range(0)) / 2);
    std::size_t links = 0;
    for (auto _ : state) links = news::readExplanationLinks(page, u"host").size();
    state.counters["links"] = static_cast<double>(links);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NewsListPage)->RangeMultiplier(4)->Range(1 << 20, 64 << 20)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
