// A fingerprint of what the benchmark scenes do, for proving that a speed-up changed nothing: it runs each
// scene for a number of frames and folds into one 64-bit digest per scene the world state after every
// update (grid points, world particles, sparks) and every vertex and index the renderer submits.
//
// Built by scripts/frame-digest.sh against a build's libraries and the benchmark's scene files. It stands
// in for the benchmark's runner, and catches the renderer's submissions by putting a wrapper that hashes
// the arrays in front of the backend's own submission, as the benchmark puts its timer there.
//
// Usage: frame_digest [--frames N]   (run with GALLIUM_NOOP=1 to skip the driver's pixel work)
#include "../bench/bench.h"

#include "app/game.h"
#include "platform/assets.h"
#include "platform/program.h"
#include "platform/render.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/spark.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct TDigest {
    uint64_t value = 1469598103934665603ull;
    void add(const void* bytes, size_t size) {
        const auto* p = static_cast<const uint8_t*>(bytes);
        for (size_t i = 0; i < size; ++i)
            value = (value ^ p[i]) * 1099511628211ull;
    }
    void add(float number) { add(&number, sizeof number); }
    void add(const TVector& v) {
        add(v.x);
        add(v.y);
    }
    void add(const TParticle& p) {
        add(p.position);
        add(p.previousPosition);
        add(p.velocity);
        add(p.acceleration);
    }
};

TDigest worldDigest, vertexDigest;
long submittedVertices = 0;

const TSubmission backend = backendSubmission();

void hashingDrawTriangles(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                          uint32_t texture, int blendMode) {
    vertexDigest.add(vertices, sizeof(TVertex) * static_cast<size_t>(vertexCount));
    vertexDigest.add(indices, sizeof(uint32_t) * static_cast<size_t>(indexCount));
    submittedVertices += vertexCount;
    backend.drawTriangles(vertices, vertexCount, indices, indexCount, texture, blendMode);
}

std::vector<TBenchScene>& scenes() {
    static std::vector<TBenchScene> list;
    return list;
}

void digestWorld() {
    if (!game) return;
    for (const auto& column : game->grid->points)
        for (const TParticle& point : column)
            worldDigest.add(point);
    game->particles.forEach([](TParticle& particle) { worldDigest.add(particle); });
    game->sparks.forEach([](TSpark& spark) {
        worldDigest.add(spark.life);
        worldDigest.add(spark.alpha);
    });
}

} // namespace

bool registerBenchScene(TBenchScene scene) {
    scenes().push_back(std::move(scene));
    return true;
}

long benchAllocationCount() {
    return 0;
}

Picture benchGlowPicture() {
    return loadPictureStrip("incbin::glowing.png", 64, 64, 0, 4, -1);
}

int main(int argc, char** argv) {
    int frames = 300;
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) frames = std::atoi(argv[2]);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!initPlatform() || !openGraphicsWindow(800, 600, 0, 0, 0)) return 1;
    setSubmission({hashingDrawTriangles, backend.clear});
    registerEmbeddedAssets();
    for (TBenchScene& scene : scenes()) {
        // A companion scene draws its host's world its own way: it runs on the host's setup and updates.
        const TBenchScene* world = &scene;
        for (const TBenchScene& host : scenes())
            if (!scene.drawsWorldOf.empty() && host.name == scene.drawsWorldOf) world = &host;
        if (!world->setup || !world->update) {
            std::fprintf(stderr, "frame_digest: scene %s has no world to run\n", scene.name.c_str());
            return 1;
        }
        worldDigest = vertexDigest = TDigest{};
        submittedVertices = 0;
        game = nullptr;
        // A scene drawn at a larger scale submits the very vertices it would at 1.
        setRenderScale(scene.renderScale.empty() ? "auto" : scene.renderScale);
        world->setup();
        for (int frame = 0; frame < frames; ++frame) {
            world->update(1.0f / 60);
            digestWorld();
            if (!scene.draw) continue; // a simulation-only scene: its world is all there is
            clearFrame();
            scene.draw();
            flushDrawing();
        }
        std::printf("DIGEST scene=%s frames=%d world=%016llx vertices=%016llx submitted=%ld\n",
                    scene.name.c_str(), frames, static_cast<unsigned long long>(worldDigest.value),
                    static_cast<unsigned long long>(vertexDigest.value), submittedVertices);
    }
    return 0;
}
