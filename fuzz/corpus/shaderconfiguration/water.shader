# The water surface: the flat grid of one terrain block placed at the block's corner
# ("worldoffset"), waving with the elapsed time, the water picture scrolling over it in two
# layers, lit by the sun and blended over the ground with the current colour's alpha.
shader water :
set texture2d waterMap to texelunit 0
add vertex shader shaders\water.vertex
add fragment shader shaders\water.fragment
