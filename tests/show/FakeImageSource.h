// An image source for engine tests: hands out pictures of given sizes, or records
// without a picture, and counts what it handed out and what was freed.
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "foundation/lang/Object.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/MemorySettingsStore.h"
#include "show/ImageSourceProvider.h"

struct FakePicture {
    int width;
    int height;         // 0: a record without a picture, named "No images in system"
    bool core = false;  // a 12-byte core header with 16-bit sizes
    bool reducible = false;  // decoded at the drawing scale, as a JPEG is
};

// Every byte of a fake picture's pixels: it shows as grey 0x808080.
constexpr unsigned char FAKE_SHADE = 0x80;

class FakeImageSource : public torvik_lang::_Object, public _IImageDatabase {
public:
    std::deque<FakePicture> next;      // handed out in order; the last one repeats
    FakePicture fallback{400, 300};
    int handedOut = 0;
    // Runs as each picture decodes, before the decode's pause: what arrives meanwhile.
    std::function<void()> duringDecode;
    // The most pictures decoding at once.
    int deepest = 0;

    torvik_lang::_Ref<img_lib::_ImageInfo> getRandomImage() override;
    int getImageCount() override { return 1; }
};

// The application side of a test: a provider of the current source, a headless window
// system and a memory settings store, installed for the test's lifetime.
class EngineFixtureBase {
public:
    EngineFixtureBase();
    ~EngineFixtureBase();

    class Provider : public IImageSourceProvider {
    public:
        torvik_lang::_Ref<_IImageDatabase> source;
        torvik_lang::_Ref<_IImageDatabase> currentImageSource() override { return source; }
    };

    glimsel_headless::HeadlessWindowSystem ws;
    glimsel_headless::MemorySettingsStore store;
    Provider provider;
    torvik_lang::_Ref<FakeImageSource> fake;

    std::vector<glimsel_headless::DrawCall> calls(glimsel_headless::DrawCall::Kind kind) const;
};
