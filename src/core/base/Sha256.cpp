#include "core/base/Sha256.h"

#include <nettle/sha2.h>

namespace vexa::base {

QByteArray sha256(const QByteArray& data) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, static_cast<size_t>(data.size()),
                  reinterpret_cast<const uint8_t*>(data.constData()));
    QByteArray digest(SHA256_DIGEST_SIZE, '\0');
    sha256_digest(&context, SHA256_DIGEST_SIZE, reinterpret_cast<uint8_t*>(digest.data()));
    return digest;
}

} // namespace vexa::base
