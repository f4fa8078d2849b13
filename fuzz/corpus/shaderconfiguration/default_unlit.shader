# The unlit program: vertex colour times the texture on texel unit 0 when one is bound.
shader default_unlit :
set texture2d diffuseMap to texelunit 0
add vertex shader shaders\default\default_unlit.vertex
add fragment shader shaders\default\default_unlit.fragment
