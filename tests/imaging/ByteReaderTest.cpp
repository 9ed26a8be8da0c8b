#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "imaging/ByteReader.h"
#include "tests/kit/ImageOutcome.h"

using namespace img_lib;

TEST(ByteReader, ReadsLittleEndianFieldsAndThrowsItsOwnMessagePastTheEnd) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0xFF};
    const ByteReader in(bytes, sizeof bytes, "cut short");
    EXPECT_EQ(in.u8(4), 0xFF);
    EXPECT_EQ(in.u16(0), 0x0201);
    EXPECT_EQ(in.u24(2), 0xFF0403u);
    EXPECT_EQ(in.u32(0), 0x04030201u);
    EXPECT_EQ(in.i32(1), static_cast<int32_t>(0xFF040302u));
    EXPECT_TRUE(in.contains(5, 0));
    EXPECT_FALSE(in.contains(UINT64_MAX, 2));
    EXPECT_FALSE(in.contains(2, UINT64_MAX));

    const std::function<void()> pastTheEnd[] = {
        [&] { in.u8(5); },          [&] { in.u16(4); },          [&] { in.u32(2); },
        [&] { in.u32(UINT64_MAX); }, [&] { in.require(1, 5); },   [&] { in.fail(); },
        [] { ByteReader(nullptr, 8, "cut short").u8(0); },  // no bytes: nothing to read
    };
    for (const auto& read : pastTheEnd) EXPECT_EQ(testkit::outcome(read), "cut short");
}
