# Unlit and textured: the picture on texel unit 0 times the current colour. The sky box draws with it.
shader unlit_textured :
set texture2d diffuseMap to texelunit 0
add vertex shader shaders\unlit_textured.vertex
add fragment shader shaders\unlit_textured.fragment
