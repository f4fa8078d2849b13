# The terrain: four ground layers blended by the modulation map (a concrete cell carries the
# concrete texture on all four), the street tile of each cell from the street atlas, the shadow
# map projected from above, lit per vertex by the sun. The ground near the eye.
# For cells where neither the earth nor the rock layer has weight: grass and meadow only.
shader terrain_meadow :
set texture2d layer0 to texelunit 0
set texture2d layer1 to texelunit 1
set texture2d modulationMap to texelunit 4
set texture2d shadowMap to texelunit 5
set texture2d streetMap to texelunit 6
add vertex shader shaders\terrain_ground.vertex
add vertex shader shaders\terrain.vertex
add fragment shader shaders\terrain_ground.fragment
add fragment shader shaders\terrain_street.fragment
add fragment shader shaders\terrain_noearth.fragment
add fragment shader shaders\terrain_norock.fragment
add fragment shader shaders\terrain.fragment
