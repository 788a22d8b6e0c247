// The graphics device of the desktop and the browser alike: OpenGL ES 3.0, which is what WebGL 2 is, so
// that one module does the textures, the blend modes, the batches, the picture target and the final pass
// for both and the two cannot drift apart. The desktop backend asks its window system for an OpenGL ES 3
// context, the browser backend for WebGL 2; each makes it current, then starts this module, and calls the
// final pass before its own present.
//
// This module defines the graphics half of backend.h (gpuCreateTexture ... gpuSetTargetSize). Never
// included by the core or the game; includes no window system of its own.
#pragma once

#include "platform/window_layout.h"

// Once the context is current: the shader, the vertex buffers, the picture target's framebuffer and the
// fixed state, for a logical picture of that size. False when the context cannot give them.
bool glDeviceStart(int logicalWidth, int logicalHeight);
// The final pass: the picture target into the drawable (drawableWidth x drawableHeight pixels) at box
// (top-left origin), black around it; pixel for pixel where the sizes agree, each pixel a block where the
// box is a whole multiple of the target, filtered otherwise.
// Drawing goes to the target again afterwards. An empty box shows black only.
void glDeviceShowTarget(int drawableWidth, int drawableHeight, const TLetterbox& box);
