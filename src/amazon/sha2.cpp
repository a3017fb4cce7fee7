#include "sha2.h"

#include <algorithm>
#include <cstring>
#include <utility>

// The compression functions are written so that a plain optimising build
// turns them into straight-line code: rounds unrolled at compile time, the
// working variables renamed from round to round instead of being moved, and
// the message schedule computed as the rounds go, from message words loaded
// with one byte swap each.

// GCC and Clang extensions are used throughout: forced inlining, vector types
// and an empty asm statement.
#if !defined(__GNUC__) || !defined(__BYTE_ORDER__)
#error "sha2.cpp needs GCC or Clang"
#endif
#define SHA2_ALWAYS_INLINE inline __attribute__((always_inline))
#define SHA2_LITTLE_ENDIAN (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)

const uint32_t sha224_h0[8] = { 0xc1059ed8, 0x367cd507, 0x3070dd17, 0xf70e5939, 0xffc00b31,
    0x68581511, 0x64f98fa7, 0xbefa4fa4 };

const uint32_t sha256_h0[8] = { 0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f,
    0x9b05688c, 0x1f83d9ab, 0x5be0cd19 };

const uint64_t sha384_h0[8] = { 0xcbbb9d5dc1059ed8ULL, 0x629a292a367cd507ULL, 0x9159015a3070dd17ULL,
    0x152fecd8f70e5939ULL, 0x67332667ffc00b31ULL, 0x8eb44a8768581511ULL, 0xdb0c2e0d64f98fa7ULL,
    0x47b5481dbefa4fa4ULL };

const uint64_t sha512_h0[8] = { 0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL,
    0xa54ff53a5f1d36f1ULL, 0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL, 0x1f83d9abfb41bd6bULL,
    0x5be0cd19137e2179ULL };

alignas(16) const uint32_t sha256_k[64] = { 0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5,
    0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3,
    0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc,
    0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
    0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13,
    0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3,
    0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5,
    0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208,
    0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2 };

const uint64_t sha512_k[80] = { 0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL,
    0xe9b5dba58189dbbcULL, 0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL,
    0xab1c5ed5da6d8118ULL, 0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL,
    0x550c7dc3d5ffb4e2ULL, 0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL,
    0xc19bf174cf692694ULL, 0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL,
    0x240ca1cc77ac9c65ULL, 0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL,
    0x76f988da831153b5ULL, 0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL,
    0xbf597fc7beef0ee4ULL, 0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL,
    0x142929670a0e6e70ULL, 0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL,
    0x53380d139d95b3dfULL, 0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL,
    0x92722c851482353bULL, 0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL,
    0xc76c51a30654be30ULL, 0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL,
    0x106aa07032bbd1b8ULL, 0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL,
    0x34b0bcb5e19b48a8ULL, 0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL,
    0x682e6ff3d6b2b8a3ULL, 0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL,
    0x8cc702081a6439ecULL, 0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL,
    0xc67178f2e372532bULL, 0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL,
    0xf57d4f7fee6ed178ULL, 0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL,
    0x1b710b35131c471bULL, 0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL,
    0x431d67c49c100d4cULL, 0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL,
    0x6c44198c4a475817ULL };

