// Locale services of the fake: the user LCID, case mapping and an approximation of the Windows
// collation for 8-bit text.
//
// CompareStringA reads the bytes as code page 1252 characters and weighs them as Windows does,
// level by level: first the base characters (symbols before digits before letters, accented
// letters with their base letter, ligatures as two letters), then the accents, then the letter
// case (small before capital) unless NORM_IGNORECASE. Without SORT_STRINGSORT, hyphens and
// apostrophes are left out of those levels and only break ties (word sort). NUL and the soft
// hyphen carry no weight at all. The orders below are those the real CompareStringA gives.
#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

// NORM_IGNORENONSPACE: accents and other marks do not count.
constexpr uint32_t kNormIgnoreNonSpace = 0x2;

struct Weight {
    int primary;
    int secondary;
    int tertiary;
};

struct Special {
    size_t position;
    int weight;
};

// Symbols, in collation order. 0x88 (modifier circumflex) weighs as '^'.
const unsigned char kSymbols[] = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14,
    0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F, 0x27, 0x2D, 0x96,
    0x97, 0x20, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0xA0, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x28,
    0x29, 0x2A, 0x2C, 0x2E, 0x2F, 0x3A, 0x3B, 0x3F, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60,
    0x7B, 0x7C, 0x7D, 0x7E, 0xA1, 0xA6, 0xA8, 0xAF, 0xB4, 0xB8, 0xBF, 0x98, 0x91, 0x92, 0x82,
    0x93, 0x94, 0x84, 0x8B, 0x9B, 0xA2, 0xA3, 0xA4, 0xA5, 0x80, 0x2B, 0x3C, 0x3D, 0x3E, 0xB1,
    0xAB, 0xBB, 0xD7, 0xF7, 0xA7, 0xA9, 0xAC, 0xAE, 0xB0, 0xB5, 0xB6, 0xB7, 0x85, 0x86, 0x87,
    0x95, 0x89, 0x81, 0x8D, 0x8F, 0x90, 0x9D};

// Small letters of each base letter, the base first, then its accented forms in order.
const char* const kLetters[26] = {
    "a\xAA\xE1\xE0\xE2\xE4\xE3\xE5", "b", "c\xE7", "d\xF0", "e\xE9\xE8\xEA\xEB", "f\x83", "g",
    "h", "i\xED\xEC\xEE\xEF", "j", "k", "l", "m", "n\xF1",
    "o\xBA\xF3\xF2\xF4\xF6\xF5\xF8", "p", "q", "r", "s\x9A", "t", "u\xFA\xF9\xFB\xFC", "v",
    "w", "x", "y\xFD\xFF", "z\x9E"};

constexpr int kSymbolBase = 0x100;
constexpr int kDigitBase = 0x400;
constexpr int kLetterBase = 0x800;

struct Table {
    // Per byte: up to two weights (ligatures expand), 0 elements for bytes without weight.
    Weight weights[256][2];
    int count[256];
    bool special[256];

    Table() {
        for (int b = 0; b < 256; ++b) {
            count[b] = 0;
            special[b] = false;
        }
        int rank = 0;
        for (unsigned char b : kSymbols) Set(b, {kSymbolBase + rank++, 0, 0});
        Set(0x88, weights[0x5E][0]);
        for (unsigned char b : {0x27, 0x2D, 0x96, 0x97}) special[b] = true;

        const unsigned char digits[] = {'0', 0xBC, 0xBD, 0xBE, '1', '2', '3', '4', '5', '6',
                                        '7', '8', '9'};
        rank = 0;
        for (unsigned char b : digits) Set(b, {kDigitBase + rank++, 0, 0});
        Set(0xB9, {weights['1'][0].primary, 1, 0});
        Set(0xB2, {weights['2'][0].primary, 1, 0});
        Set(0xB3, {weights['3'][0].primary, 1, 0});

        for (int letter = 0; letter < 26; ++letter) {
            const char* forms = kLetters[letter];
            for (int accent = 0; forms[accent]; ++accent) {
                unsigned char small = static_cast<unsigned char>(forms[accent]);
                Weight w{kLetterBase + letter * 4, accent, 0};
                Set(small, w);
                int capital = Capital(small);
                if (capital) Set(capital, {w.primary, w.secondary, 1});
            }
        }
        Ligature(0xE6, 'a', 'e', 0, 0);
        Ligature(0xC6, 'a', 'e', 0, 1);
        Ligature(0x9C, 'o', 'e', 0, 0);
        Ligature(0x8C, 'o', 'e', 0, 1);
        Ligature(0xDF, 's', 's', 0, 0);
        Ligature(0xFE, 't', 'h', 0, 0);
        Ligature(0xDE, 't', 'h', 0, 1);
        Ligature(0x99, 't', 'm', 1, 0);
    }

