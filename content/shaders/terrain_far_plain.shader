# The terrain far from the eye: the four ground layers' average colours blended by the
# modulation map (a concrete cell carries the concrete texture on all four), the street tile of
# each cell from the street atlas, lit per vertex by the sun; no shadow map this far out.
# For blocks without a street: the same without the street atlas.
shader terrain_far_plain :
set texture2d layer0 to texelunit 0
set texture2d layer1 to texelunit 1
set texture2d layer2 to texelunit 2
set texture2d layer3 to texelunit 3
set texture2d modulationMap to texelunit 4
add vertex shader shaders\terrain_ground.vertex
add vertex shader shaders\terrain_far.vertex
add fragment shader shaders\terrain_ground.fragment
add fragment shader shaders\terrain_nostreet.fragment
add fragment shader shaders\terrain_far.fragment
