// Mouse callbacks of the drawing window: a left drag does what the current
// interaction mode says, a middle drag zooms. The arithmetic is in drag_steps.
#pragma once

// GLUT mouse callback: anchors a drag on press, stops the trackball on release.
void mouse(int button, int state, int x, int y);
// GLUT motion callback: one drag step for the current mode or the zoom, then a redisplay.
void motion(int x, int y);
// GLUT passive-motion callback: no button is held, so a release that never
// arrived cannot keep the trackball turning.
void passiveMotion(int x, int y);
// Ends the drag in progress whose release will not come (the popup menu takes
// it): the trackball stops and motion does nothing until the next press.
void endDrag();
