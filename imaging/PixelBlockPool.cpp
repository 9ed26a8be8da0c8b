#include "imaging/PixelBlockPool.h"

#include <cstdlib>
#include <mutex>

namespace img_lib {

namespace {

constexpr int kKept = 2;

struct Kept {
    void* block = nullptr;
    size_t capacity = 0;
};

// The process's kept blocks; decoding runs on one thread, the lock only guards against
// a second one.
// Constant-initialised and never destroyed, so a record freed during the process's own
// end still finds it; the kept blocks are given back by releaseAtExit below.
class Pool {
public:
    void* take(size_t bytes, size_t& capacity) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            // The smallest kept block that holds the request.
            int best = -1;
            for (int i = 0; i < kKept; ++i) {
                if (kept[i].block && kept[i].capacity >= bytes &&
                    (best < 0 || kept[i].capacity < kept[best].capacity)) {
                    best = i;
                }
            }
            if (best >= 0) {
                void* block = kept[best].block;
                capacity = kept[best].capacity;
                kept[best] = Kept{};
                return block;
            }
        }
        void* block = std::malloc(bytes ? bytes : 1);
        if (!block) {
            // Memory is tight: what is kept goes first.
            release();
            block = std::malloc(bytes ? bytes : 1);
        }
        capacity = block ? bytes : 0;
        return block;
    }

    void give(void* block, size_t capacity) {
        if (!block) return;
        if (capacity < kPooledBlockBytes) {
            std::free(block);
            return;
        }
        void* drop = block;
        {
            std::lock_guard<std::mutex> lock(mutex);
            // Keep the block in a free place, or in place of a smaller kept one.
            int smallest = 0;
            for (int i = 1; i < kKept; ++i) {
                if (kept[i].capacity < kept[smallest].capacity) smallest = i;
            }
            if (!kept[smallest].block || kept[smallest].capacity < capacity) {
                drop = kept[smallest].block;
                kept[smallest] = Kept{block, capacity};
            }
        }
        std::free(drop);
    }

    void release() {
        Kept gone[kKept];
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (int i = 0; i < kKept; ++i) {
                gone[i] = kept[i];
                kept[i] = Kept{};
            }
        }
        for (const Kept& k : gone) std::free(k.block);
    }

    size_t count(size_t* bytes) {
        std::lock_guard<std::mutex> lock(mutex);
        size_t n = 0, total = 0;
        for (const Kept& k : kept) {
            if (k.block) {
                ++n;
                total += k.capacity;
            }
        }
        if (bytes) *bytes = total;
        return n;
    }

private:
    std::mutex mutex;
    Kept kept[kKept];
};

Pool thePool;

Pool& pool() { return thePool; }

struct ReleaseAtExit {
    ~ReleaseAtExit() { thePool.release(); }
} releaseAtExit;

}  // namespace

void* takePixelBlock(size_t bytes, size_t& capacity) { return pool().take(bytes, capacity); }

void givePixelBlock(void* block, size_t capacity) { pool().give(block, capacity); }

void releasePixelBlocks() { pool().release(); }

size_t keptPixelBlocks(size_t* bytes) { return pool().count(bytes); }

}  // namespace img_lib
