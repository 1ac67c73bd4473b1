Face 1 1 2 3
Vertex 1 0 0 0
Vertex 2 1 0 0
Vertex 3 2 0 0
Face 1 1 2 3
Face 2 0 1 2
Face 3 1 2 2147483648
Face 4 1 -2 3
Face 5 1/1 2/2 3/3
Face 6 1 2 3 }
vertex 4 1 1 1
Vertex	4 1 1 1
#Vertex 5 1 1 1
