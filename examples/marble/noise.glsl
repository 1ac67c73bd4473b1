// noise.glsl: smooth random values in space ("value noise") and fractal sums
// of it, the building block of most procedural materials. Include it with
//     #include "noise.glsl"
// in a program file; it declares functions only, no uniforms and no entry.

// A pseudo-random number in [0, 1) for a point of the integer lattice. Any
// function that scrambles its input well will do; this one uses no tables.
float latticeValue(vec3 p)
{
    p = fract(p * 0.3183099 + 0.1);
    p *= 17.0;
    return fract(p.x * p.y * p.z * (p.x + p.y + p.z));
}

// Value noise, 0 to 1: random values at the lattice points, blended between
// the eight corners of the cell that holds x.
float noise(vec3 x)
{
    vec3 cell = floor(x);
    vec3 f = fract(x);
    // smoothstep's curve instead of a straight line, so the blend has no
    // creases where one cell meets the next
    vec3 u = f * f * (3.0 - 2.0 * f);
    float x00 = mix(latticeValue(cell + vec3(0.0, 0.0, 0.0)), latticeValue(cell + vec3(1.0, 0.0, 0.0)), u.x);
    float x10 = mix(latticeValue(cell + vec3(0.0, 1.0, 0.0)), latticeValue(cell + vec3(1.0, 1.0, 0.0)), u.x);
    float x01 = mix(latticeValue(cell + vec3(0.0, 0.0, 1.0)), latticeValue(cell + vec3(1.0, 0.0, 1.0)), u.x);
    float x11 = mix(latticeValue(cell + vec3(0.0, 1.0, 1.0)), latticeValue(cell + vec3(1.0, 1.0, 1.0)), u.x);
    return mix(mix(x00, x10, u.y), mix(x01, x11, u.y), u.z);
}

// Fractal noise, about 0 to 1: `octaves` layers of noise, each twice as fine
// and half as strong as the one before, so large shapes carry small detail.
float fractalNoise(vec3 x, int octaves)
{
    float sum = 0.0, amplitude = 0.5, total = 0.0;
    // GLSL 1.20 drivers may want a constant loop bound: count to 8, stop early.
    for (int i = 0; i < 8; i++) {
        if (i >= octaves) break;
        sum += amplitude * noise(x);
        total += amplitude;
        x *= 2.0;
        amplitude *= 0.5;
    }
    return sum / total;
}
