// OpenGL ES 3.0 / WebGL 2 submission: the picture target, one shader that does what the old fixed pipeline
// did (vertex colour times texture, the mask mode's alpha test), textures, handing the core's finished
// batches over, and the final pass onto the window.
//
// The vertices arrive in logical coordinates; the shader maps the logical picture onto the whole target,
// whatever its size in pixels, so the batches are the same at every render scale. Each batch is copied
// into buffers that are refilled for every draw call. Blend mode and bound texture are changed only where
// they differ from what the context already has.
//
// Sections: shader and buffers · state · target · what the core asks of the glState.
#include "platform/gl/gl_device.h"

#include "platform/backend.h"

#include <GLES3/gl3.h>

#include <cstddef>

namespace {

// What this module has made, and what the context currently has, so that submitting a batch only
// changes what differs.
struct TGlDevice {
    bool ready = false;
    int logicalWidth = 0;
    int logicalHeight = 0;
    int targetWidth = 0;
    int targetHeight = 0;
    GLuint targetFramebuffer = 0;
    GLuint targetTexture = 0;
    GLuint program = 0;
    GLint alphaTestUniform = -1;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint boundTexture = 0;
    int appliedBlendMode = 0;
};
TGlDevice glState;

// --- Shader and buffers --------------------------------------------------------------------------------

constexpr const char* VertexShader = R"(#version 300 es
in vec2 position;
in vec2 texCoord;
in vec4 color;
uniform vec2 logicalSize;
out vec2 uv;
out vec4 tint;
void main() {
    uv = texCoord;
    tint = color;
    gl_Position = vec4(position.x * 2.0 / logicalSize.x - 1.0, 1.0 - position.y * 2.0 / logicalSize.y, 0.0, 1.0);
}
)";

constexpr const char* FragmentShader = R"(#version 300 es
precision highp float;
uniform sampler2D picture;
uniform bool alphaTest;
in vec2 uv;
in vec4 tint;
out vec4 fragment;
void main() {
    vec4 colour = texture(picture, uv) * tint;
    if (alphaTest && colour.a < 0.5) discard;
    fragment = colour;
}
)";

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE ? shader : 0;
}

bool buildProgram() {
    const GLuint vertex = compile(GL_VERTEX_SHADER, VertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, FragmentShader);
    if (vertex == 0 || fragment == 0) return false;
    glState.program = glCreateProgram();
    glAttachShader(glState.program, vertex);
    glAttachShader(glState.program, fragment);
    glBindAttribLocation(glState.program, 0, "position");
    glBindAttribLocation(glState.program, 1, "texCoord");
    glBindAttribLocation(glState.program, 2, "color");
    glLinkProgram(glState.program);
    GLint linked = GL_FALSE;
    glGetProgramiv(glState.program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    glUseProgram(glState.program);
    glUniform2f(glGetUniformLocation(glState.program, "logicalSize"),
                static_cast<float>(glState.logicalWidth), static_cast<float>(glState.logicalHeight));
    glUniform1i(glGetUniformLocation(glState.program, "picture"), 0);
    glState.alphaTestUniform = glGetUniformLocation(glState.program, "alphaTest");
    return true;
}

void buildVertexArray() {
    glGenVertexArrays(1, &glState.vertexArray);
    glBindVertexArray(glState.vertexArray);
    glGenBuffers(1, &glState.vertexBuffer);
    glGenBuffers(1, &glState.indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, glState.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glState.indexBuffer);
    const auto stride = static_cast<GLsizei>(sizeof(TVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, u)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, color)));
}

// --- State ---------------------------------------------------------------------------------------------

void applyBlendMode(int mode) {
    if (mode == glState.appliedBlendMode) return;
    glState.appliedBlendMode = mode;
    glUniform1i(glState.alphaTestUniform, mode == BlendMask ? 1 : 0);
    if (mode == BlendMask || mode == BlendSolid) {
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

void bindTexture(GLuint texture) {
    if (texture == glState.boundTexture) return;
    glState.boundTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

// The target keeps an opaque alpha, so read-backs and screenshots come out opaque whatever the blending
// left behind: only colour is written.
void writeColourOnly() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

void clearWhole(float red, float green, float blue) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    writeColourOnly();
}

void discardGlErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i)
        continue;
}

void drawIntoTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, glState.targetFramebuffer);
    glViewport(0, 0, glState.targetWidth, glState.targetHeight);
    writeColourOnly();
}

} // namespace

// --- Target --------------------------------------------------------------------------------------------

bool glDeviceStart(int logicalW, int logicalH) {
    if (glState.ready) return glState.logicalWidth == logicalW && glState.logicalHeight == logicalH;
    glState.logicalWidth = logicalW;
    glState.logicalHeight = logicalH;
    glGenTextures(1, &glState.targetTexture);
    glBindTexture(GL_TEXTURE_2D, glState.targetTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &glState.targetFramebuffer);
    if (!buildProgram()) return false;
    buildVertexArray();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glActiveTexture(GL_TEXTURE0);
    glState.ready = true;
    glState.boundTexture = 0;
    glState.appliedBlendMode = 0;
    applyBlendMode(BlendMask);
    return true;
}

bool gpuSetTargetSize(int width, int height) {
    if (!glState.ready || width <= 0 || height <= 0) return false;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    GLint largestTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    if (width > largest || height > largest || width > largestTexture || height > largestTexture)
        return false;
    glBindTexture(GL_TEXTURE_2D, glState.targetTexture);
    discardGlErrors(); // only this allocation's errors count below
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    const bool allocated = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, glState.boundTexture);
    if (!allocated) return false;
    glBindFramebuffer(GL_FRAMEBUFFER, glState.targetFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, glState.targetTexture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glState.targetWidth = width;
    glState.targetHeight = height;
    drawIntoTarget();
    clearWhole(0, 0, 0);
    return true;
}

void glDeviceShowTarget(int drawableWidth, int drawableHeight, const TLetterbox& box) {
    if (!glState.ready) return;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, glState.targetFramebuffer);
    glViewport(0, 0, drawableWidth, drawableHeight);
    clearWhole(0, 0, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (box.w > 0 && box.h > 0) {
        // At the native scale the target is the box's size: a plain copy keeps every pixel sharp, and so
        // does a whole multiple of it (a picture drawn at 1 on a 1600 x 1200 area), each pixel a block.
        const int times = box.w / glState.targetWidth;
        const bool wholeMultiple =
            box.w == times * glState.targetWidth && box.h == times * glState.targetHeight && times >= 1;
        const GLint bottom = drawableHeight - box.y - box.h;
        glBlitFramebuffer(0, 0, glState.targetWidth, glState.targetHeight, box.x, bottom, box.x + box.w,
                          bottom + box.h, GL_COLOR_BUFFER_BIT, wholeMultiple ? GL_NEAREST : GL_LINEAR);
    }
    drawIntoTarget();
}

// --- What the core asks of the device ------------------------------------------------------------------

void gpuClear(int red, int green, int blue) {
    if (!glState.ready) return;
    clearWhole(red / 255.0f, green / 255.0f, blue / 255.0f);
}

void gpuReadPixels(int x, int y, int width, int height, uint8_t* rgba) {
    if (!glState.ready) return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void gpuDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                      uint32_t texture, int blendMode) {
    if (!glState.ready || indexCount <= 0) return;
    applyBlendMode(blendMode);
    bindTexture(texture);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizeof(TVertex)), vertices,
                 GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * sizeof(uint32_t)), indices,
                 GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
}

uint32_t gpuCreateTexture(const uint8_t* rgba, int width, int height, int flags) {
    if (!glState.ready) return 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width > maxSize || height > maxSize) return 0;

    GLuint id = 0;
    glGenTextures(1, &id);
    glState.boundTexture = id;
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
    if (mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
    if (glGetError() != GL_NO_ERROR) {
        gpuDeleteTexture(id);
        return 0;
    }
    return id;
}

void gpuMakeMipmaps(uint32_t texture, bool filtered) {
    if (!glState.ready || texture == 0) return;
    bindTexture(texture);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
}

void gpuDeleteTexture(uint32_t texture) {
    if (!glState.ready || texture == 0) return;
    if (glState.boundTexture == texture) glState.boundTexture = 0;
    const GLuint id = texture;
    glDeleteTextures(1, &id);
}
