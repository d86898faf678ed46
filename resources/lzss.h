// LZSS coding of resource archive entries (and saved games): a 4096-byte ring preset to
// spaces with its write position at 4078, groups of eight items led by a flag byte whose bits
// are used from the least significant up (1 = literal byte, 0 = match), and matches of 3 to
// 18 bytes given by an absolute ring position (12 bits) and a length (4 bits).
//
// The decoder carries its whole state between calls: a call returns as soon as the bytes
// wanted are produced, even inside a match, and the next call finishes that match first. It
// never takes more than the entry's packed size from its input, and the end of the input
// ends the decoding for good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int lzss_ring_size = 4096;
constexpr int lzss_max_match = 18;      // longest match
constexpr int lzss_min_match = 3;       // shortest match
constexpr int lzss_ring_start = 4078;   // write position of a fresh ring (ring size - longest match)

struct LzssDecoder {
    uint8_t ring[lzss_ring_size];
    uint32_t write_position;   // 0..4095
    uint32_t flags;            // bits of the current group above a marker; bit 8 clear = read a flag byte
    uint32_t match_position;   // ring position of the match under way
    uint32_t match_length;     // 0 = no match under way
    uint32_t match_copied;     // bytes of it already produced
    uint32_t consumed;         // packed bytes taken from the input
    uint32_t packed_size;      // packed bytes of the entry being read
    bool ended;                // the packed data ran out: nothing more is produced
};

// Starts afresh for an entry of `packed_size` bytes: ring positions 0..4077 spaces, write
// position 4078, no group, no match, nothing consumed.
void lzss_start(LzssDecoder& decoder, uint32_t packed_size);

// Decodes up to `wanted` bytes into `dest`, reading packed bytes one at a time from the
// buffered file at its current position. Answers the bytes produced.
int32_t lzss_decode(LzssDecoder& decoder, FILE* input, uint8_t* dest, int32_t wanted);

// The same from packed bytes in memory; `packed` holds the decoder's packed_size bytes.
int32_t lzss_decode_bytes(LzssDecoder& decoder, const uint8_t* packed, uint8_t* dest, int32_t wanted);

// The most bytes that `packed_size` packed bytes can decode to (every item an 18-byte match):
// an unpacked size read from a file is never trusted beyond it.
uint64_t lzss_output_bound(uint64_t packed_size);

// Packed size of the worst case (every item a literal): size + one flag byte per 8 bytes.
size_t lzss_encode_bound(size_t size);

// Encodes `size` bytes with the binary-tree match finder into `dest`. Answers the packed size,
// or -1 when `capacity` is too small or memory ran out. Decoding the result with a fresh
// decoder gives back exactly the input.
int64_t lzss_encode(const uint8_t* src, size_t size, uint8_t* dest, size_t capacity);
