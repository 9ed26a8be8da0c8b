#include "tests/show/FakeImageSource.h"

#include <algorithm>
#include <cstring>

#include "foundation/lang/Memory.h"
#include "imaging/DecodePauses.h"

using torvik_lang::_Ref;
using torvik_lang::osAlloc;

_Ref<img_lib::_ImageInfo> FakeImageSource::getRandomImage() {
    FakePicture p = fallback;
    if (!next.empty()) {
        p = next.front();
        if (next.size() > 1) next.pop_front();
    }
    ++handedOut;
    // Decodes like a decoder: with a pause that may answer input or give the picture up.
    static int depth = 0;
    struct Depth {
        explicit Depth(int& d) : d(d) { ++d; }
        ~Depth() { --d; }
        int& d;
    } nested(depth);
    deepest = std::max(deepest, depth);
    if (duringDecode) duringDecode();
    if (!img_lib::DecodePauseScope::mayGoOn()) throw img_lib::DecodeCancelled();
    _Ref<img_lib::_ImageInfo> record = new img_lib::_ImageInfo();
    if (p.height == 0) {
        record->init("No images in system", img_lib::IMAGE_JPEG);
        return record;
    }
    record->init("fake", img_lib::IMAGE_JPEG);
    if (p.reducible) {
        const int d = img_lib::DrawScaleScope::reductionFor(img_lib::DrawScaleScope::current());
        if (d > 1) {
            record->reducedFromWidth = p.width;
            record->reducedFromHeight = p.height;
            p.width = (p.width + d - 1) / d;
            p.height = (p.height + d - 1) / d;
        }
    }
    record->info = img_lib::makeDibHeader(0);
    if (p.core) {
        BITMAPCOREHEADER core{12, static_cast<WORD>(p.width), static_cast<WORD>(p.height), 1, 24};
        std::memcpy(record->info, &core, sizeof core);
    } else {
        record->info->bmiHeader.biWidth = p.width;
        record->info->bmiHeader.biHeight = -p.height;
    }
    uint32_t stride = (static_cast<uint32_t>(p.width) * 3 + 3) & ~3u;
    record->bits = static_cast<unsigned char*>(osAlloc(stride * static_cast<uint32_t>(p.height)));
    record->infoBytes = 44;
    record->bitsBytes = stride * static_cast<uint32_t>(p.height);
    std::memset(record->bits, FAKE_SHADE, record->bitsBytes);
    return record;
}

EngineFixtureBase::EngineFixtureBase() : fake(new FakeImageSource()) {
    glimsel_ui::WindowSystem::install(&ws);
    glimsel_settings::installSettingsStore(&store);
    provider.source = fake;
}

EngineFixtureBase::~EngineFixtureBase() {
    glimsel_ui::WindowSystem::install(nullptr);
    glimsel_settings::installSettingsStore(nullptr);
}

std::vector<glimsel_headless::DrawCall> EngineFixtureBase::calls(glimsel_headless::DrawCall::Kind kind) const {
    std::vector<glimsel_headless::DrawCall> result;
    for (const auto& c : ws.drawLog) {
        if (c.kind == kind) result.push_back(c);
    }
    return result;
}
