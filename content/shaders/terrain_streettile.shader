# Ground its street tile covers completely: the tile from the street atlas alone, lit per vertex
# by the sun, with the shadow map projected from above; the average colour of the ground under it
# for what a distant, blurred tile lets through.
shader terrain_streettile :
set texture2d layer0 to texelunit 0
set texture2d shadowMap to texelunit 5
set texture2d streetMap to texelunit 6
add vertex shader shaders\terrain_ground.vertex
add vertex shader shaders\terrain_streettile.vertex
add fragment shader shaders\terrain_ground.fragment
add fragment shader shaders\terrain_street.fragment
add fragment shader shaders\terrain_streettile.fragment
