#include "visual/geometry/qr_visx_displaylistmanager.h"

#include "visual/geometry/qr_visx_displaylist.h"
#include "visual/gl/qr_visx_gl.h"

QRVISXDisplayListManager::QRVISXDisplayListManager(QRObject* owner)
    : QRObject(owner, "QR VISX Display List Manager")
{
}

void QRVISXDisplayListManager::createList(QRVISXDisplayList& list)
{
    logDebug("Creating display list \"" + list.getName() + "\"");
    const GLuint name = qrGL().genLists(1);
    list.setListName(name == 0 ? -1 : static_cast<GLint>(name));
    if (name == 0)
        reportError("createList", "Could not create display list \"" + list.getName() + "\"");
}

void QRVISXDisplayListManager::deleteList(QRVISXDisplayList& list)
{
    logDebug("Deleting display list \"" + list.getName() + "\"");
    const auto name = static_cast<GLuint>(list.getListName());
    if (list.getListName() != -1 && qrGL().isList(name))
        qrGL().deleteLists(name, 1);
    list.setListName(-1);
}

void QRVISXDisplayListManager::beginCompile(QRVISXDisplayList& list)
{
    if (list.getListName() != -1)
        qrGL().newList(static_cast<GLuint>(list.getListName()), GL_COMPILE);
}

void QRVISXDisplayListManager::endCompile(QRVISXDisplayList& list)
{
    if (list.getListName() != -1)
        qrGL().endList();
}

void QRVISXDisplayListManager::callList(const QRVISXDisplayList& list)
{
    if (list.getListName() != -1)
        qrGL().callList(static_cast<GLuint>(list.getListName()));
}
