// A plain-text picture of the viewer state for long-running tests: with
// MESHSHADE_STATE_REPORT naming a file, the idle callback rewrites it about
// once a second, with the heap in use. Without it this costs one getenv.
#pragma once

void writeStateReportIfAsked();
