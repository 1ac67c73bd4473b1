# a tetrahedron, counter-clockwise seen from outside
Vertex 1 0 0 0
Vertex 2 1 0 0
Vertex 3 0 1 0
Vertex 4 0 0 1
Face 1 1 3 2
Face 2 1 2 4
Face 3 1 4 3
Face 4 2 3 4
