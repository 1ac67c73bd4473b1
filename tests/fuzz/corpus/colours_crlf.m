Vertex 1 -1.5e2 2.5E-1 +3
Vertex 2 .5 5. 0x1p3
Vertex 3 1e-50 -0 7 trailing
Vertex 4 1 1 1
Face 1 1 2 3{rgb=(1 0 0)}
Face 2 2 3 4 {rgb=(0.2 0.4 1) matid=3}
Face 3 1 3 4 { matid=2 }
Face 4 4 3 2 1 2
Face 5 1 2 3 {rgb=(1 0)}
Face 6 1 2 9
Vertex 5 nan inf 1e39