// The windows beside the drawing window: the control panel and the popup menus'
// windows. They need no depth buffer, and they share one OpenGL context.
#pragma once

// Every window GLUT opens between these two calls is a side window: double
// buffered colour without depth, drawn with the one context of the side windows.
// The display mode in force before is in force again afterwards.
void beginSideWindows();
void endSideWindows();