    static int Capital(unsigned char small) {
        if (small >= 'a' && small <= 'z') return small - 0x20;
        if (small >= 0xE0 && small <= 0xFE && small != 0xF7) return small - 0x20;
        switch (small) {
            case 0x9A: return 0x8A;
            case 0x9C: return 0x8C;
            case 0x9E: return 0x8E;
            case 0xFF: return 0x9F;
            default: return 0;
        }
    }

    void Set(unsigned char b, Weight w) {
        weights[b][0] = w;
        count[b] = 1;
    }

    void Ligature(unsigned char b, char first, char second, int secondary, int tertiary) {
        weights[b][0] = {weights[static_cast<unsigned char>(first)][0].primary, secondary, tertiary};
        weights[b][1] = {weights[static_cast<unsigned char>(second)][0].primary, secondary, tertiary};
        count[b] = 2;
    }
};

const Table& Weights() {
    static const Table table;
    return table;
}

void Weigh(const std::string& text, uint32_t flags, std::vector<Weight>* out,
           std::vector<Special>* specials) {
    const Table& table = Weights();
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (table.special[b] && !(flags & kSortStringSort)) {
            specials->push_back({i, table.weights[b][0].primary});
            continue;
        }
        for (int k = 0; k < table.count[b]; ++k) {
            const Weight& w = table.weights[b][k];
            if ((flags & 0x4) && w.primary < kDigitBase) continue;  // NORM_IGNORESYMBOLS
            out->push_back(w);
        }
    }
}

template <typename Field>
int CompareLevel(const std::vector<Weight>& a, const std::vector<Weight>& b, Field field) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = field(a[i]), y = field(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

// Word sort: a hyphen or apostrophe nearer the front makes the text greater.
int CompareSpecials(const std::vector<Special>& a, const std::vector<Special>& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i].position != b[i].position) return a[i].position < b[i].position ? 1 : -1;
        if (a[i].weight != b[i].weight) return a[i].weight < b[i].weight ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

// A weight (below 0x4000) as two bytes of seven bits each, both above the end mark of a level
// (1): a shorter level that is the start of a longer one then sorts first, as CompareLevel has it.
void AppendWeight(std::string* key, int weight) {
    key->push_back(static_cast<char>(2 + (weight >> 7)));
    key->push_back(static_cast<char>(2 + (weight & 0x7F)));
}

}  // namespace

uint32_t GetUserDefaultLCID() { return M().lcid; }

Wide LCMapStringW(uint32_t locale, uint32_t flags, const Wide& text) {
    bool upper = flags & kLcmapUppercase, lower = flags & kLcmapLowercase;
    if (upper && lower) {
        Fail(1004);  // ERROR_INVALID_FLAGS
        return Wide();
    }
    Wide result(text);
    for (auto& c : result) c = upper ? UpperUnit(c) : lower ? LowerUnit(c) : c;
    return result;
}

int CompareStringA(uint32_t locale, uint32_t flags, const std::string& a, const std::string& b) {
    ++M().collations;
    std::vector<Weight> wa, wb;
    std::vector<Special> sa, sb;
    Weigh(a, flags, &wa, &sa);
    Weigh(b, flags, &wb, &sb);
    int result = CompareLevel(wa, wb, [](const Weight& w) { return w.primary; });
    if (result == 0 && !(flags & kNormIgnoreNonSpace)) {
        result = CompareLevel(wa, wb, [](const Weight& w) { return w.secondary; });
    }
    if (result == 0 && !(flags & kNormIgnoreCase)) {
        result = CompareLevel(wa, wb, [](const Weight& w) { return w.tertiary; });
    }
    if (result == 0) result = CompareSpecials(sa, sb);
    return result < 0 ? kCstrLessThan : result > 0 ? kCstrGreaterThan : kCstrEqual;
}

// The levels CompareStringA compares, one after another, each closed by its end mark; then the
// hyphens and apostrophes of a word sort, nearer the front greater.
std::string SortKeyA(uint32_t, uint32_t flags, const std::string& text) {
    ++M().sortKeys;
    if (text.empty()) return std::string();
    std::vector<Weight> weights;
    std::vector<Special> specials;
    Weigh(text, flags, &weights, &specials);
    std::string key;
    for (const Weight& w : weights) AppendWeight(&key, w.primary);
    key.push_back(1);
    if (!(flags & kNormIgnoreNonSpace)) {
        for (const Weight& w : weights) AppendWeight(&key, w.secondary);
        key.push_back(1);
    }
    if (!(flags & kNormIgnoreCase)) {
        for (const Weight& w : weights) AppendWeight(&key, w.tertiary);
        key.push_back(1);
    }
    for (const Special& s : specials) {
        AppendWeight(&key, 0x3FFF - static_cast<int>(s.position));
        AppendWeight(&key, s.weight);
    }
    key.push_back(1);
    return key;
}

}  // namespace plat

namespace fake {

void SetUserLCID(uint32_t lcid) { detail::M().lcid = lcid; }

int CollationCount() { return detail::M().collations; }

int SortKeyCount() { return detail::M().sortKeys; }

}  // namespace fake