namespace {

// ---------------------------------------------------------------------------
// Word helpers

SHA2_ALWAYS_INLINE uint32_t rotr(uint32_t x, unsigned n)
{
    return (x >> n) | (x << (32 - n));
}

SHA2_ALWAYS_INLINE uint64_t rotr(uint64_t x, unsigned n)
{
    return (x >> n) | (x << (64 - n));
}

SHA2_ALWAYS_INLINE uint64_t load_be64(const unsigned char* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if SHA2_LITTLE_ENDIAN
    v = __builtin_bswap64(v);
#endif
    return v;
}

void store_be32(unsigned char* p, uint32_t v)
{
    for (int i = 3; i >= 0; --i, v >>= 8) {
        p[i] = static_cast<unsigned char>(v);
    }
}

void store_be64(unsigned char* p, uint64_t v)
{
    for (int i = 7; i >= 0; --i, v >>= 8) {
        p[i] = static_cast<unsigned char>(v);
    }
}

void store_be(unsigned char* p, uint32_t v)
{
    store_be32(p, v);
}

void store_be(unsigned char* p, uint64_t v)
{
    store_be64(p, v);
}

// ---------------------------------------------------------------------------
// SHA-256 compression
//
// The rounds run on the integer unit while the message schedule is computed
// four words at a time on the vector unit, sixteen rounds ahead of its use,
// so the two overlap. Words4 is a GCC/Clang vector extension: SSE2 on x86-64,
// NEON on ARM, plain scalar code where there is no vector unit.

typedef uint32_t Words4 __attribute__((vector_size(16)));

SHA2_ALWAYS_INLINE Words4 load_words4(const uint32_t* p)
{
    Words4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

SHA2_ALWAYS_INLINE void store_words4(uint32_t* p, Words4 v)
{
    std::memcpy(p, &v, sizeof v);
}

SHA2_ALWAYS_INLINE Words4 load_be32x4(const unsigned char* p)
{
    Words4 v;
    std::memcpy(&v, p, sizeof v);
#if SHA2_LITTLE_ENDIAN
    v = (v << 16) | (v >> 16);
    v = ((v & 0x00ff00ffu) << 8) | ((v >> 8) & 0x00ff00ffu);
#endif
    return v;
}

// Moving words between lanes. On little-endian machines a whole-register
// byte shift does it in one instruction each; element-wise construction is
// the generic spelling.
#if SHA2_LITTLE_ENDIAN
__extension__ typedef unsigned __int128 Bits128 __attribute__((vector_size(16)));

// { a[1], a[2], a[3], b[0] }
SHA2_ALWAYS_INLINE Words4 words_1_to_4(Words4 a, Words4 b)
{
    return Words4(((Bits128)a >> 32) | ((Bits128)b << 96));
}

// { x[2], x[3], 0, 0 }
SHA2_ALWAYS_INLINE Words4 upper_half_down(Words4 x)
{
    return Words4((Bits128)x >> 64);
}

// { 0, 0, x[0], x[1] }
SHA2_ALWAYS_INLINE Words4 lower_half_up(Words4 x)
{
    return Words4((Bits128)x << 64);
}
#else
SHA2_ALWAYS_INLINE Words4 words_1_to_4(Words4 a, Words4 b)
{
    return Words4 { a[1], a[2], a[3], b[0] };
}

SHA2_ALWAYS_INLINE Words4 upper_half_down(Words4 x)
{
    return Words4 { x[2], x[3], 0, 0 };
}

SHA2_ALWAYS_INLINE Words4 lower_half_up(Words4 x)
{
    return Words4 { 0, 0, x[0], x[1] };
}
#endif

SHA2_ALWAYS_INLINE Words4 rotr(Words4 x, unsigned n)
{
    return (x >> n) | (x << (32 - n));
}

SHA2_ALWAYS_INLINE Words4 small_sigma0(Words4 x)
{
    return rotr(x, 7) ^ rotr(x, 18) ^ (x >> 3);
}

SHA2_ALWAYS_INLINE Words4 small_sigma1(Words4 x)
{
    return rotr(x, 17) ^ rotr(x, 19) ^ (x >> 10);
}

SHA2_ALWAYS_INLINE uint32_t big_sigma0(uint32_t a)
{
    return rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
}

SHA2_ALWAYS_INLINE uint32_t big_sigma1(uint32_t e)
{
    return rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
}

SHA2_ALWAYS_INLINE uint32_t choose(uint32_t e, uint32_t f, uint32_t g)
{
    return g ^ (e & (f ^ g));
}

struct Sha256Schedule
{
    Words4 w[4]; // the last sixteen schedule words, a ring of four vectors
    alignas(16) uint32_t kw[64]; // schedule word plus round constant, per round
};

SHA2_ALWAYS_INLINE void start_schedule(Sha256Schedule& s, const unsigned char* block)
{
    for (int q = 0; q < 4; ++q) {
        s.w[q] = load_be32x4(block + 16 * q);
        store_words4(s.kw + 4 * q, s.w[q] + load_words4(sha256_k + 4 * q));
    }
}

// Schedule words t..t+3, t = base + T, from words t-16..t-1. Words t+2 and
// t+3 depend on words t and t+1 through sigma1, hence the second half step.
template <int T>
SHA2_ALWAYS_INLINE void extend_schedule(Sha256Schedule& s, int base)
{
    Words4& w16 = s.w[(T / 4) % 4]; // words t-16..t-13, replaced by t..t+3
    const Words4 w12 = s.w[(T / 4 + 1) % 4];
    const Words4 w8 = s.w[(T / 4 + 2) % 4];
    const Words4 w4 = s.w[(T / 4 + 3) % 4];

    Words4 w = w16 + words_1_to_4(w8, w4) + small_sigma0(words_1_to_4(w16, w12));
    w += small_sigma1(upper_half_down(w4));
    w += small_sigma1(lower_half_up(w));
    w16 = w;

    uint32_t* kw = s.kw + base + T;
    store_words4(kw, w + load_words4(sha256_k + base + T));
    // Keeps the rounds reading these words from memory, one add with a
    // memory operand each; left alone, the compiler moves some of them lane
    // by lane into integer registers, three instructions per word.
    __asm__("" : "+m"(kw[0]), "+m"(kw[1]), "+m"(kw[2]), "+m"(kw[3]));
}

// Round base + I. v holds a..h rotated by I positions, so no variable is
// ever moved. bc carries b ^ c into the round, where Maj(a, b, c) is
// b ^ ((a ^ b) & (b ^ c)), and a ^ b out of it: the next round's b ^ c.
// Every fourth round of the first 48 also computes four schedule words for
// the rounds sixteen ahead.
template <bool Extend, int I>
SHA2_ALWAYS_INLINE void round256(uint32_t (&v)[8], Sha256Schedule& s, uint32_t& bc, int base)
{
    if constexpr (Extend && I % 4 == 0) {
        extend_schedule<I + 16>(s, base);
    }
    const uint32_t a = v[(8 - I % 8) % 8];
    const uint32_t b = v[(9 - I % 8) % 8];
    uint32_t& d = v[(11 - I % 8) % 8];
    const uint32_t e = v[(12 - I % 8) % 8];
    const uint32_t f = v[(13 - I % 8) % 8];
    const uint32_t g = v[(14 - I % 8) % 8];
    uint32_t& h = v[(15 - I % 8) % 8];

    h += s.kw[base + I] + choose(e, f, g);
    h += big_sigma1(e);
    d += h;
    const uint32_t ab = a ^ b;
    h += big_sigma0(a) + (b ^ (ab & bc));
    bc = ab;
}

template <bool Extend, int... I>
SHA2_ALWAYS_INLINE void sixteen_rounds256(
    uint32_t (&v)[8], Sha256Schedule& s, uint32_t& bc, int base, std::integer_sequence<int, I...>)
{
    (round256<Extend, I>(v, s, bc, base), ...);
}

// Sixteen rounds are unrolled, not all 64: straight-line code for a whole
// block is so large that its speed varied by a tenth with where the linker
// happened to place it; the loop is as fast and steady.
SHA2_ALWAYS_INLINE void rounds256(uint32_t (&v)[8], const unsigned char* block)
{
    constexpr auto Sixteen = std::make_integer_sequence<int, 16>();
    Sha256Schedule schedule;
    start_schedule(schedule, block);
    uint32_t bc = v[1] ^ v[2];
    for (int base = 0; base < 48; base += 16) {
        sixteen_rounds256<true>(v, schedule, bc, base, Sixteen);
    }
    sixteen_rounds256<false>(v, schedule, bc, 48, Sixteen);
}

// ---------------------------------------------------------------------------
// SHA-512 compression

SHA2_ALWAYS_INLINE uint64_t big_sigma0(uint64_t a)
{
    return rotr(a, 28) ^ rotr(a, 34) ^ rotr(a, 39);
}

SHA2_ALWAYS_INLINE uint64_t big_sigma1(uint64_t e)
{
    return rotr(e, 14) ^ rotr(e, 18) ^ rotr(e, 41);
}

SHA2_ALWAYS_INLINE uint64_t choose(uint64_t e, uint64_t f, uint64_t g)
{
    return g ^ (e & (f ^ g));
}

SHA2_ALWAYS_INLINE uint64_t small_sigma0(uint64_t x)
{
    return rotr(x, 1) ^ rotr(x, 8) ^ (x >> 7);
}

SHA2_ALWAYS_INLINE uint64_t small_sigma1(uint64_t x)
{
    return rotr(x, 19) ^ rotr(x, 61) ^ (x >> 6);
}

template <int I>
SHA2_ALWAYS_INLINE uint64_t schedule512(uint64_t (&w)[16], const unsigned char* block)
{
    if constexpr (I < 16) {
        w[I] = load_be64(block + 8 * I);
    } else {
        w[I & 15]
            += small_sigma1(w[(I - 2) & 15]) + w[(I - 7) & 15] + small_sigma0(w[(I - 15) & 15]);
    }
    return w[I & 15];
}

template <int I>
SHA2_ALWAYS_INLINE void round512(
    uint64_t (&v)[8], uint64_t (&w)[16], uint64_t& bc, const unsigned char* block)
{
    const uint64_t a = v[(8 - I % 8) % 8];
    const uint64_t b = v[(9 - I % 8) % 8];
    uint64_t& d = v[(11 - I % 8) % 8];
    const uint64_t e = v[(12 - I % 8) % 8];
    const uint64_t f = v[(13 - I % 8) % 8];
    const uint64_t g = v[(14 - I % 8) % 8];
    uint64_t& h = v[(15 - I % 8) % 8];

    h += sha512_k[I] + schedule512<I>(w, block) + choose(e, f, g);
    h += big_sigma1(e);
    d += h;
    const uint64_t ab = a ^ b;
    h += big_sigma0(a) + (b ^ (ab & bc));
    bc = ab;
}

template <int... I>
SHA2_ALWAYS_INLINE void rounds512(
    uint64_t (&v)[8], const unsigned char* block, std::integer_sequence<int, I...>)
{
    uint64_t w[16];
    uint64_t bc = v[1] ^ v[2];
    (round512<I>(v, w, bc, block), ...);
}

// ---------------------------------------------------------------------------
// What distinguishes the four variants; everything else is shared.

struct Sha224
{
    using Ctx = sha224_ctx;
    using Word = uint32_t;
    static constexpr unsigned BlockSize = SHA224_BLOCK_SIZE;
    static constexpr unsigned DigestSize = SHA224_DIGEST_SIZE;
    static constexpr const uint32_t* InitialValues = sha224_h0;
    static void compress(Ctx* ctx, const unsigned char* blocks, int32_t count)
    {
        sha256_transf(ctx, blocks, count);
    }
};

struct Sha256
{
    using Ctx = sha256_ctx;
    using Word = uint32_t;
    static constexpr unsigned BlockSize = SHA256_BLOCK_SIZE;
    static constexpr unsigned DigestSize = SHA256_DIGEST_SIZE;
    static constexpr const uint32_t* InitialValues = sha256_h0;
    static void compress(Ctx* ctx, const unsigned char* blocks, int32_t count)
    {
        sha256_transf(ctx, blocks, count);
    }
};

struct Sha384
{
    using Ctx = sha384_ctx;
    using Word = uint64_t;
    static constexpr unsigned BlockSize = SHA384_BLOCK_SIZE;
    static constexpr unsigned DigestSize = SHA384_DIGEST_SIZE;
    static constexpr const uint64_t* InitialValues = sha384_h0;
    static void compress(Ctx* ctx, const unsigned char* blocks, int32_t count)
    {
        sha512_transf(ctx, blocks, count);
    }
};

struct Sha512
{
    using Ctx = sha512_ctx;
    using Word = uint64_t;
    static constexpr unsigned BlockSize = SHA512_BLOCK_SIZE;
    static constexpr unsigned DigestSize = SHA512_DIGEST_SIZE;
    static constexpr const uint64_t* InitialValues = sha512_h0;
    static void compress(Ctx* ctx, const unsigned char* blocks, int32_t count)
    {
        sha512_transf(ctx, blocks, count);
    }
};

// ---------------------------------------------------------------------------
// Digest

template <class V>
void digest_init(typename V::Ctx* ctx)
{
    std::copy(V::InitialValues, V::InitialValues + 8, ctx->h);
    ctx->len = 0;
    ctx->tot_len = 0;
}

template <class V>
void digest_update(typename V::Ctx* ctx, const unsigned char* message, uint32_t len)
{
    // An empty buffer compresses straight from the message; only a partial
    // block ever waits in the context.
    if (ctx->len != 0) {
        const uint32_t room = V::BlockSize - ctx->len;
        const uint32_t copied = std::min(room, len);
        if (copied != 0) {
            std::memcpy(ctx->block + ctx->len, message, copied);
        }
        if (len < room) {
            ctx->len += len;
            return;
        }
        V::compress(ctx, ctx->block, 1);
        ctx->tot_len += V::BlockSize;
        ctx->len = 0;
        message += copied;
        len -= copied;
    }

    const uint32_t whole_blocks = len / V::BlockSize;
    V::compress(ctx, message, static_cast<int32_t>(whole_blocks));
    ctx->tot_len += whole_blocks * V::BlockSize;

    const uint32_t rest = len % V::BlockSize;
    if (rest != 0) {
        std::memcpy(ctx->block, message + whole_blocks * V::BlockSize, rest);
    }
    ctx->len = rest;
}

// The length field at the end of the padding is 64 bits (SHA-224/256) or
// 128 bits (SHA-384/512) wide; the bit count is formed in 64 bits so that
// messages of 2^29 bytes and more are padded correctly too. The upper bytes
// of the wider field stay zero from the memset.
template <class V>
void digest_final(typename V::Ctx* ctx, unsigned char* digest)
{
    constexpr unsigned LengthFieldSize = 2 * sizeof(typename V::Word);
    const uint32_t pending = ctx->len;
    const uint32_t block_count = pending < V::BlockSize - LengthFieldSize ? 1 : 2;
    const uint32_t padded_size = block_count * V::BlockSize;
    const uint64_t bit_length = (uint64_t(ctx->tot_len) + pending) * 8;

    std::memset(ctx->block + pending, 0, padded_size - pending);
    ctx->block[pending] = 0x80;
    store_be64(ctx->block + padded_size - 8, bit_length);
    V::compress(ctx, ctx->block, static_cast<int32_t>(block_count));

    constexpr unsigned OutputWords = V::DigestSize / sizeof(typename V::Word);
    for (unsigned i = 0; i < OutputWords; ++i) {
        store_be(digest + i * sizeof(typename V::Word), ctx->h[i]);
    }
}

template <class V>
void digest_once(const unsigned char* message, uint32_t len, unsigned char* digest)
{
    typename V::Ctx ctx;
    digest_init<V>(&ctx);
    digest_update<V>(&ctx, message, len);
    digest_final<V>(&ctx, digest);
}

// ---------------------------------------------------------------------------
// HMAC

template <class V, class HmacCtx>
void hmac_init(HmacCtx* ctx, const unsigned char* key, uint32_t key_size)
{
    // A key longer than a block is replaced by its digest (RFC 2104).
    unsigned char key_digest[V::DigestSize];
    if (key_size > V::BlockSize) {
        digest_once<V>(key, key_size, key_digest);
        key = key_digest;
        key_size = V::DigestSize;
    }

    std::memset(ctx->block_ipad, 0x36, V::BlockSize);
    std::memset(ctx->block_opad, 0x5c, V::BlockSize);
    for (uint32_t i = 0; i < key_size; ++i) {
        ctx->block_ipad[i] ^= key[i];
        ctx->block_opad[i] ^= key[i];
    }

    digest_init<V>(&ctx->ctx_inside);
    digest_update<V>(&ctx->ctx_inside, ctx->block_ipad, V::BlockSize);
    digest_init<V>(&ctx->ctx_outside);
    digest_update<V>(&ctx->ctx_outside, ctx->block_opad, V::BlockSize);

    ctx->ctx_inside_reinit = ctx->ctx_inside;
    ctx->ctx_outside_reinit = ctx->ctx_outside;
}

template <class HmacCtx>
void hmac_reinit(HmacCtx* ctx)
{
    ctx->ctx_inside = ctx->ctx_inside_reinit;
    ctx->ctx_outside = ctx->ctx_outside_reinit;
}

template <class V, class HmacCtx>
void hmac_update(HmacCtx* ctx, const unsigned char* message, uint32_t message_len)
{
    digest_update<V>(&ctx->ctx_inside, message, message_len);
}

template <class V, class HmacCtx>
void hmac_final(HmacCtx* ctx, unsigned char* mac, uint32_t mac_size)
{
    unsigned char inner_digest[V::DigestSize];
    unsigned char outer_digest[V::DigestSize];
    digest_final<V>(&ctx->ctx_inside, inner_digest);
    digest_update<V>(&ctx->ctx_outside, inner_digest, V::DigestSize);
    digest_final<V>(&ctx->ctx_outside, outer_digest);
    std::memcpy(mac, outer_digest, std::min<uint32_t>(mac_size, V::DigestSize));
}

template <class V, class HmacCtx>
void hmac_once(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size)
{
    HmacCtx ctx;
    hmac_init<V>(&ctx, key, key_size);
    hmac_update<V>(&ctx, message, message_len);
    hmac_final<V>(&ctx, mac, mac_size);
}

} // namespace

// ---------------------------------------------------------------------------
// Compression entry points

void sha256_transf(sha256_ctx* ctx, const unsigned char* message, int32_t block_nb)
{
    for (int32_t n = 0; n < block_nb; ++n, message += SHA256_BLOCK_SIZE) {
        uint32_t v[8];
        std::memcpy(v, ctx->h, sizeof v);
        rounds256(v, message);
        for (int j = 0; j < 8; ++j) {
            ctx->h[j] += v[j];
        }
    }
}

void sha512_transf(sha512_ctx* ctx, const unsigned char* message, int32_t block_nb)
{
    for (int32_t n = 0; n < block_nb; ++n, message += SHA512_BLOCK_SIZE) {
        uint64_t v[8];
        std::memcpy(v, ctx->h, sizeof v);
        rounds512(v, message, std::make_integer_sequence<int, 80>());
        for (int j = 0; j < 8; ++j) {
            ctx->h[j] += v[j];
        }
    }
}

// ---------------------------------------------------------------------------
// Public digest functions

void sha224_init(sha224_ctx* ctx)
{
    digest_init<Sha224>(ctx);
}

void sha224_update(sha224_ctx* ctx, const unsigned char* message, uint32_t len)
{
    digest_update<Sha224>(ctx, message, len);
}

void sha224_final(sha224_ctx* ctx, unsigned char* digest)
{
    digest_final<Sha224>(ctx, digest);
}

void sha224(const unsigned char* message, uint32_t len, unsigned char* digest)
{
    digest_once<Sha224>(message, len, digest);
}

void sha256_init(sha256_ctx* ctx)
{
    digest_init<Sha256>(ctx);
}

void sha256_update(sha256_ctx* ctx, const unsigned char* message, uint32_t len)
{
    digest_update<Sha256>(ctx, message, len);
}

void sha256_final(sha256_ctx* ctx, unsigned char* digest)
{
    digest_final<Sha256>(ctx, digest);
}

void sha256(const unsigned char* message, uint32_t len, unsigned char* digest)
{
    digest_once<Sha256>(message, len, digest);
}

void sha384_init(sha384_ctx* ctx)
{
    digest_init<Sha384>(ctx);
}

void sha384_update(sha384_ctx* ctx, const unsigned char* message, uint32_t len)
{
    digest_update<Sha384>(ctx, message, len);
}

void sha384_final(sha384_ctx* ctx, unsigned char* digest)
{
    digest_final<Sha384>(ctx, digest);
}

void sha384(const unsigned char* message, uint32_t len, unsigned char* digest)
{
    digest_once<Sha384>(message, len, digest);
}

void sha512_init(sha512_ctx* ctx)
{
    digest_init<Sha512>(ctx);
}

void sha512_update(sha512_ctx* ctx, const unsigned char* message, uint32_t len)
{
    digest_update<Sha512>(ctx, message, len);
}

void sha512_final(sha512_ctx* ctx, unsigned char* digest)
{
    digest_final<Sha512>(ctx, digest);
}

void sha512(const unsigned char* message, uint32_t len, unsigned char* digest)
{
    digest_once<Sha512>(message, len, digest);
}

// ---------------------------------------------------------------------------
// Public HMAC functions

void hmac_sha224_init(hmac_sha224_ctx* ctx, const unsigned char* key, uint32_t key_size)
{
    hmac_init<Sha224>(ctx, key, key_size);
}

void hmac_sha224_reinit(hmac_sha224_ctx* ctx)
{
    hmac_reinit(ctx);
}

void hmac_sha224_update(hmac_sha224_ctx* ctx, const unsigned char* message, uint32_t message_len)
{
    hmac_update<Sha224>(ctx, message, message_len);
}

void hmac_sha224_final(hmac_sha224_ctx* ctx, unsigned char* mac, uint32_t mac_size)
{
    hmac_final<Sha224>(ctx, mac, mac_size);
}

void hmac_sha224(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size)
{
    hmac_once<Sha224, hmac_sha224_ctx>(key, key_size, message, message_len, mac, mac_size);
}

void hmac_sha256_init(hmac_sha256_ctx* ctx, const unsigned char* key, uint32_t key_size)
{
    hmac_init<Sha256>(ctx, key, key_size);
}

void hmac_sha256_reinit(hmac_sha256_ctx* ctx)
{
    hmac_reinit(ctx);
}

void hmac_sha256_update(hmac_sha256_ctx* ctx, const unsigned char* message, uint32_t message_len)
{
    hmac_update<Sha256>(ctx, message, message_len);
}

void hmac_sha256_final(hmac_sha256_ctx* ctx, unsigned char* mac, uint32_t mac_size)
{
    hmac_final<Sha256>(ctx, mac, mac_size);
}

void hmac_sha256(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size)
{
    hmac_once<Sha256, hmac_sha256_ctx>(key, key_size, message, message_len, mac, mac_size);
}

void hmac_sha384_init(hmac_sha384_ctx* ctx, const unsigned char* key, uint32_t key_size)
{
    hmac_init<Sha384>(ctx, key, key_size);
}

void hmac_sha384_reinit(hmac_sha384_ctx* ctx)
{
    hmac_reinit(ctx);
}

void hmac_sha384_update(hmac_sha384_ctx* ctx, const unsigned char* message, uint32_t message_len)
{
    hmac_update<Sha384>(ctx, message, message_len);
}

void hmac_sha384_final(hmac_sha384_ctx* ctx, unsigned char* mac, uint32_t mac_size)
{
    hmac_final<Sha384>(ctx, mac, mac_size);
}

void hmac_sha384(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size)
{
    hmac_once<Sha384, hmac_sha384_ctx>(key, key_size, message, message_len, mac, mac_size);
}

void hmac_sha512_init(hmac_sha512_ctx* ctx, const unsigned char* key, uint32_t key_size)
{
    hmac_init<Sha512>(ctx, key, key_size);
}

void hmac_sha512_reinit(hmac_sha512_ctx* ctx)
{
    hmac_reinit(ctx);
}

void hmac_sha512_update(hmac_sha512_ctx* ctx, const unsigned char* message, uint32_t message_len)
{
    hmac_update<Sha512>(ctx, message, message_len);
}

void hmac_sha512_final(hmac_sha512_ctx* ctx, unsigned char* mac, uint32_t mac_size)
{
    hmac_final<Sha512>(ctx, mac, mac_size);
}

void hmac_sha512(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size)
{
    hmac_once<Sha512, hmac_sha512_ctx>(key, key_size, message, message_len, mac, mac_size);
}
