#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "imaging/DecodePauses.h"
#include "tests/imaging/GifTestKit.h"
#include "tests/imaging/JpegSamples.h"
#include "tests/imaging/PngSamples.h"

using namespace img_lib;
using Bytes = std::vector<uint8_t>;

namespace {

struct Sample {
    const char* name;
    Bytes bytes;
    ImageType type;
};

Bytes noisyGif(uint16_t width, uint16_t height) {
    giftest::ImageSetup image;
    image.width = width;
    image.height = height;
    image.minCodeSize = 8;
    uint32_t seed = 1;
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245 + 12345;
        image.indices.push_back(static_cast<uint8_t>(seed >> 24));
    }
    return giftest::GifBuilder(width, height, 0x87).image(image).finish();
}

const std::vector<Sample>& samples() {
    static const jpeg_samples::Picture photo = jpeg_samples::photoLike(300, 200);
    static const jpeg_samples::Options progressive = [] {
        jpeg_samples::Options o;
        o.progressive = true;
        return o;
    }();
    static const std::vector<Sample> all = {{"baseline JPEG", jpeg_samples::encode(photo), IMAGE_JPEG},
            {"progressive JPEG", jpeg_samples::encode(photo, progressive), IMAGE_JPEG},
            {"PNG", png_samples::encode(png_samples::filled(300, 200, 2, {10, 200, 30})), IMAGE_PNG},
            {"GIF", noisyGif(300, 200), IMAGE_GIF}};
    return all;
}

_Ref<_ImageInfo> decode(const Sample& s) {
    return loadImage(s.bytes.data(), static_cast<int>(s.bytes.size()), s.type, s.name);
}

// A pause that runs `during` each time and answers `goOn`.
struct Pauses {
    std::function<void()> during = [] {};
    bool goOn = true;
    int count = 0;
    static bool pause(void* self) {
        auto& p = *static_cast<Pauses*>(self);
        ++p.count;
        p.during();
        return p.goOn;
    }
};

}  // namespace

TEST(DecodePauses, PausedDecodesGiveTheSamePictureAndGiveUpOnRequest) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        _Ref<_ImageInfo> plain = decode(s);

        Pauses going;
        std::string nested;
        // A picture asked for inside a pause is never paused itself; the JPEG decoder,
        // whose structures are in use, refuses it; the others have none shared.
        going.during = [&] {
            try {
                decode(samples()[0]);
                nested = "decoded";
            } catch (ImageException& e) {
                nested = e.getMessage()->c_str();
            }
        };
        {
            DecodePauseScope scope(0, Pauses::pause, &going);
            _Ref<_ImageInfo> paused = decode(s);
            ASSERT_EQ(paused->bitsBytes, plain->bitsBytes);
            EXPECT_EQ(0, std::memcmp(paused->bits, plain->bits, plain->bitsBytes));
        }
        EXPECT_GT(going.count, 1);
        EXPECT_EQ(nested, s.type == IMAGE_JPEG ? "JPEG decoder busy" : "decoded");

        Pauses givingUp;
        givingUp.goOn = false;
        {
            DecodePauseScope scope(0, Pauses::pause, &givingUp);
            EXPECT_THROW(decode(s), DecodeCancelled);
        }
        EXPECT_EQ(givingUp.count, 1);
        // The decoder is ready for the next picture.
        _Ref<_ImageInfo> after = decode(s);
        EXPECT_EQ(0, std::memcmp(after->bits, plain->bits, plain->bitsBytes));
    }
}

TEST(DecodePauses, PauseWaitsForItsTime) {
    Pauses counted;
    DecodePauseScope scope(60000, Pauses::pause, &counted);
    decode(samples()[1]);
    EXPECT_EQ(counted.count, 0);
}
