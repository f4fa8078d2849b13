#include "visual/geometry/qr_visx_displaylist.h"

#include "visual/geometry/qr_visx_displaylistmanager.h"
#include "visual/qr_visx_main.h"

namespace {
QRVISXDisplayListManager* manager()
{
    auto* visual = qrVisual();
    return visual ? visual->getDisplayListManager() : nullptr;
}
} // namespace

QRVISXDisplayList::QRVISXDisplayList(QRObject* owner) : QRRESCMain(owner, "QR VISX Display List") {}

QRVISXDisplayList::~QRVISXDisplayList()
{
    clear();
}

void QRVISXDisplayList::clear()
{
    if (listName_ == -1)
        return;
    if (auto* lists = manager())
        lists->deleteList(*this);
    // Without the visual module its contexts, and the list with them, are gone already.
    listName_ = -1;
}

void QRVISXDisplayList::beginCompile()
{
    auto* lists = manager();
    if (!lists)
        return;
    if (listName_ == -1)
        lists->createList(*this);
    lists->beginCompile(*this);
}

void QRVISXDisplayList::endCompile()
{
    if (auto* lists = manager())
        lists->endCompile(*this);
}

void QRVISXDisplayList::call()
{
    if (listName_ == -1)
        return;
    if (auto* lists = manager())
        lists->callList(*this);
}
