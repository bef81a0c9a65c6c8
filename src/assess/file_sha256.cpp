#include "assess/file_sha256.h"

#include <openssl/evp.h>

#include <memory>

namespace lp::assess {

std::optional<QByteArray> sha256Of(QIODevice& device) {
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
        return std::nullopt;
    }
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = device.read(chunk.data(), chunk.size());
        if (read < 0) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        if (EVP_DigestUpdate(context.get(), chunk.constData(), size_t(read)) != 1) {
            return std::nullopt;
        }
    }
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context.get(), reinterpret_cast<unsigned char*>(digest.data()), &size) !=
        1) {
        return std::nullopt;
    }
    digest.truncate(int(size));
    return digest;
}

}  // namespace lp::assess
