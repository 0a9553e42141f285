#include "engine/NameGenerator.h"

#include <algorithm>
#include <cctype>

#include "base/Random.h"

namespace qx {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool ContainsText(const std::vector<std::string>& list, const std::string& s) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return SameText(e, s); });
}

} // namespace

const std::vector<std::string>& TNameGenerator::StarSystemSyllables() {
    static const std::vector<std::string> lines{
        "Ju-piter", "Sa-turn", "Ur-anus", "Nep-tune", "Tar-tarus", "Po-soiden", "Hec-ate", "O-din",
        "Lo-ki", "Heph-aestus", "Pol-aris", "Cyg-nus", "Ha-des", "Val-halla", "Hep-ton", "Rosa-nis",
        "Sig-ma", "Dor-ius", "Char-on", "Luc-ifer", "Bab-ylon", "Ely-sium", "Her-acles", "Per-sues",
        "Cen-tuari", "Gam-ma", "Ep-silon", "Eri-dani", "Tau--Ceti", "Odys-seus", "A-thena", "Ach-illes",
        "Perseph-one", "Meph-isto", "Art-emis", "Her-a", "The-seus", "Rom-ulus", "Re-mus"};
    return lines;
}

const std::vector<std::string>& TNameGenerator::BrainSyllables() {
    static const std::vector<std::string> lines{"Theo-phyllyx", "Magar-dacian", "Var-gon", "Luxe-cusian",
                                                "Vio-morte", "Sigma-macles", "Exet-atian", "Norma-nonics"};
    return lines;
}

void TNameGenerator::SetSyllables(const std::vector<std::string>& lines) {
    Syllables_ = lines;
    Prepared_ = false;
}

void TNameGenerator::Prepare() {
    Prepared_ = true;
    Prefixes_.clear();
    Suffixes_.clear();
    Used_.clear();
    for (const std::string& line : Syllables_) {
        const size_t at = Delimiter.empty() ? std::string::npos : line.find(Delimiter);
        const std::string prefix = line.substr(0, at);
        const std::string suffix = at == std::string::npos ? std::string() : line.substr(at + Delimiter.size());
        if (!ContainsText(Prefixes_, prefix)) Prefixes_.push_back(prefix);
        if (!ContainsText(Suffixes_, suffix)) Suffixes_.push_back(suffix);
    }
    Capacity_ = static_cast<int>(Prefixes_.size() * Suffixes_.size());
}

std::string TNameGenerator::NewName(TRandom& random) {
    if (!Prepared_) Prepare();
    if (Capacity_ == 0) return std::string();
    if (static_cast<int>(Used_.size()) >= Capacity_) Used_.clear();
    std::string name;
    do {
        name = Prefixes_[static_cast<size_t>(random.Random(static_cast<int32_t>(Prefixes_.size())))] +
               Suffixes_[static_cast<size_t>(random.Random(static_cast<int32_t>(Suffixes_.size())))];
    } while (ContainsText(Used_, name));
    Used_.push_back(name);
    return name;
}

} // namespace qx
