# Models: face colours times the picture on texel unit 0 when one is bound, lit by the sun.
shader model_lit :
set texture2d modelTexture to texelunit 0
add vertex shader shaders\model_lit.vertex
add fragment shader shaders\model_lit.fragment
