#pragma once
// A running engine whose visual module talks to the GL recorder, with every manager the world's
// parts draw through brought up: extensions for GLSL, vertex buffer objects and multitexturing,
// the material manager (default shaders from the content folder), a 640 x 480 view port and the
// cameras. No display needed.

#include "visual_unit_fixture.h"

#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/view/qr_visx_viewport.h"

#include <filesystem>

class WorldUnitFixture : public VisualUnitFixture {
protected:
    WorldUnitFixture()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                           "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        std::filesystem::copy(std::filesystem::path(KIPSTER_SOURCE_DIR) / "content" / "shaders",
                              programFolder().path() / "shaders", std::filesystem::copy_options::recursive);
        visual_->getExtensionManager()->initialize();
        visual_->getVertexBufferManager()->initialize();
        visual_->getTransform()->initialize();
        visual_->getMaterialManager()->initialize();
        visual_->getViewPort()->set(0, 0, 640, 480);
        visual_->getCameraManager()->initialize();
        gl_.clearCalls();
    }
};
