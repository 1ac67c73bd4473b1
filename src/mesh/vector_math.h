// Small helpers on float triples, shared by the mesh preparation, the
// trackball and the camera.
#pragma once

float dotProduct(const float* a, const float* b);
// out = a x b. out may not alias a or b.
void crossProduct(const float* a, const float* b, float* out);
// Square root of dotProduct(v, v), taken in double precision.
float vectorLength(const float* v);
