#pragma once

#include <cstdint>

// SHA-224, SHA-256, SHA-384 and SHA-512 (FIPS 180-2) and HMAC over each of
// them (RFC 2104). Every request the application sends is signed with
// HMAC-SHA-256; the other variants complete the family.
//
// The interface is procedural on purpose: the caller owns the context records
// (on the stack), nothing is allocated, and no function can fail. Input is
// compressed straight from the caller's buffer in whole blocks; only a
// partial block is copied into the context. All functions are reentrant.
//
// Messages may be at most 2^32 - 1 bytes in total: the byte counters of the
// context are 32 bits wide. Within that range every message length is
// encoded exactly in the final padding.

constexpr unsigned SHA224_DIGEST_SIZE = 224 / 8;
constexpr unsigned SHA256_DIGEST_SIZE = 256 / 8;
constexpr unsigned SHA384_DIGEST_SIZE = 384 / 8;
constexpr unsigned SHA512_DIGEST_SIZE = 512 / 8;

constexpr unsigned SHA256_BLOCK_SIZE = 512 / 8;
constexpr unsigned SHA512_BLOCK_SIZE = 1024 / 8;
constexpr unsigned SHA224_BLOCK_SIZE = SHA256_BLOCK_SIZE;
constexpr unsigned SHA384_BLOCK_SIZE = SHA512_BLOCK_SIZE;

// Digest state of SHA-224 and SHA-256. The buffer holds two blocks so that
// the final padding can spill into a second one.
struct sha256_ctx
{
    uint32_t tot_len; // bytes already compressed, a multiple of the block size
    uint32_t len; // bytes pending in block, less than one block
    unsigned char block[2 * SHA256_BLOCK_SIZE];
    uint32_t h[8]; // chaining value H0..H7
};

// Digest state of SHA-384 and SHA-512.
struct sha512_ctx
{
    uint32_t tot_len;
    uint32_t len;
    unsigned char block[2 * SHA512_BLOCK_SIZE];
    uint64_t h[8];
};

using sha224_ctx = sha256_ctx;
using sha384_ctx = sha512_ctx;

// The saved contexts hold the state right after the pad blocks were
// absorbed, so one key can sign many messages without deriving the pads again.
struct hmac_sha256_ctx
{
    sha256_ctx ctx_inside;
    sha256_ctx ctx_outside;
    sha256_ctx ctx_inside_reinit;
    sha256_ctx ctx_outside_reinit;
    unsigned char block_ipad[SHA256_BLOCK_SIZE];
    unsigned char block_opad[SHA256_BLOCK_SIZE];
};

struct hmac_sha224_ctx
{
    sha224_ctx ctx_inside;
    sha224_ctx ctx_outside;
    sha224_ctx ctx_inside_reinit;
    sha224_ctx ctx_outside_reinit;
    unsigned char block_ipad[SHA224_BLOCK_SIZE];
    unsigned char block_opad[SHA224_BLOCK_SIZE];
};

struct hmac_sha512_ctx
{
    sha512_ctx ctx_inside;
    sha512_ctx ctx_outside;
    sha512_ctx ctx_inside_reinit;
    sha512_ctx ctx_outside_reinit;
    unsigned char block_ipad[SHA512_BLOCK_SIZE];
    unsigned char block_opad[SHA512_BLOCK_SIZE];
};

struct hmac_sha384_ctx
{
    sha384_ctx ctx_inside;
    sha384_ctx ctx_outside;
    sha384_ctx ctx_inside_reinit;
    sha384_ctx ctx_outside_reinit;
    unsigned char block_ipad[SHA384_BLOCK_SIZE];
    unsigned char block_opad[SHA384_BLOCK_SIZE];
};

extern const uint32_t sha256_k[64];
extern const uint64_t sha512_k[80];
extern const uint32_t sha224_h0[8];
extern const uint32_t sha256_h0[8];
extern const uint64_t sha384_h0[8];
extern const uint64_t sha512_h0[8];

// Compress block_nb whole blocks into the state; block_nb <= 0 does nothing.
// The byte counters are left to the caller.
void sha256_transf(sha256_ctx* ctx, const unsigned char* message, int32_t block_nb);
void sha512_transf(sha512_ctx* ctx, const unsigned char* message, int32_t block_nb);

void sha224_init(sha224_ctx* ctx);
void sha224_update(sha224_ctx* ctx, const unsigned char* message, uint32_t len);
void sha224_final(sha224_ctx* ctx, unsigned char* digest);
void sha224(const unsigned char* message, uint32_t len, unsigned char* digest);

void sha256_init(sha256_ctx* ctx);
void sha256_update(sha256_ctx* ctx, const unsigned char* message, uint32_t len);
void sha256_final(sha256_ctx* ctx, unsigned char* digest);
void sha256(const unsigned char* message, uint32_t len, unsigned char* digest);

void sha384_init(sha384_ctx* ctx);
void sha384_update(sha384_ctx* ctx, const unsigned char* message, uint32_t len);
void sha384_final(sha384_ctx* ctx, unsigned char* digest);
void sha384(const unsigned char* message, uint32_t len, unsigned char* digest);

void sha512_init(sha512_ctx* ctx);
void sha512_update(sha512_ctx* ctx, const unsigned char* message, uint32_t len);
void sha512_final(sha512_ctx* ctx, unsigned char* digest);
void sha512(const unsigned char* message, uint32_t len, unsigned char* digest);

// mac_size is the number of leading HMAC bytes written to mac; a larger
// value than the digest size is cut down to the digest size.
void hmac_sha224_init(hmac_sha224_ctx* ctx, const unsigned char* key, uint32_t key_size);
void hmac_sha224_reinit(hmac_sha224_ctx* ctx);
void hmac_sha224_update(hmac_sha224_ctx* ctx, const unsigned char* message, uint32_t message_len);
void hmac_sha224_final(hmac_sha224_ctx* ctx, unsigned char* mac, uint32_t mac_size);
void hmac_sha224(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size);

void hmac_sha256_init(hmac_sha256_ctx* ctx, const unsigned char* key, uint32_t key_size);
void hmac_sha256_reinit(hmac_sha256_ctx* ctx);
void hmac_sha256_update(hmac_sha256_ctx* ctx, const unsigned char* message, uint32_t message_len);
void hmac_sha256_final(hmac_sha256_ctx* ctx, unsigned char* mac, uint32_t mac_size);
void hmac_sha256(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size);

void hmac_sha384_init(hmac_sha384_ctx* ctx, const unsigned char* key, uint32_t key_size);
void hmac_sha384_reinit(hmac_sha384_ctx* ctx);
void hmac_sha384_update(hmac_sha384_ctx* ctx, const unsigned char* message, uint32_t message_len);
void hmac_sha384_final(hmac_sha384_ctx* ctx, unsigned char* mac, uint32_t mac_size);
void hmac_sha384(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size);

void hmac_sha512_init(hmac_sha512_ctx* ctx, const unsigned char* key, uint32_t key_size);
void hmac_sha512_reinit(hmac_sha512_ctx* ctx);
void hmac_sha512_update(hmac_sha512_ctx* ctx, const unsigned char* message, uint32_t message_len);
void hmac_sha512_final(hmac_sha512_ctx* ctx, unsigned char* mac, uint32_t mac_size);
void hmac_sha512(const unsigned char* key, uint32_t key_size, const unsigned char* message,
    uint32_t message_len, unsigned char* mac, uint32_t mac_size);
