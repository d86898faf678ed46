// LZSS: the encoder's output decodes back exactly, the decoder carries its state between
// calls and never reads past the packed size.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "archive_fixture.h"
#include "resources/lzss.h"

namespace {

struct RoundTripCase {
    const char* what;
    Bytes data;
};

std::vector<RoundTripCase> round_trip_cases() {
    std::vector<RoundTripCase> cases = {
        {"empty", {}},
        {"one byte", {42}},
        {"two bytes", {1, 2}},
        {"a run of 17", Bytes(17, 'x')},
        {"a run of 18", Bytes(18, 'x')},
        {"a run of 19", Bytes(19, 'x')},
        {"spaces, as the ring starts", Bytes(5000, ' ')},
        {"one byte value, many rings long", Bytes(50000, 0)},
        {"text", sample_text(30000, 1)},
        {"bitmap", sample_bitmap(320, 200, 2)},
        {"noise", sample_noise(20000, 3)},
        {"ring wrap", concat({sample_text(4096 * 3 + 5, 4), sample_noise(77, 5), sample_text(4095, 6)})},
    };
    Bytes periodic;
    for (int i = 0; i < 20000; i++) periodic.push_back(uint8_t(i % 4093));  // matches far back in the ring
    cases.push_back({"period near the ring size", periodic});
    for (size_t n : {3u, 16u, 20u, 4077u, 4078u, 4079u, 4096u, 4114u})
        cases.push_back({"size class", sample_text(n, uint32_t(n))});
    return cases;
}

class LzssRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(LzssRoundTrip, DecodesBackExactly) {
    const Bytes& data = GetParam().data;
    Bytes packed = lzss_pack(data);
    if (!data.empty()) {
        ASSERT_FALSE(packed.empty());
    }
    EXPECT_LE(packed.size(), lzss_encode_bound(data.size()));
    EXPECT_GE(lzss_output_bound(packed.size()), data.size());
    EXPECT_EQ(lzss_unpack(packed, uint32_t(data.size())), data);

    // Every packed byte is used: decoding on asks for the next item and finds no more.
    LzssDecoder d;
    lzss_start(d, uint32_t(packed.size()));
    Bytes out(data.size() + 100);
    EXPECT_EQ(lzss_decode_bytes(d, packed.data(), out.data(), int32_t(out.size())), int32_t(data.size()));
    EXPECT_EQ(d.consumed, packed.size());
}

INSTANTIATE_TEST_SUITE_P(Lzss, LzssRoundTrip, testing::ValuesIn(round_trip_cases()));

TEST(Lzss, LeadingSpacesMatchThePresetRing) {
    Bytes packed = lzss_pack(Bytes(18, ' '));
    EXPECT_EQ(packed.size(), 3u) << "one flag byte and one 18-byte match";
    EXPECT_EQ(packed[0], 0);
    EXPECT_EQ(packed[2] & 0x0F, 15);
}

TEST(Lzss, RepeatsBecomeMatches) {
    Bytes text = bytes_of("ABCDABCDABCDABCD");
    Bytes packed = lzss_pack(text);
    // Four literals and one match of 12, all in one group.
    EXPECT_EQ(packed.size(), 1u + 4 + 2);
    EXPECT_EQ(packed[0], 0x0F);
    EXPECT_EQ(packed[5] | ((packed[6] & 0xF0) << 4), lzss_ring_start);
    EXPECT_EQ((packed[6] & 0x0F) + 3, 12);
}

TEST(Lzss, ChunkedDecodingEqualsOneCall) {
    Bytes data = concat({sample_bitmap(64, 64, 7), sample_text(3000, 8)});
    Bytes packed = lzss_pack(data);
    for (int chunk = 1; chunk <= 40; chunk++) {
        LzssDecoder d;
        lzss_start(d, uint32_t(packed.size()));
        Bytes out;
        Bytes buffer(static_cast<size_t>(chunk));
        while (int32_t n = lzss_decode_bytes(d, packed.data(), buffer.data(), chunk)) out.insert(out.end(), buffer.begin(), buffer.begin() + n);
        EXPECT_EQ(out, data) << "chunks of " << chunk;
    }
}

TEST(Lzss, StopsInsideAMatchAndFinishesItNext) {
    Bytes packed = {0x01, 'A', 0xEE, 0xF2};  // 'A', then a match of 5 at 4078
    LzssDecoder d;
    lzss_start(d, 4);
    uint8_t out[8] = {};
    EXPECT_EQ(lzss_decode_bytes(d, packed.data(), out, 3), 3);
    EXPECT_EQ(d.match_length, 5u);
    EXPECT_EQ(d.match_copied, 2u);
    EXPECT_EQ(lzss_decode_bytes(d, packed.data(), out + 3, 8), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "AAAAAA");
}

TEST(Lzss, NeverReadsPastThePackedSize) {
    struct Case {
        const char* what;
        Bytes packed;
        uint32_t packed_size;
        std::string expect;
    } cases[] = {
        {"nothing", {0xFF, 'a'}, 0, ""},
        {"flag byte only", {0xFF, 'a'}, 1, ""},
        {"literals up to the limit", {0xFF, 'a', 'b', 'c'}, 3, "ab"},
        {"half a match", {0x00, 0xEE, 0xF2}, 2, ""},
        {"a match, a literal on the limit", {0x02, 0x20, 0x00, 'z', 'q'}, 4, "   z"},
    };
    for (const Case& c : cases) {
        LzssDecoder d;
        lzss_start(d, c.packed_size);
        uint8_t out[64];
        int32_t n = lzss_decode_bytes(d, c.packed.data(), out, 64);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size_t(n)), c.expect) << c.what;
        EXPECT_LE(d.consumed, c.packed_size) << c.what;
        EXPECT_EQ(lzss_decode_bytes(d, c.packed.data(), out, 64), 0) << c.what << ": the end is for good";
    }
}

TEST(Lzss, FileInputEqualsMemoryInputAndStopsAtTheEndOfTheFile) {
    Bytes data = sample_text(10000, 11);
    Bytes packed = lzss_pack(data);
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(packed.data(), 1, packed.size() / 2, f);  // the file ends inside the data
    std::rewind(f);
    LzssDecoder d;
    lzss_start(d, uint32_t(packed.size()));
    Bytes out(data.size());
    int32_t n = lzss_decode(d, f, out.data(), int32_t(out.size()));
    std::fclose(f);
    out.resize(size_t(n));
    EXPECT_EQ(out, lzss_unpack(Bytes(packed.begin(), packed.begin() + long(packed.size() / 2)), uint32_t(data.size())));
    EXPECT_GT(n, 0);
    EXPECT_LT(size_t(n), data.size());
}

TEST(Lzss, OutputBound) {
    struct { uint64_t packed, bound; } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 18}, {4, 19}, {16, 127}, {17, 144}, {18, 144}, {19, 145}, {20, 162}, {34, 288}};
    for (auto& c : cases) EXPECT_EQ(lzss_output_bound(c.packed), c.bound) << c.packed;
}

TEST(Lzss, EncoderRefusesASmallBuffer) {
    Bytes data = sample_noise(1000, 12);
    Bytes out(100);
    EXPECT_EQ(lzss_encode(data.data(), data.size(), out.data(), out.size()), -1);
    out.resize(lzss_encode_bound(data.size()));
    EXPECT_GT(lzss_encode(data.data(), data.size(), out.data(), out.size()), 0);
}

}  // namespace
