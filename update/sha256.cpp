#include "update/sha256.h"

#include <QIODevice>

#include <openssl/evp.h>

namespace {

constexpr qint64 ReadChunk = 64 * 1024;

}   // namespace

Sha256::Sha256()
    : context(EVP_MD_CTX_new())
{
    reset();
}

Sha256::~Sha256()
{
    EVP_MD_CTX_free(context);
}

void Sha256::reset()
{
    failed = !context || EVP_DigestInit_ex(context, EVP_sha256(), nullptr) != 1;
}

void Sha256::addData(const char *data, qint64 size)
{
    if (!failed && size > 0)
        failed = EVP_DigestUpdate(context, data, size_t(size)) != 1;
}

bool Sha256::addData(QIODevice *device)
{
    QByteArray buffer(ReadChunk, Qt::Uninitialized);
    qint64 read = 0;
    while ((read = device->read(buffer.data(), buffer.size())) > 0)
        addData(buffer.constData(), read);
    return read == 0;
}

QByteArray Sha256::result() const
{
    if (failed)
        return QByteArray();
    // Finishing consumes the state, so a copy is finished.
    EVP_MD_CTX *copy = EVP_MD_CTX_new();
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    const bool ok = copy && EVP_MD_CTX_copy_ex(copy, context) == 1
        && EVP_DigestFinal_ex(copy, reinterpret_cast<unsigned char *>(digest.data()), &length) == 1;
    EVP_MD_CTX_free(copy);
    return ok ? digest.left(int(length)) : QByteArray();
}
