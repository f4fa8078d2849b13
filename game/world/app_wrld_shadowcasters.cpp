#include "world/app_wrld_shadowcasters.h"

#include "core/qr_util_fingerprint.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBlocksPerSide = APPENVRMain::kAreaCount * APPENVRMain::kBlocksPerArea;

int blockIndex(float coordinate)
{
    return std::clamp(static_cast<int>(std::floor(coordinate / APPENVRMain::kBlockSize)), 0, kBlocksPerSide - 1);
}

int poseOf(const APPENTTMain& entity)
{
    if (const auto* kip = dynamic_cast<const APPENTTKip*>(&entity))
        return kip->getPose();
    if (const auto* monkey = dynamic_cast<const APPENTTCoderMonkey*>(&entity))
        return monkey->getPose();
    return 0;
}
} // namespace

std::uint64_t APPWRLDShadowCasters::fingerprint(const APPWRLDMain& world, const Vector3& centre, float halfSize)
{
    static std::uint64_t changingEveryCall = 0;
    QRUTILFingerprint print;
    const APPENVRMain* environment = world.getEnvironment();
    if (!environment)
        return print.value();
    const float reach = halfSize + kReach;
    for (int gx = blockIndex(centre.x - reach); gx <= blockIndex(centre.x + reach); ++gx) {
        for (int gz = blockIndex(centre.z - reach); gz <= blockIndex(centre.z + reach); ++gz) {
            const APPENVRBlock* block =
                environment->getBlock(gx / APPENVRMain::kBlocksPerArea, gz / APPENVRMain::kBlocksPerArea,
                                      gx % APPENVRMain::kBlocksPerArea, gz % APPENVRMain::kBlocksPerArea);
            for (int i = 0; i < block->getEntityCount(); ++i) {
                const APPENTTMain* entity = block->getEntity(i);
                if (!entity->castsShadow())
                    continue;
                print.mix(entity->getSerial());
                print.mix(entity->getPosition());
                print.mix(entity->getOrientation());
                print.mix(entity->getSize());
                print.mix(entity->getModel());
                print.mix(poseOf(*entity));
                if (entity->isTransient())
                    print.mix(++changingEveryCall);
            }
        }
    }
    return print.value();
}
