#include "world/FlameEmitter.h"

#include <cmath>
#include <cstdlib>

#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "world/SpriteDrawing.h"

float FlamePreviousTime = 0.0f;
float FlameCurrentTime = 0.0f;
float FlameEmitDebt = 0.0f;
std::array<FlameColour, 4> FlameColours{};

FlameEmitter::FlameEmitter(float amplitude, float lifetime, float wobbleRate)
    : clock(CreateClock()),
      amplitude(amplitude),
      wobbleRate(wobbleRate),
      lifetime(lifetime),
      capacity(
          static_cast<int32_t>(std::ceil(lifetime)) * static_cast<int32_t>(ParticlesPerSecond) + 1),
      particles(capacity),
      vertices(capacity) {
    FlameColours = {
        {{0.4f, 0.8f, 0.9f}, {0.2f, 0.7f, 0.8f}, {0.2f, 0.55f, 0.9f}, {0.66f, 0.66f, 0.88f}}};
    FlamePreviousTime = 0.0f;
    FlameCurrentTime = 0.0f;
    FlameEmitDebt = 0.0f;
}

int32_t FlameEmitter::FirstFreeParticle() const {
    for (int32_t index = 0; index < capacity; ++index) {
        if (!particles[index].active) {
            return index;
        }
    }
    return -1;
}

// Slot 0 reseeds the generator with 0 first, so whatever particle takes it gets the same phase
// and colour. Particles owed for longer are back-dated further.
void FlameEmitter::Emit(int32_t index, Vec3 spawn, float heading) {
    if (index == 0) {
        std::srand(0);
    }
    FlameParticle& particle = particles[index];
    particle.active = true;
    particle.birthTime = FlameCurrentTime - std::fabs(1.5f * FlameEmitDebt);
    particle.x = spawn.x;
    particle.y = spawn.y;
    particle.z = spawn.z;
    particle.heading = heading;
    particle.phase = static_cast<float>(std::rand() % 360);
    const FlameColour& colour = FlameColours[std::rand() % 4];
    particle.red = colour.red;
    particle.green = colour.green;
    particle.blue = colour.blue;
    particle.alpha = 1.0f;
}

void FlameEmitter::UpdateFlame(Vec3 spawn, float heading) {
    FlamePreviousTime = FlameCurrentTime;
    ReadClock(clock.get());
    FlameCurrentTime = ElapsedSeconds(clock.get());
    frameDelta = FlameCurrentTime - FlamePreviousTime;

    if (emitting) {
        if (FlameEmitDebt >= emitInterval) {
            while (FlameEmitDebt >= emitInterval) {
                int32_t index = FirstFreeParticle();
                if (index < 0) {
                    // Every slot is taken: the passes left would each only pay one interval off.
                    // Paying them in one step keeps a very long frame from looping for ever once
                    // the debt is so large that subtracting an interval no longer changes it.
                    FlameEmitDebt = std::fmod(FlameEmitDebt, emitInterval);
                    break;
                }
                Emit(index, spawn, heading);
                FlameEmitDebt -= emitInterval;
            }
        } else {
            FlameEmitDebt += frameDelta;
        }
    }

    for (int32_t index = 0; index < capacity; ++index) {
        FlameParticle& particle = particles[index];
        if (!particle.active) {
            continue;
        }
        float age = FlameCurrentTime - particle.birthTime;
        if (age > lifetime) {
            particle.active = false;
            continue;
        }
        double wobble = (wobbleRate * age * 360.0f + particle.phase) * 0.017453292;
        float sideways = static_cast<float>(std::sin(wobble) * (age / lifetime * amplitude));
        vertices[index] = Vec3{sideways, -(driftSpeed * age), PlayFieldZ};
        particle.alpha = 1.0f - age / lifetime;
    }
}

// Particles grow from a half-size of 0.33 to 1.33 as they fade. Texturing and blending are left
// on, and in the shader path unit 1 stays active: the ship's draw that follows sets what it needs.
void FlameEmitter::DrawFlame() const {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    bool shaderPath = UsesShaderPath(HeatProgram);
    GLint particleAlpha = -1;
    if (shaderPath) {
        glActiveTexture(GL_TEXTURE0);
        BindTexture(Catalogue.glslFlame);
        glEnable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE1);
        BindTexture(Catalogue.glslFlameAlpha);
        glEnable(GL_TEXTURE_2D);
        GLuint program = HeatProgram->program;
        glUseProgram(program);
        GLint flameTexture = glGetUniformLocation(program, ShaderUniforms::Flame.name);
        GLint alphaTexture = glGetUniformLocation(program, ShaderUniforms::FlameAlpha.name);
        particleAlpha = glGetUniformLocation(program, ShaderUniforms::ParticleAlpha.name);
        glUniform1i(flameTexture, 0);
        glUniform1i(alphaTexture, 1);
    } else {
        glEnable(GL_TEXTURE_2D);
        BindTexture(Catalogue.particle);
    }
    for (int32_t index = 0; index < capacity; ++index) {
        const FlameParticle& particle = particles[index];
        if (!particle.active) {
            continue;
        }
        glLoadIdentity();
        glTranslatef(particle.x, particle.y, particle.z);
        glRotatef(particle.heading, 0.0f, 0.0f, 1.0f);
        float halfSize = 1.33f - particle.alpha;
        if (shaderPath) {
            glUniform1f(particleAlpha, particle.alpha);
        } else {
            const GLfloat colour[4] = {particle.red, particle.green, particle.blue, particle.alpha};
            glColor4fv(colour);
        }
        const Vec3& vertex = vertices[index];
        DrawStripQuad(vertex.x, vertex.y, halfSize, vertex.z, true);
    }
    if (shaderPath) {
        glUseProgram(0);
    }
}
