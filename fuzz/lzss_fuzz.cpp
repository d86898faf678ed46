// Fuzzes the LZSS decoder and encoder. Any packed bytes decode without a read or write
// outside the buffers, decoding in chunks gives the bytes of one call, and the output never
// exceeds what the packed bytes can produce. Any input, encoded, decodes back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "resources/lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // Two leading bytes choose the output wanted and the chunk size; the rest is packed data.
    const uint32_t wanted = 1 + ((uint32_t(data[0]) | uint32_t(data[1]) << 8) & 0x3FFF);
    const int32_t chunk = 1 + data[2] % 40;
    const uint8_t* packed = data + 3;
    const uint32_t packed_size = uint32_t(size - 3);

    std::vector<uint8_t> whole(wanted), chunked(wanted);
    static LzssDecoder one, parts;
    lzss_start(one, packed_size);
    int32_t n = lzss_decode_bytes(one, packed, whole.data(), int32_t(wanted));
    if (n < 0 || uint32_t(n) > wanted || one.consumed > packed_size) std::abort();
    if (uint64_t(n) > lzss_output_bound(one.consumed)) std::abort();

    lzss_start(parts, packed_size);
    int32_t got = 0;
    while (got < int32_t(wanted)) {
        int32_t want = chunk < int32_t(wanted) - got ? chunk : int32_t(wanted) - got;
        int32_t k = lzss_decode_bytes(parts, packed, chunked.data() + got, want);
        if (k < 0 || k > want) std::abort();
        if (k == 0) break;
        got += k;
    }
    if (got != n || std::memcmp(whole.data(), chunked.data(), size_t(n)) != 0) std::abort();

    // The encoder on the same bytes: decodes back exactly and stays within its bound.
    std::vector<uint8_t> encoded(lzss_encode_bound(size));
    int64_t e = lzss_encode(data, size, encoded.data(), encoded.size());
    if (e <= 0 || size_t(e) > encoded.size()) std::abort();
    std::vector<uint8_t> back(size);
    static LzssDecoder check;
    lzss_start(check, uint32_t(e));
    if (lzss_decode_bytes(check, encoded.data(), back.data(), int32_t(size)) != int32_t(size)) std::abort();
    if (std::memcmp(back.data(), data, size) != 0 || check.consumed != uint64_t(e)) std::abort();
    return 0;
}
