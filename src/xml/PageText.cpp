#include "xml/PageText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct Entity {
    std::u16string_view name;
    char16_t value;
};

// Latin-1 names in code order, U+00A0 to U+00FF.
constexpr std::array<std::u16string_view, 96> kLatin1 = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",   u"uml",    u"copy",
    u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",   u"deg",    u"plusmn", u"sup2",   u"sup3",
    u"acute",  u"micro",  u"para",   u"middot", u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12",
    u"frac34", u"iquest", u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
    u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",   u"ETH",    u"Ntilde",
    u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",  u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",
    u"Uuml",   u"Yacute", u"THORN",  u"szlig",  u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",
    u"aelig",  u"ccedil", u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
    u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide", u"oslash", u"ugrave",
    u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml"};

// The symbol and special sets, less fnof, rsaquo and euro, plus apos.
constexpr Entity kOthers[] = {
    {u"quot", 34},     {u"amp", 38},       {u"apos", 39},     {u"lt", 60},        {u"gt", 62},       {u"OElig", 338},
    {u"oelig", 339},   {u"Scaron", 352},   {u"scaron", 353},  {u"Yuml", 376},     {u"circ", 710},    {u"tilde", 732},
    {u"Alpha", 913},   {u"Beta", 914},     {u"Gamma", 915},   {u"Delta", 916},    {u"Epsilon", 917}, {u"Zeta", 918},
    {u"Eta", 919},     {u"Theta", 920},    {u"Iota", 921},    {u"Kappa", 922},    {u"Lambda", 923},  {u"Mu", 924},
    {u"Nu", 925},      {u"Xi", 926},       {u"Omicron", 927}, {u"Pi", 928},       {u"Rho", 929},     {u"Sigma", 931},
    {u"Tau", 932},     {u"Upsilon", 933},  {u"Phi", 934},     {u"Chi", 935},      {u"Psi", 936},     {u"Omega", 937},
    {u"alpha", 945},   {u"beta", 946},     {u"gamma", 947},   {u"delta", 948},    {u"epsilon", 949}, {u"zeta", 950},
    {u"eta", 951},     {u"theta", 952},    {u"iota", 953},    {u"kappa", 954},    {u"lambda", 955},  {u"mu", 956},
    {u"nu", 957},      {u"xi", 958},       {u"omicron", 959}, {u"pi", 960},       {u"rho", 961},     {u"sigmaf", 962},
    {u"sigma", 963},   {u"tau", 964},      {u"upsilon", 965}, {u"phi", 966},      {u"chi", 967},     {u"psi", 968},
    {u"omega", 969},   {u"thetasym", 977}, {u"upsih", 978},   {u"piv", 982},      {u"ensp", 8194},   {u"emsp", 8195},
    {u"thinsp", 8201}, {u"zwnj", 8204},    {u"zwj", 8205},    {u"lrm", 8206},     {u"rlm", 8207},    {u"ndash", 8211},
    {u"mdash", 8212},  {u"lsquo", 8216},   {u"rsquo", 8217},  {u"sbquo", 8218},   {u"ldquo", 8220},  {u"rdquo", 8221},
    {u"bdquo", 8222},  {u"dagger", 8224},  {u"Dagger", 8225}, {u"bull", 8226},    {u"hellip", 8230}, {u"permil", 8240},
    {u"prime", 8242},  {u"Prime", 8243},   {u"lsaquo", 8249}, {u"oline", 8254},   {u"frasl", 8260},  {u"image", 8465},
    {u"weierp", 8472}, {u"real", 8476},    {u"trade", 8482},  {u"alefsym", 8501}, {u"larr", 8592},   {u"uarr", 8593},
    {u"rarr", 8594},   {u"darr", 8595},    {u"harr", 8596},   {u"crarr", 8629},   {u"lArr", 8656},   {u"uArr", 8657},
    {u"rArr", 8658},   {u"dArr", 8659},    {u"hArr", 8660},   {u"forall", 8704},  {u"part", 8706},   {u"exist", 8707},
    {u"empty", 8709},  {u"nabla", 8711},   {u"isin", 8712},   {u"notin", 8713},   {u"ni", 8715},     {u"prod", 8719},
    {u"sum", 8721},    {u"minus", 8722},   {u"lowast", 8727}, {u"radic", 8730},   {u"prop", 8733},   {u"infin", 8734},
    {u"ang", 8736},    {u"and", 8743},     {u"or", 8744},     {u"cap", 8745},     {u"cup", 8746},    {u"int", 8747},
    {u"there4", 8756}, {u"sim", 8764},     {u"cong", 8773},   {u"asymp", 8776},   {u"ne", 8800},     {u"equiv", 8801},
    {u"le", 8804},     {u"ge", 8805},      {u"sub", 8834},    {u"sup", 8835},     {u"nsub", 8836},   {u"sube", 8838},
    {u"supe", 8839},   {u"oplus", 8853},   {u"otimes", 8855}, {u"perp", 8869},    {u"sdot", 8901},   {u"lceil", 8968},
    {u"rceil", 8969},  {u"lfloor", 8970},  {u"rfloor", 8971}, {u"lang", 9001},    {u"rang", 9002},   {u"loz", 9674},
    {u"spades", 9824}, {u"clubs", 9827},   {u"hearts", 9829}, {u"diams", 9830}};

