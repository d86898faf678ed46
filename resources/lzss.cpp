// LZSS decoder with carried state, and the classic binary-tree encoder with the same
// parameters.
#include "resources/lzss.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t ring_mask = lzss_ring_size - 1;

// Packed bytes straight from a buffered file; any failure to read ends the data.
struct FileSource {
    FILE* file;
    int get(uint32_t) { return getc_unlocked(file); }
};

// Packed bytes in memory; the decoder never asks beyond the packed size.
struct MemorySource {
    const uint8_t* bytes;
    int get(uint32_t index) { return bytes[index]; }
};

template <class Source>
int32_t decode(LzssDecoder& d, Source source, uint8_t* dest, int32_t wanted) {
    if (!dest || wanted <= 0) return 0;
    const uint32_t want = uint32_t(wanted);
    uint8_t* ring = d.ring;
    uint32_t produced = 0;
    uint32_t w = d.write_position;

    // A match that an earlier call stopped inside is finished first.
    if (d.match_length) {
        uint32_t left = d.match_length - d.match_copied;
        uint32_t take = left < want ? left : want;
        uint32_t from = d.match_position + d.match_copied;
        for (uint32_t k = 0; k < take; k++) {
            uint8_t c = ring[(from + k) & ring_mask];
            dest[produced++] = c;
            ring[w] = c;
            w = (w + 1) & ring_mask;
        }
        d.match_copied += take;
        if (d.match_copied == d.match_length) d.match_length = 0;
    }

    uint32_t flags = d.flags;
    uint32_t consumed = d.consumed;
    const uint32_t limit = d.packed_size;
    bool ended = d.ended;
    while (produced < want && !ended) {
        if (!(flags & 0x100)) {
            if (limit - consumed < 1) { ended = true; break; }
            int c = source.get(consumed);
            if (c < 0) { ended = true; break; }
            consumed++;
            flags = uint32_t(c) | 0xFF00;
        }
        if (flags & 1) {
            if (limit - consumed < 1) { ended = true; break; }
            int c = source.get(consumed);
            if (c < 0) { ended = true; break; }
            consumed++;
            flags >>= 1;
            dest[produced++] = uint8_t(c);
            ring[w] = uint8_t(c);
            w = (w + 1) & ring_mask;
        } else {
            if (limit - consumed < 2) { ended = true; break; }
            int b1 = source.get(consumed);
            if (b1 < 0) { ended = true; break; }
            int b2 = source.get(consumed + 1);
            if (b2 < 0) { ended = true; break; }
            consumed += 2;
            flags >>= 1;
            uint32_t position = uint32_t(b1) | ((uint32_t(b2) & 0xF0) << 4);
            uint32_t length = (uint32_t(b2) & 0x0F) + lzss_min_match;
            uint32_t room = want - produced;
            uint32_t take = length < room ? length : room;
            // One byte at a time: a match may read bytes it has just written.
            for (uint32_t k = 0; k < take; k++) {
                uint8_t c = ring[(position + k) & ring_mask];
                dest[produced++] = c;
                ring[w] = c;
                w = (w + 1) & ring_mask;
            }
            if (take < length) {
                d.match_position = position;
                d.match_length = length;
                d.match_copied = take;
            }
        }
    }
    d.write_position = w;
    d.flags = flags;
    d.consumed = consumed;
    d.ended = ended;
    return int32_t(produced);
}

}  // namespace

void lzss_start(LzssDecoder& d, uint32_t packed_size) {
    std::memset(d.ring, ' ', lzss_ring_start);
    std::memset(d.ring + lzss_ring_start, 0, lzss_ring_size - lzss_ring_start);
    d.write_position = lzss_ring_start;
    d.flags = 0;
    d.match_position = 0;
    d.match_length = 0;
    d.match_copied = 0;
    d.consumed = 0;
    d.packed_size = packed_size;
    d.ended = false;
}

int32_t lzss_decode(LzssDecoder& d, FILE* input, uint8_t* dest, int32_t wanted) {
    if (!input) return 0;
    return decode(d, FileSource{input}, dest, wanted);
}

int32_t lzss_decode_bytes(LzssDecoder& d, const uint8_t* packed, uint8_t* dest, int32_t wanted) {
    if (!packed) return 0;
    return decode(d, MemorySource{packed}, dest, wanted);
}

uint64_t lzss_output_bound(uint64_t packed_size) {
    // A full group is a flag byte and eight matches of 2 bytes: 17 packed bytes, 144 out. A
    // last, shorter group holds as many matches as fit and a literal in an odd byte left.
    uint64_t groups = packed_size / 17, rest = packed_size % 17;
    uint64_t tail = rest >= 2 ? (rest - 1) / 2 * lzss_max_match + (rest - 1) % 2 : 0;
    return groups * 8 * lzss_max_match + tail;
}

size_t lzss_encode_bound(size_t size) { return size + (size + 7) / 8; }

// ---------------------------------------------------------------------------------------------
// Encoder: every ring position in the window is a node of a binary search tree of the strings
// that start there (one tree per first byte); inserting the newest position finds the longest
// match on the way down.

