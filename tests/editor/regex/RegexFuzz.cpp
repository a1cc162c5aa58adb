// libFuzzer target for the regular-expression engine, built only with clang.
// The first byte chooses the mode:
// - even: the remaining bytes drive the pattern generator of the cross-check,
//   and the match must equal PCRE2's (the shared subset, see RegexDifferential.h);
// - odd: the bytes are a raw UTF-16 pattern and subject, compiled with the
//   options in the second byte: anything may happen except a crash, a hang or
//   a result that breaks the MatchResult layout.
// Run: build-fuzz/tests/regex_fuzz -max_total_time=300
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "RegexDifferential.h"

namespace {

void differential(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    PatternGenerator generator([&](int n) { return at < size ? data[at++] % n : 0; });
    std::u16string pattern = generator.pattern();
    int options = generator.options();
    std::u16string subject = sharedSubject(generator.subject(), options);
    int start = at < size ? data[at++] % static_cast<int>(subject.size() + 1) : 0;
    auto theirs = pcreGroups(pattern, options, subject, start);
    // Generated patterns can backtrack for a long time in both engines; a
    // search stopped by its limit is not compared.
    auto ours = ownGroups(pattern, options, subject, start, {1'000'000, 6000});
    if (theirs && ours && *theirs != *ours) {
        std::fprintf(stderr, "mismatch on a generated pattern of %zu units\n", pattern.size());
        std::abort();
    }
}

void robustness(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return;
    int options = data[0] & 0x3F;
    std::u16string units;
    for (std::size_t i = 1; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    // A unit 0xFFFF splits pattern from subject; without one, the pattern is matched against itself.
    std::size_t split = units.find(u'\xFFFF');
    std::u16string pattern = units.substr(0, split);
    std::u16string subject = split == std::u16string::npos ? pattern : units.substr(split + 1);
    RegexPattern compiled(pattern, options);
    compiled.setMatchLimits({200'000, 6000});
    MatchContext context = compiled.prepareMatch(subject, -1);
    for (int n = 0; n < 4; ++n) {
        MatchResult result = compiled.match(context);
        if (!result.found()) break;
        const int length = static_cast<int>(subject.size());
        for (int g = 0; g <= result.highestGroup(); ++g) {
            int s = result.groupStart(g), e = result.groupEnd(g);
            if ((s == -1) != (e == -1) || s > e || e > length) std::abort();
        }
    }
    (void)compiled.replaceMatches(subject, u"[$&|$1|${x}|$`]", -1, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0)
        differential(data + 1, size - 1);
    else
        robustness(data + 1, size - 1);
    return 0;
}
