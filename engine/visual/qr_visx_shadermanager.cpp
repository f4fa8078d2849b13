#include "visual/qr_visx_shadermanager.h"

QRVISXShaderManager::QRVISXShaderManager(QRObject* owner) : QRObject(owner, "QR VISX Shader Manager") {}
QRVISXShaderManager::~QRVISXShaderManager() = default;

void QRVISXShaderManager::initialize() {}
void QRVISXShaderManager::setConfiguration(QRVISXShaderConfiguration*) {}
void QRVISXShaderManager::resetConfiguration() {}
void QRVISXShaderManager::useDefaultSolid() {}
void QRVISXShaderManager::useDefaultUnlit() {}
void QRVISXShaderManager::reset() {}
void QRVISXShaderManager::apply(bool) {}
