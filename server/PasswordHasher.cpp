#include "server/PasswordHasher.h"

#include <sodium.h>

#include <stdexcept>

namespace qx::lobby {

TPasswordHasher::TPasswordHasher(TCost cost) : Cost_(cost) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
}

std::string TPasswordHasher::Hash(const std::string& password) const {
    char out[crypto_pwhash_STRBYTES];
    const bool cheap = Cost_ == TCost::Minimum;
    if (crypto_pwhash_str(out, password.data(), password.size(),
                          cheap ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          cheap ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("the password could not be hashed (out of memory)");
    return out;
}

bool TPasswordHasher::Verify(const std::string& hash, const std::string& password) {
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

} // namespace qx::lobby
