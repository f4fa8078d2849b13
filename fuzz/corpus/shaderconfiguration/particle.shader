# Particles: every particle arrives as four vertices at its centre; the vertex shader spreads them
# to the corners of a square facing the camera, sized and turned per particle, and picks the
# particle's cell of the texture sheet. The colour carries the fade.
shader particle :
set texture2d particleMap to texelunit 0
add vertex shader shaders\particle.vertex
add fragment shader shaders\particle.fragment
