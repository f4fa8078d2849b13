# The program for materials that name no shader: lit per pixel by light 0, vertex colour times
# the texture on texel unit 0 when one is bound.
shader default_solid :
set texture2d diffuseMap to texelunit 0
add vertex shader shaders\default\default_solid.vertex
add fragment shader shaders\default\default_solid.fragment
