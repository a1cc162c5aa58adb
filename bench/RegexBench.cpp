// Searching a 10 MB mixed English/Japanese study text with typical find-pane
// patterns: this engine against PCRE2 without JIT and std::wregex. Each
// benchmark counts every match over the whole text.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <regex>
#include <string>

#include "editor/regex/RegexPattern.h"

namespace {

// 10 MB of UTF-16: sentences and their translations, with numbers, repeated
// words and mail addresses that vary so that matches are not all alike.
const std::u16string& studyText() {
    static const std::u16string text = [] {
        const std::u16string lines[] = {
            u"The quick brown fox jumps over the lazy dog near the riverbank.\r\n",
            u"素早い茶色の狐が川岸の近くで怠け者の犬を飛び越える。\r\n",
            u"Listening every day is the key to understanding natural English.\r\n",
            u"毎日聞くことが、自然な英語を理解するための鍵です。\r\n",
            u"Study the the words in lesson 12-34 and write to teacher@school today.\r\n",
            u"第12課の単語を勉強して、先生にメールを書きましょう。\r\n",
            u"STUDY hard: apple, banana and cherry cost 120 yen at the market.\r\n",
        };
        std::u16string out;
        out.reserve(5u << 20);
        for (std::size_t i = 0; out.size() < (5u << 20); ++i) {
            out += lines[i % std::size(lines)];
            out += u"Line ";
            out += static_cast<char16_t>(u'0' + i % 10);
            out += u".\r\n";
        }
        return out;
    }();
    return text;
}

struct Case {
    const char16_t* pattern;
    bool ignoreCase;
};

const Case kCases[] = {
    {u"English", false},          {u"\\bstudy\\b", true},
    {u"[0-9]+-[0-9]+", false},    {u"apple|banana|cherry|grape|lemon|mango|melon|peach|plum|pear", false},
    {u"\\b(\\w+) \\1\\b", false}, {u"(\\d+)-(\\d+)", false},
};

void ownEngine(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    RegexPattern pattern(c.pattern, regex::multiLine | (c.ignoreCase ? regex::ignoreCase : 0));
    const std::u16string& text = studyText();
    std::int64_t matches = 0;
    for (auto _ : state) {
        MatchContext context = pattern.prepareMatch(text, 0);
        for (;;) {
            MatchResult result = pattern.match(context);
            if (!result.found()) break;
            ++matches;
        }
    }
    state.counters["matches"] = static_cast<double>(matches) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}

void pcreWithoutJit(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    std::u16string p = c.pattern;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(),
                                     PCRE2_MULTILINE | (c.ignoreCase ? PCRE2_CASELESS : 0), &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const std::u16string& text = studyText();
    std::int64_t matches = 0;
    for (auto _ : state) {
        PCRE2_SIZE start = 0;
        while (start <= text.size() &&
               pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), start, 0, data, nullptr) > 0) {
            PCRE2_SIZE* v = pcre2_get_ovector_pointer(data);
            start = v[1] > v[0] ? v[1] : v[1] + 1;
            ++matches;
        }
    }
    state.counters["matches"] = static_cast<double>(matches) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

void standardRegex(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    std::wstring p(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern));
    auto flags = std::regex_constants::ECMAScript | std::regex_constants::multiline;
    if (c.ignoreCase) flags |= std::regex_constants::icase;
    std::wregex re(p, flags);
    const std::u16string& source = studyText();
    static const std::wstring text(source.begin(), source.end());
    std::int64_t matches = 0;
    for (auto _ : state) {
        for (auto it = std::wsregex_iterator(text.begin(), text.end(), re); it != std::wsregex_iterator(); ++it)
            ++matches;
    }
    state.counters["matches"] = static_cast<double>(matches) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size() * 2));
}

void ownReplaceAll(benchmark::State& state) {
    RegexPattern pattern(u"(\\d+)-(\\d+)", regex::multiLine);
    const std::u16string& text = studyText();
    std::size_t size = 0;
    for (auto _ : state) size += pattern.replaceMatches(text, u"$2/$1").size();
    benchmark::DoNotOptimize(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}

void pcreReplaceAll(benchmark::State& state) {
    std::u16string p = u"(\\d+)-(\\d+)";
    std::u16string replacement = u"$2/$1";
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), PCRE2_MULTILINE, &error, &offset, nullptr);
    const std::u16string& text = studyText();
    std::u16string out(text.size() + (1u << 20), u'\0');
    for (auto _ : state) {
        PCRE2_SIZE length = out.size();
        pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, PCRE2_SUBSTITUTE_GLOBAL,
                         nullptr, nullptr, reinterpret_cast<PCRE2_SPTR>(replacement.data()), replacement.size(),
                         reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        benchmark::DoNotOptimize(length);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
    pcre2_code_free(code);
}

void standardReplaceAll(benchmark::State& state) {
    std::wregex re(L"(\\d+)-(\\d+)", std::regex_constants::ECMAScript | std::regex_constants::multiline);
    const std::u16string& source = studyText();
    static const std::wstring text(source.begin(), source.end());
    std::size_t size = 0;
    for (auto _ : state) size += std::regex_replace(text, re, L"$2/$1").size();
    benchmark::DoNotOptimize(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size() * 2));
}

}  // namespace

BENCHMARK(ownEngine)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(pcreWithoutJit)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(standardRegex)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ownReplaceAll)->Unit(benchmark::kMillisecond);
BENCHMARK(pcreReplaceAll)->Unit(benchmark::kMillisecond);
BENCHMARK(standardReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
