#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qx {

// Errors of the script language. EScriptError and its two descendants carry the
// position (1-based index into the script text, -1 when unknown) and a message
// that already holds it; ERTE and EStop are raised inside a function's work and
// are turned into an ERuntimeError at the position of the call that failed.
class EScriptError : public std::runtime_error {
public:
    EScriptError(const std::string& message, int32_t position)
        : std::runtime_error(message), position_(position) {}
    int32_t Position() const { return position_; }

private:
    int32_t position_;
};

class ESyntaxError : public EScriptError {
public:
    ESyntaxError(const std::string& inner, int32_t position)
        : EScriptError("Syntaxerror: " + inner + " [Position " + std::to_string(position) + "]",
                       position),
          inner_(inner) {}
    const std::string& Inner() const { return inner_; }

private:
    std::string inner_;
};

class ERuntimeError : public EScriptError {
public:
    ERuntimeError(const std::string& inner, int32_t position)
        : EScriptError("Runtimeerror: " + inner + " [Position " + std::to_string(position) + "]",
                       position),
          inner_(inner) {}
    const std::string& Inner() const { return inner_; }

private:
    std::string inner_;
};

// A failure inside a function's work; the message only.
class ERTE : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host asked the script to stop (or its call budget ran out).
class EStop : public std::exception {
public:
    const char* what() const noexcept override { return "Script stopped."; }
};

} // namespace qx
