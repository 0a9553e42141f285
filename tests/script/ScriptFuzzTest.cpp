#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Feed(const std::string& text) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Scripts that reach every statement and most built-ins; the mutations below
// take them apart and splice them together.
const std::vector<std::string> kSeeds = {
    "const A = 2; const B = A * 3; x := B + 1; s := 'it''s'#13#10;",
    "n := 0; for i := 10 downto 1 do n := n + i; while n > 0 do dec(n, 7);",
    "SetArray(a, 5); for i := 0 to 4 do a[i] := i * i; b := a[2] + a[3]; SetArray(a, 2);",
    "repeat inc(k) until k >= 3; if k = 3 then s := 'ok' else s := 'no';",
    "s := format('%d items %s %5.2f', 5, 'x', 2.5); t := formatdatetime('yyyy-mm-dd', 45000.5);",
    "x := copy('abcdef', 2, 3); insert('q', x, 2); delete(x, 1, 1); p := pos('c', x); l := length(x);",
    "f := 7 / 2; r := Round(f); t := Trunc(-f); g := Int(f) + Frac(f); h := StrToInt('12') div 5 mod 3;",
    "b := (1 < 2) and not (3 >= 4) or ('a' <> 'b') xor FALSE; c := -(-5) * +3; y := Type(b) = tBOOLEAN;",
    "begin { block } x := $FF; y := #65; // comment\r\n z := 1.5e-3 end;",
};

TEST(ScriptFuzz, SeedsRunCleanly) {
    for (const auto& seed : kSeeds) EXPECT_EQ(Feed(seed), 0) << seed;
}

TEST(ScriptFuzz, RandomAndMutatedInputsNeverEscapeAsAnythingButScriptErrors) {
    // QX_FUZZ_ITERATIONS and QX_FUZZ_SEED let a longer hunt run the same code.
    const char* iterationsText = std::getenv("QX_FUZZ_ITERATIONS");
    const char* seedText = std::getenv("QX_FUZZ_SEED");
    const long iterations = iterationsText ? std::atol(iterationsText) : 4000;
    std::mt19937 rng(seedText ? static_cast<uint32_t>(std::atol(seedText)) : 20261206u);
    const std::string alphabet = "abcxyzAB01239 \r\n\t;:=+-*/()[]<>'#${}.,_";
    const std::vector<std::string> words = {"begin", "end", "if", "then", "else", "while", "do", "repeat",
                                            "until", "for", "to", "downto", "const", "div", "mod", "and",
                                            "not", "SetArray", "inc", "format", "copy", "Round", ":=", "(",
                                            ")", "[", "]", ";", "'", "#", "$", "{", "}", "//", "-", "2147483647"};
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (long iteration = 0; iteration < iterations; ++iteration) {
        std::string text;
        switch (iteration % 4) {
        case 0:  // random bytes of every value
            for (size_t i = 0, n = pick(64); i < n; ++i) text += static_cast<char>(rng() & 0xFF);
            break;
        case 1:  // random characters of the language
            for (size_t i = 0, n = pick(80); i < n; ++i) text += alphabet[pick(alphabet.size())];
            break;
        case 2: {  // a seed with bytes flipped, dropped or repeated
            text = kSeeds[pick(kSeeds.size())];
            for (int m = 0, n = 1 + static_cast<int>(pick(4)); m < n && !text.empty(); ++m) {
                const size_t at = pick(text.size());
                switch (pick(3)) {
                case 0: text[at] = alphabet[pick(alphabet.size())]; break;
                case 1: text.erase(at, 1 + pick(5)); break;
                default: text.insert(at, text.substr(at, pick(12))); break;
                }
            }
            break;
        }
        default:  // words of the language strung together
            for (size_t i = 0, n = pick(30); i < n; ++i) text += words[pick(words.size())] + " ";
            break;
        }
        ASSERT_NO_THROW(Feed(text)) << "input: " << text;
    }
}

} // namespace
