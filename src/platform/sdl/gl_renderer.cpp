// OpenGL submission: entry points, the offscreen target, textures, and handing the core's finished batches
// to the driver.
//
// The batch arrives as client arrays of the core's vertices. The array pointers are set again only when
// the core hands over arrays at another address (it never does once running), and OpenGL's blend mode and
// bound texture are changed only where they differ from what it already has.
#include "platform/sdl/sdl_backend.h"

#include "platform/backend.h"

#include <SDL.h>
#include <SDL_opengl.h>

namespace {

// --- Entry points and target ---------------------------------------------------------------------------

struct TGlEntryPoints {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLGENERATEMIPMAPPROC generateMipmap = nullptr;
    PFNGLDRAWRANGEELEMENTSPROC drawRangeElements = nullptr;
};

TGlEntryPoints gl;

template <typename T> bool loadEntryPoint(T& target, const char* name) {
    target = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return target != nullptr;
}

bool loadEntryPoints() {
    return loadEntryPoint(gl.genFramebuffers, "glGenFramebuffers") &&
           loadEntryPoint(gl.bindFramebuffer, "glBindFramebuffer") &&
           loadEntryPoint(gl.framebufferTexture2D, "glFramebufferTexture2D") &&
           loadEntryPoint(gl.checkFramebufferStatus, "glCheckFramebufferStatus") &&
           loadEntryPoint(gl.blitFramebuffer, "glBlitFramebuffer") &&
           loadEntryPoint(gl.generateMipmap, "glGenerateMipmap") &&
           loadEntryPoint(gl.drawRangeElements, "glDrawRangeElements");
}

bool ready = false;
int targetWidth = 0;
int targetHeight = 0;
GLuint targetFramebuffer = 0;
GLuint targetTexture = 0;

// What OpenGL currently has, so that submitting a batch only changes what differs.
GLuint boundTexture = 0;
int appliedBlendMode = 0;
const TVertex* arraysAt = nullptr;

void applyBlendMode(int mode) {
    if (mode == appliedBlendMode) return;
    appliedBlendMode = mode;
    if (mode == BlendMask) {
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        return;
    }
    glDisable(GL_ALPHA_TEST);
    if (mode == BlendSolid) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    if (mode == BlendAlpha)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    else if (mode == BlendAdditive)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    else
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
}

void discardGlErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i)
        continue;
}

void bindTexture(GLuint texture) {
    if (texture == boundTexture) return;
    boundTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

void pointArraysAt(const TVertex* vertices) {
    if (vertices == arraysAt) return;
    arraysAt = vertices;
    glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &vertices->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &vertices->u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(TVertex), &vertices->color[0]);
}

void setFixedState() {
    glViewport(0, 0, targetWidth, targetHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, targetWidth, targetHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    arraysAt = nullptr;
    appliedBlendMode = 0;
    applyBlendMode(BlendMask);
}

} // namespace

// --- Target --------------------------------------------------------------------------------------------

bool startGlTarget(int width, int height) {
    if (ready) return targetWidth == width && targetHeight == height;
    if (!loadEntryPoints()) return false;
    targetWidth = width;
    targetHeight = height;
    glGenTextures(1, &targetTexture);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // No alpha channel: read-backs and screenshots come out opaque whatever the blending left behind.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.genFramebuffers(1, &targetFramebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    ready = true;
    boundTexture = 0;
    setFixedState();
    return true;
}

void blitTargetToWindow(int drawableWidth, int drawableHeight, int x, int y, int w, int h) {
    if (!ready) return;
    flushBatch();
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, targetFramebuffer);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLenum filter = (w == targetWidth && h == targetHeight) ? GL_NEAREST : GL_LINEAR;
    gl.blitFramebuffer(0, 0, targetWidth, targetHeight, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, filter);
}

void rebindTarget() {
    gl.bindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glViewport(0, 0, targetWidth, targetHeight);
}

// --- What the core asks of the backend -----------------------------------------------------------------

void gpuClear(int red, int green, int blue) {
    if (!ready) return;
    glClearColor(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void gpuReadPixels(int x, int y, int width, int height, uint8_t* rgba) {
    if (!ready) return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void gpuDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                      uint32_t texture, int blendMode) {
    if (!ready) return;
    pointArraysAt(vertices);
    applyBlendMode(blendMode);
    bindTexture(texture);
    gl.drawRangeElements(GL_TRIANGLES, 0, static_cast<GLuint>(vertexCount - 1), indexCount, GL_UNSIGNED_INT,
                         indices);
}

uint32_t gpuCreateTexture(const uint8_t* rgba, int width, int height, int flags) {
    if (!ready) return 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width > maxSize || height > maxSize) return 0;

    GLuint id = 0;
    glGenTextures(1, &id);
    boundTexture = id;
    glBindTexture(GL_TEXTURE_2D, id);
    const bool filtered = (flags & PictureFiltered) != 0;
    const bool mipmapped = (flags & PictureMipmapped) != 0;
    GLint minFilter = filtered ? GL_LINEAR : GL_NEAREST;
    if (mipmapped) minFilter = filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    discardGlErrors(); // only this upload's errors count below
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    if (mipmapped) gl.generateMipmap(GL_TEXTURE_2D);
    if (glGetError() != GL_NO_ERROR) {
        gpuDeleteTexture(id);
        return 0;
    }
    return id;
}

void gpuDeleteTexture(uint32_t texture) {
    if (!ready || texture == 0) return;
    if (boundTexture == texture) boundTexture = 0;
    const GLuint id = texture;
    glDeleteTextures(1, &id);
}
