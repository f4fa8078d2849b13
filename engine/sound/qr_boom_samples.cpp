#include "sound/qr_boom_samples.h"

#include "core/qr_mngr_assetmanager.h"
#include "resource/qr_resc_list.h"
#include "sound/qr_boom_sample.h"

#include <string>

QRBOOMSamples::QRBOOMSamples(QRObject* owner) : QRObject(owner, "QR BOOM Samples List")
{
    samples_ = qrNew<QRRESCList>(this, false);
}

QRBOOMSamples::~QRBOOMSamples()
{
    while (!samples_->isEmpty())
        releaseSample(static_cast<QRBOOMSample*>(samples_->get(samples_->getLastIndex())));
}

QRBOOMSample* QRBOOMSamples::loadSample(std::string_view fileName)
{
    // Every effect asks again before it plays; one reference per sample is enough.
    if (auto* listed = findSample(fileName))
        return listed;
    auto* assets = qrAssets();
    auto* sample = assets ? assets->acquire<QRBOOMSample>(std::string(fileName)) : nullptr;
    if (sample && samples_->contains(sample)) {
        // Another spelling of a listed file: the list keeps its single reference.
        auto* extra = sample;
        assets->release(extra);
    } else if (sample) {
        samples_->add(sample);
    }
    return sample;
}

QRBOOMSample* QRBOOMSamples::findSample(std::string_view name) const
{
    return static_cast<QRBOOMSample*>(samples_->findByName(name));
}

void QRBOOMSamples::releaseSample(QRBOOMSample* sample)
{
    if (!sample || samples_->remove(sample) < 0)
        return;
    if (auto* assets = qrAssets())
        assets->release(sample);
}

int QRBOOMSamples::getCount() const
{
    return samples_->getCount();
}
