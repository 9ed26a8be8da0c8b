// What decoding one picture may cost. A picture is refused before the work starts when
// the memory it needs, the libraries' own buffers included, is over the budget, and cut
// off when it asks for far more work than its pixels are worth. Ordinary large photos
// (24 megapixels, progressive ones too) fit well inside both.
#pragma once

#include <cstdint>

namespace img_lib {

// Bytes one decode may hold at once: pixel rows, index buffers and every buffer of
// the JPEG library.
constexpr uint64_t kDecodeMemoryBudget = 240'000'000;

// Throws ImageException "picture too large: W×H needs N MB" (or GB).
[[noreturn]] void refuseTooLarge(uint64_t width, uint64_t height, uint64_t bytes);

// Throws ImageException "picture needs too much work: " followed by `what`.
[[noreturn]] void refuseTooMuchWork(const char* what);

// `bytes` as a short decimal size: "950 KB", "262 MB", "1.2 GB".
void formatByteSize(uint64_t bytes, char* out, unsigned outSize);

}  // namespace img_lib
