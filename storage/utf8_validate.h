#pragma once

// The validators behind utf8::ValidPrefixLength, for the codec and its tests.
#include <cstddef>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PRAXORA_UTF8_X86 1
#else
#define PRAXORA_UTF8_X86 0
#endif

namespace praxora::utf8::detail {

using Validator = std::size_t (*)(const char* data, std::size_t size) noexcept;

// Byte by byte; the reference the vector validators must agree with on every input.
std::size_t ValidPrefixLengthScalar(const char* data, std::size_t size) noexcept;

struct NamedValidator {
    const char* name;
    Validator validate;
};

// The vector validators this CPU can run, fastest first; empty where there are none.
std::vector<NamedValidator> VectorValidators();

// What ValidPrefixLength uses: the fastest this CPU can run.
Validator FastestValidator() noexcept;

}  // namespace praxora::utf8::detail
