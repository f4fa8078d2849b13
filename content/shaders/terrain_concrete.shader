# Concrete ground near the eye: the concrete texture once instead of blended with itself four
# times, the modulation map's brightness, the street tile of each cell from the street atlas, the
# shadow map projected from above, lit per vertex by the sun; the same picture as the terrain
# shader gives a concrete cell.
shader terrain_concrete :
set texture2d layer0 to texelunit 0
set texture2d modulationMap to texelunit 4
set texture2d shadowMap to texelunit 5
set texture2d streetMap to texelunit 6
add vertex shader shaders\terrain_ground.vertex
add vertex shader shaders\terrain.vertex
add fragment shader shaders\terrain_ground.fragment
add fragment shader shaders\terrain_street.fragment
add fragment shader shaders\terrain_concrete.fragment
