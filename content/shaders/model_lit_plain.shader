# Models' plain faces: face colours lit by the sun, no picture.
shader model_lit_plain :
add vertex shader shaders\model_lit.vertex
add fragment shader shaders\model_lit_plain.fragment
