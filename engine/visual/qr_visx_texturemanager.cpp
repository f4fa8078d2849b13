#include "visual/qr_visx_texturemanager.h"

QRVISXTextureManager::QRVISXTextureManager(QRObject* owner) : QRObject(owner, "QR VISX Texture Manager") {}

void QRVISXTextureManager::initialize() {}
void QRVISXTextureManager::resetAllTextures() {}
void QRVISXTextureManager::resetTextures() {}
void QRVISXTextureManager::requestTexture(const QRVISXTexture2*, int) {}
void QRVISXTextureManager::applyTextures(bool) {}
