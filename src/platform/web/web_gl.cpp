// WebGL 2 submission: the offscreen target, one shader that does what the desktop's fixed pipeline does
// (vertex colour times texture, the mask mode's alpha test), textures, and handing the core's finished
// batches over. The batch is copied into buffers that are refilled for every draw call.
#include "platform/web/web_backend.h"

#include "platform/backend.h"

#include <GLES3/gl3.h>

#include <cstddef>

namespace {

bool ready = false;
int targetWidth = 0;
int targetHeight = 0;
GLuint targetFramebuffer = 0;
GLuint targetTexture = 0;
GLuint program = 0;
GLint alphaTestUniform = -1;
GLuint vertexArray = 0;
GLuint vertexBuffer = 0;
GLuint indexBuffer = 0;

// What WebGL currently has, so that submitting a batch only changes what differs.
GLuint boundTexture = 0;
int appliedBlendMode = 0;

constexpr const char* VertexShader = R"(#version 300 es
in vec2 position;
in vec2 texCoord;
in vec4 color;
uniform vec2 targetSize;
out vec2 uv;
out vec4 tint;
void main() {
    uv = texCoord;
    tint = color;
    gl_Position = vec4(position.x * 2.0 / targetSize.x - 1.0, 1.0 - position.y * 2.0 / targetSize.y, 0.0, 1.0);
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
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "texCoord");
    glBindAttribLocation(program, 2, "color");
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "targetSize"), static_cast<float>(targetWidth),
                static_cast<float>(targetHeight));
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    alphaTestUniform = glGetUniformLocation(program, "alphaTest");
    return true;
}

void buildVertexArray() {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    const auto stride = static_cast<GLsizei>(sizeof(TVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(TVertex, u)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(TVertex, color)));
}

void applyBlendMode(int mode) {
    if (mode == appliedBlendMode) return;
    appliedBlendMode = mode;
    glUniform1i(alphaTestUniform, mode == BlendMask ? 1 : 0);
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
    if (texture == boundTexture) return;
    boundTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

// The target keeps an opaque alpha, as the desktop's alpha-less target reads back: only colour is written.
void writeColourOnly() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

void discardGlErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i)
        continue;
}

} // namespace

// --- Target --------------------------------------------------------------------------------------------

bool startWebGlTarget(int width, int height) {
    if (ready) return targetWidth == width && targetHeight == height;
    targetWidth = width;
    targetHeight = height;
    glGenTextures(1, &targetTexture);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &targetFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || !buildProgram()) return false;
    buildVertexArray();
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glActiveTexture(GL_TEXTURE0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    writeColourOnly();
    ready = true;
    boundTexture = 0;
    appliedBlendMode = 0;
    applyBlendMode(BlendMask);
    return true;
}

void blitTargetToCanvas(int bufferWidth, int bufferHeight, int x, int y, int w, int h) {
    if (!ready) return;
    flushBatch();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, targetFramebuffer);
    glViewport(0, 0, bufferWidth, bufferHeight);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // A whole multiple (the usual case on a high-DPI screen at 2x) keeps every picture pixel a sharp block.
    const bool wholeMultiple = w % targetWidth == 0 && h % targetHeight == 0;
    const GLenum filter = wholeMultiple ? GL_NEAREST : GL_LINEAR;
    glBlitFramebuffer(0, 0, targetWidth, targetHeight, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, filter);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glViewport(0, 0, targetWidth, targetHeight);
    writeColourOnly();
}

// --- What the core asks of the backend -----------------------------------------------------------------

void gpuClear(int red, int green, int blue) {
    if (!ready) return;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    writeColourOnly();
}

void gpuReadPixels(int x, int y, int width, int height, uint8_t* rgba) {
    if (!ready) return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void gpuDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                      uint32_t texture, int blendMode) {
    if (!ready || indexCount <= 0) return;
    applyBlendMode(blendMode);
    bindTexture(texture);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizeof(TVertex)), vertices,
                 GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * sizeof(uint32_t)), indices,
                 GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
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
    if (mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
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
