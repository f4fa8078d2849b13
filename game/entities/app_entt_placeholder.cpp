#include "entities/app_entt_placeholder.h"

#include "file/qr_file_file.h"

#include <utility>

APPENTTPlaceholder::APPENTTPlaceholder(QRObject* owner, const Vector3& position, std::string typeName,
                                       APPENTTRecordTail tail, bool transient)
    : APPENTTMain(owner, position), typeName_(std::move(typeName)), tail_(tail), transient_(transient)
{
}

bool APPENTTPlaceholder::save(QRFILEFile& file) const
{
    if (!APPENTTMain::save(file))
        return false;
    switch (tail_) {
    case APPENTTRecordTail::None:
        return true;
    case APPENTTRecordTail::ModelName:
        return file.write(modelName_);
    case APPENTTRecordTail::EmitterFields:
        return file.write(extent_) && file.write(rate_) && file.write(remaining_);
    }
    return true;
}

bool APPENTTPlaceholder::load(QRFILEFile& file)
{
    if (!APPENTTMain::load(file))
        return false;
    switch (tail_) {
    case APPENTTRecordTail::None:
        return true;
    case APPENTTRecordTail::ModelName:
        // Scenery shows its model even before its own class joins.
        if (!file.read(modelName_))
            return false;
        if (!modelName_.empty())
            setModelByName(modelName_);
        return true;
    case APPENTTRecordTail::EmitterFields:
        return file.read(extent_) && file.read(rate_) && file.read(remaining_);
    }
    return true;
}
