// Writes the Stanford bunny of the npm package "bunny" as plain text for simplify_bunny:
// one "v x y z" line per position, then one "f i j k" line per triangle (0-based indices).
// Usage: node dump_bunny.js out.txt
"use strict";
const fs = require("fs");
const { positions, cells } = require("bunny");

if (process.argv.length !== 3) {
    process.stderr.write("usage: node dump_bunny.js out.txt\n");
    process.exit(2);
}
const lines = [];
for (const p of positions) lines.push(`v ${p[0]} ${p[1]} ${p[2]}`);
for (const c of cells) lines.push(`f ${c[0]} ${c[1]} ${c[2]}`);
fs.writeFileSync(process.argv[2], lines.join("\n") + "\n");
process.stdout.write(`dump_bunny: ${positions.length} vertices, ${cells.length} triangles\n`);