namespace {

constexpr int N = lzss_ring_size;
constexpr int F = lzss_max_match;
constexpr int threshold = lzss_min_match - 1;  // matches must be longer than this
constexpr int nil = N;                          // "no node"

struct LzssEncoder {
    uint8_t text[N + F - 1];  // the ring, with its first F-1 bytes repeated after its end
    int16_t left[N + 1];
    int16_t right[N + 257];   // right[N + 1 + c]: root of the tree of strings starting with c
    int16_t parent[N + 1];
    int match_position;
    int match_length;
};

void init_tree(LzssEncoder& e) {
    for (int i = N + 1; i <= N + 256; i++) e.right[i] = nil;
    for (int i = 0; i < N; i++) e.parent[i] = nil;
}

void insert_node(LzssEncoder& e, int r) {
    const uint8_t* key = &e.text[r];
    int p = N + 1 + key[0];
    int cmp = 1;
    e.right[r] = e.left[r] = nil;
    e.match_length = 0;
    for (;;) {
        if (cmp >= 0) {
            if (e.right[p] != nil) {
                p = e.right[p];
            } else {
                e.right[p] = int16_t(r);
                e.parent[r] = int16_t(p);
                return;
            }
        } else {
            if (e.left[p] != nil) {
                p = e.left[p];
            } else {
                e.left[p] = int16_t(r);
                e.parent[r] = int16_t(p);
                return;
            }
        }
        int i = 1;
        for (; i < F; i++)
            if ((cmp = key[i] - e.text[p + i]) != 0) break;
        if (i > e.match_length) {
            e.match_position = p;
            if ((e.match_length = i) >= F) break;
        }
    }
    // A string equal over all F bytes: the newer position takes the older one's place.
    e.parent[r] = e.parent[p];
    e.left[r] = e.left[p];
    e.right[r] = e.right[p];
    e.parent[e.left[p]] = int16_t(r);
    e.parent[e.right[p]] = int16_t(r);
    if (e.right[e.parent[p]] == p)
        e.right[e.parent[p]] = int16_t(r);
    else
        e.left[e.parent[p]] = int16_t(r);
    e.parent[p] = nil;
}

void delete_node(LzssEncoder& e, int p) {
    if (e.parent[p] == nil) return;
    int q;
    if (e.right[p] == nil) {
        q = e.left[p];
    } else if (e.left[p] == nil) {
        q = e.right[p];
    } else {
        q = e.left[p];
        if (e.right[q] != nil) {
            do q = e.right[q]; while (e.right[q] != nil);
            e.right[e.parent[q]] = e.left[q];
            e.parent[e.left[q]] = e.parent[q];
            e.left[q] = e.left[p];
            e.parent[e.left[p]] = int16_t(q);
        }
        e.right[q] = e.right[p];
        e.parent[e.right[p]] = int16_t(q);
    }
    e.parent[q] = e.parent[p];
    if (e.right[e.parent[p]] == p)
        e.right[e.parent[p]] = int16_t(q);
    else
        e.left[e.parent[p]] = int16_t(q);
    e.parent[p] = nil;
}

}  // namespace

int64_t lzss_encode(const uint8_t* src, size_t size, uint8_t* dest, size_t capacity) {
    if (size == 0) return 0;
    if (!src || !dest) return -1;
    // Zeroed: near the end of the input a comparison may look at ring bytes never written,
    // and the output must not depend on what the memory held.
    LzssEncoder* e = static_cast<LzssEncoder*>(std::calloc(1, sizeof(LzssEncoder)));
    if (!e) return -1;
    init_tree(*e);

    size_t in = 0, out = 0;
    uint8_t group[1 + 8 * 2];  // a flag byte and up to eight items
    int group_length = 1;
    uint8_t mask = 1;
    group[0] = 0;
    bool full = false;

    int s = 0, r = N - F;
    std::memset(e->text, ' ', size_t(r));
    int len = 0;
    for (; len < F && in < size; len++) e->text[r + len] = src[in++];
    // The strings of spaces before the first byte can be matched too, as the decoder's ring
    // starts with them.
    for (int i = 1; i <= F; i++) insert_node(*e, r - i);
    insert_node(*e, r);

    do {
        if (e->match_length > len) e->match_length = len;
        if (e->match_length <= threshold) {
            e->match_length = 1;
            group[0] |= mask;
            group[group_length++] = e->text[r];
        } else {
            group[group_length++] = uint8_t(e->match_position);
            group[group_length++] =
                uint8_t(((e->match_position >> 4) & 0xF0) | (e->match_length - (threshold + 1)));
        }
        if ((mask = uint8_t(mask << 1)) == 0) {
            if (capacity - out < size_t(group_length)) { full = true; break; }
            std::memcpy(dest + out, group, size_t(group_length));
            out += size_t(group_length);
            group[0] = 0;
            group_length = 1;
            mask = 1;
        }
        int last = e->match_length;
        int i = 0;
        for (; i < last && in < size; i++) {
            uint8_t c = src[in++];
            delete_node(*e, s);
            e->text[s] = c;
            if (s < F - 1) e->text[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            insert_node(*e, r);
        }
        while (i++ < last) {
            delete_node(*e, s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) insert_node(*e, r);
        }
    } while (len > 0);

    if (!full && group_length > 1) {
        if (capacity - out < size_t(group_length))
            full = true;
        else {
            std::memcpy(dest + out, group, size_t(group_length));
            out += size_t(group_length);
        }
    }
    std::free(e);
    return full ? -1 : int64_t(out);
}
