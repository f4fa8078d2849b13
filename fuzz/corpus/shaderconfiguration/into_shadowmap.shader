# The shadow pass: every caster is drawn black into the white shadow map, seen from above.
shader into_shadowmap :
add vertex shader shaders\into_shadowmap.vertex
add fragment shader shaders\into_shadowmap.fragment
