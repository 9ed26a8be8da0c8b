// Large pixel and index blocks kept for the next decode. A saver draws picture after
// picture of similar sizes; giving each large block back to the kernel and faulting a
// fresh one in for the next picture costs more than decoding small pictures does. The
// two largest blocks given back recently are kept, no more; they go back to the kernel
// when the process ends, when an allocation fails, or when releasePixelBlocks is called.
//
// Blocks come uninitialised: the decoders write every byte of them or zero the rest.
#pragma once

#include <cstddef>

namespace img_lib {

// Blocks smaller than this come from the heap and go straight back to it.
constexpr size_t kPooledBlockBytes = size_t(256) * 1024;

// A block of at least `bytes` bytes (its real size in `capacity`), uninitialised; null
// when the memory cannot be had even after the kept blocks were given back.
void* takePixelBlock(size_t bytes, size_t& capacity);
// Gives back a block from takePixelBlock with the capacity it reported; null is ignored.
void givePixelBlock(void* block, size_t capacity);
// Gives every kept block back to the kernel.
void releasePixelBlocks();
// How many blocks and bytes are kept at the moment.
size_t keptPixelBlocks(size_t* bytes = nullptr);

}  // namespace img_lib