// The fixed references of decodeBasicEntities, compared as whole texts.
constexpr std::pair<std::u16string_view, char16_t> kBasic[] = {
    {u"&lt;", u'<'},      {u"&#60;", u'<'},     {u"&gt;", u'>'},      {u"&#62;", u'>'},     {u"&amp;", u'&'},
    {u"&#38;", u'&'},     {u"&nbsp;", u' '},    {u"&#150;", u' '},    {u"&quot;", u'"'},    {u"&#34;", u'"'},
    {u"&apos;", u'\''},   {u"&#39;", u'\''},    {u"&rlm;", u'?'},     {u"&#8206;", u'?'},   {u"&copy;", 0x00A9},
    {u"&lsquo;", 0x2018}, {u"&#8216;", 0x2018}, {u"&rsquo;", 0x2019}, {u"&#8217;", 0x2019}, {u"&ldquo;", 0x201C},
    {u"&#8220;", 0x201C}, {u"&rdquo;", 0x201D}, {u"&#8221;", 0x201D}};

// The longest "&", "#" and name that still count as a reference.
constexpr std::size_t kMaxReferenceLength = 10;

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

}  // namespace

std::optional<char16_t> lookupEntity(std::u16string_view name) {
    // A plain space rather than U+00A0: the callers' text tools split on spaces.
    if (name == u"nbsp") return u' ';
    for (std::size_t i = 0; i < kLatin1.size(); ++i)
        if (kLatin1[i] == name) return static_cast<char16_t>(0xA0 + i);
    for (const Entity& e : kOthers)
        if (e.name == name) return e.value;
    return std::nullopt;
}

std::u16string decodeBasicEntities(std::u16string_view text) {
    std::u16string out(text);
    std::size_t from = 0;
    for (;;) {
        const std::size_t amp = out.find(u'&', from);
        if (amp == std::u16string::npos) break;
        const std::size_t semicolon = out.find(u';', amp);
        if (semicolon == std::u16string::npos) break;
        const std::u16string_view candidate = std::u16string_view(out).substr(amp, semicolon - amp + 1);
        for (const auto& [reference, value] : kBasic) {
            if (candidate == reference) {
                out.replace(amp, candidate.size(), 1, value);
                break;
            }
        }
        from = amp + 1;
    }
    return out;
}

std::u16string decodePageText(std::u16string_view text, bool breaksToSpaces) {
    std::u16string out;
    out.reserve(text.size());
    bool ampersandPending = false;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (breaksToSpaces) {
                out += u' ';
                ampersandPending = false;  // the "&" it would join is no longer last
                if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            }
            ++i;
            continue;
        }
        if (c == u'\\') {
            ampersandPending = false;
            if (i + 1 < n) {
                const char16_t e = text[i + 1];
                if (e == u'n')
                    out += u"\r\n";
                else if (e == u't')
                    out += u'\t';
                else if (e != u'r')
                    out += e;
            }
            i += 2;
            continue;
        }
        if (c == u'&' || ampersandPending) {
            // Behind a decoded "&" the reference starts at that "&" (already in
            // the output) and its name at this character; only names count there.
            const bool continuing = c != u'&';
            std::size_t j = continuing ? i : i + 1;
            bool decimal = false;
            if (!continuing && j < n && text[j] == u'#') {
                decimal = true;
                ++j;
            }
            const std::size_t runStart = j;
            while (j < n && (decimal ? isAsciiDigit(text[j]) : isAsciiLetter(text[j]))) ++j;
            const std::size_t length = (continuing ? 1 : 0) + (j - i);
            if (j > runStart && j < n && text[j] == u';' && length <= kMaxReferenceLength) {
                const std::u16string_view run = text.substr(runStart, j - runStart);
                char16_t value;
                if (decimal) {
                    unsigned long number = 0;
                    for (char16_t d : run) number = (number * 10 + (d - u'0')) % 65536;
                    value = static_cast<char16_t>(number);
                } else {
                    value = lookupEntity(run).value_or(u'!');
                }
                if (continuing) out.pop_back();
                out += value;
                ampersandPending = value == u'&';
                i = j + 1;
                continue;
            }
            out += c;
            ampersandPending = false;
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}
