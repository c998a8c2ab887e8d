#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingGL.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/InvulnObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"
#include "world/StarburstObject.h"

namespace {

using Strings = std::map<std::string, std::string>;
using Quad = std::vector<std::vector<double>>;  // six vertices of (s, t, x, y)

std::vector<std::vector<float>> Colours;  // what glColor4fv was given

void APIENTRY CaptureColour(const GLfloat* c) {
    Colours.push_back({c[0], c[1], c[2], c[3]});
}

// Numbers as text, each as "%.4g", separated by spaces.
std::string Numbers(const std::vector<double>& numbers) {
    std::string text;
    for (double number : numbers) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%s%.4g", text.empty() ? "" : " ", number);
        text += digits;
    }
    return text;
}

// A bound texture name as its catalogue path without "textures/" and ".tga".
std::string Picture(double name) {
    int row = static_cast<int>(name - GameScene::FirstCatalogueName);
    if (row < 0 || row >= CatalogueTextureCount) {
        return "texture " + Numbers({name});
    }
    std::string path = CatalogueTextures[row].path;
    return path.substr(9, path.size() - 13);
}

// What one glBegin drew with: the program in use, the picture each of its samplers read (on the
// fixed path each textured unit's, as "unit N") and the values of its other uniforms.
struct SpriteDraw {
    double program = 0;
    Strings reads;
    Strings values;
};

// The recorded calls replayed as GL would keep its state: every draw, what was left textured,
// active and in use at the end, and the last call that set each uniform of each program.
struct Replay {
    std::vector<SpriteDraw> draws;
    std::set<int> texturedUnits;
    int activeUnit = 0;
    double program = 0;
    std::map<double, std::map<std::string, RecordedCall>> uniforms;
};

Replay ReplayCalls() {
    Replay gl;
    std::map<int, double> bound;
    for (const RecordedCall& call : RecordingGL::Calls()) {
        bool texturing = !call.args.empty() && call.args[0] == GL_TEXTURE_2D;
        if (call.name == "glActiveTexture") {
            gl.activeUnit = static_cast<int>(call.args[0]) - GL_TEXTURE0;
        } else if (call.name == "glBindTexture") {
            bound[gl.activeUnit] = call.args[1];
        } else if (call.name == "glEnable" && texturing) {
            gl.texturedUnits.insert(gl.activeUnit);
        } else if (call.name == "glDisable" && texturing) {
            gl.texturedUnits.erase(gl.activeUnit);
        } else if (call.name == "glUseProgram") {
            gl.program = call.args[0];
        } else if (call.name.rfind("glUniform", 0) == 0) {
            RecordingGL::Uniform uniform = RecordingGL::UniformAt(static_cast<GLint>(call.args[0]));
            EXPECT_EQ(uniform.program, gl.program) << uniform.name << " of another program";
            gl.uniforms[gl.program][uniform.name] = call;
        } else if (call.name == "glBegin") {
            SpriteDraw draw{gl.program, {}, {}};
            for (int unit : gl.texturedUnits) {
                if (gl.program == 0) {  // the shader path reads what its samplers name
                    draw.reads["unit " + std::to_string(unit)] = Picture(bound[unit]);
                }
            }
            for (const auto& [name, set] : gl.uniforms[gl.program]) {
                std::vector<double> values(set.args.begin() + 1, set.args.end());
                if (set.name == "glUniform1i") {
                    draw.reads[name] = Picture(bound[static_cast<int>(values[0])]);
                } else {
                    draw.values[name] = Numbers(values);
                }
            }
            gl.draws.push_back(draw);
        }
    }
    return gl;
}

// The light of a lit sprite turned by its angle, at its distance, and its specular factor.
Strings Light(double degrees, double distance, double specular) {
    double a = degrees * DegreesToRadians;
    return {{"LightPosition", Numbers({std::cos(a) * distance, std::sin(a) * distance, 0.35})},
            {"SpecularFactor", Numbers({specular})}};
}

Quad LastQuad() {
    std::vector<RecordedCall> st = RecordingGL::CallsTo("glTexCoord2f");
    std::vector<RecordedCall> xyz = RecordingGL::CallsTo("glVertex3f");
    Quad quad;
    for (size_t i = xyz.size() - 6; i < xyz.size(); ++i) {
        quad.push_back({st[i].args[0], st[i].args[1], xyz[i].args[0], xyz[i].args[1]});
    }
    return quad;
}

// The sprite quad's corners, with t = 0 at the top unless flipped, about (x, y).
Quad CornerQuad(float h, bool flipped = false, float x = 0, float y = 0) {
    Quad quad = {{0, 0, -h, h}, {1, 0, h, h},   {1, 1, h, -h},
                 {1, 1, h, -h}, {0, 1, -h, -h}, {0, 0, -h, h}};
    for (std::vector<double>& corner : quad) {
        corner = {corner[0], flipped ? 1 - corner[1] : corner[1], x + static_cast<float>(corner[2]),
                  y + static_cast<float>(corner[3])};
    }
    return quad;
}

}  // namespace

// Draws in a game scene, whose catalogue textures each have a name of their own, with the heat
// program built as 73 and the other two as each case says: 71 (default) and 72 (invulnerable
// ship), or 0 for one that failed to build.
class WorldDrawTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        PublishedGLLegacy.glColor4fv = CaptureColour;
        Colours.clear();
        programs[2].program = 73;
        DefaultProgram = &programs[0];
        ShipInvProgram = &programs[1];
        HeatProgram = &programs[2];
    }

    void TearDown() override {
        DefaultProgram = ShipInvProgram = HeatProgram = nullptr;
        PlayFieldTest::TearDown();
    }

    GameScene scene;
    ShaderProgram programs[3];
};

// Each sprite reads its own pictures, through the default program on the shader path, lit by a
// light turned with it. The ship draws over its flame, t = 1 at the top; the shielded look through
// its own program, the noise moved by the time since the shot. A program that failed to build
// sends the draw down the fixed path: the ship's picture goes on unit 0 alone, though the flame's
// shader left unit 1 active. Every draw leaves no unit textured, unit 0 active and no program in
// use, and sets in the program it uses exactly the uniforms that program's row of
// ShaderProgramSources lists (the row the kit checks the shader sources against), each with the
// setter its GLSL type takes.
TEST_F(WorldDrawTest, EachSpriteReadsItsPicturesAndLeavesTheTextureUnitsAsItFoundThem) {
    auto* asteroid = Add(new MediumAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    asteroid->variant = 1;
    asteroid->angle = 30.0f;
    auto* spread = Add(new SpreadObject(Vec2{}, 10.0f));
    spread->Update(5.0f);  // its wobble at 180 degrees
    auto* huge = Add(new HugeAsteroidObject(Vec3{}, Vec3{}, 0.0f));
    auto* invuln = Add(new InvulnObject(Vec2{}, 10.0f));
    auto* longRange = Add(new LongRangeObject(Vec2{}, 10.0f));
    auto* starburst = Add(new StarburstObject(Vec2{}, 10.0f));
    auto* wreck = Add(new ExplosionObject(Vec2{}, 0.75f));
    wreck->Update(0.375f);  // half way: turned by 5 degrees
    auto* shielded = Add(new ShipObject);
    auto* bare = Add(new ShipObject);
    bare->vulnerable = true;
    for (ShipObject* ship : {shielded, bare}) {
        ship->sinceShot = 123.0f;
        ship->flame->particles[0].active = true;
    }
    auto lit = [](const std::string& picture, const Strings& light) {
        return SpriteDraw{
            71, {{"texture0", "glsl/" + picture}, {"texture1", "glsl/" + picture + "n"}}, light};
    };
    auto fixed = [](const std::string& picture) {
        return SpriteDraw{0, {{"unit 0", "gameplay/" + picture}}, {}};
    };
    const Strings still = Light(0, 0.3, 0.6);
    Strings shieldValues = still;
    shieldValues["noffset"] = Numbers({std::sin(123.0f)});
    const SpriteDraw flame{
        73, {{"flame", "glsl/flame"}, {"alpha", "glsl/flamealpha"}}, {{"particleAlpha", "0"}}};
    const SpriteDraw shield{
        72,
        {{"texture0", "glsl/ship"}, {"texture1", "glsl/shipinvn"}, {"texture2", "glsl/noise"}},
        shieldValues};
    std::vector<SpriteDraw> pieces;
    for (int piece = 0; piece < 7; ++piece) {
        pieces.push_back(fixed("shipp" + std::to_string(piece)));
    }
    const Quad strip = {{0, 1, -2, 2},  {1, 1, 2, 2}, {0, 0, -2, -2},
                        {0, 0, -2, -2}, {1, 1, 2, 2}, {1, 0, 2, -2}};
    const struct {
        BaseObject* sprite;
        bool glsl;
        GLuint defaultProgram, shipInvProgram;  // 0 for one that failed to build
        std::vector<SpriteDraw> draws;
        Quad quad;     // of the last draw
        double angle;  // of the last turn
    } cases[] = {
        {asteroid, true, 71, 72, {lit("asteroid1", Light(30, 0.2, 0.25))}, CornerQuad(1), 30},
        {asteroid, true, 0, 72, {fixed("asteroid1")}, CornerQuad(1), 30},
        {huge, true, 71, 72, {fixed("finalasteroid")}, CornerQuad(16), 0},
        {invuln, false, 71, 72, {fixed("powerinvuln")}, CornerQuad(1), 0},
        {spread, false, 71, 72, {fixed("powerspread")}, CornerQuad(1, true), 180},
        {invuln, true, 71, 72, {lit("powerinvuln", still)}, CornerQuad(1), 0},
        {longRange, true, 71, 72, {lit("powerlongrange", still)}, CornerQuad(1), 0},
        {starburst, true, 71, 72, {lit("powerstarburst", still)}, CornerQuad(1), 0},
        {spread, true, 71, 72, {lit("powerspread", Light(180, 0.3, 0.6))}, CornerQuad(1), 180},
        {wreck, true, 71, 72, pieces, CornerQuad(2, false, 1.0f, 1.15f), 5},  // piece 6 last
        {shielded, false, 71, 72, {fixed("particle"), fixed("shipinv")}, strip, 0},
        {shielded, true, 71, 72, {flame, shield}, strip, 0},
        {shielded, true, 71, 0, {flame, fixed("shipinv")}, strip, 0},
        {bare, true, 71, 72, {flame, lit("ship", still)}, strip, 0},
        {bare, true, 0, 72, {flame, fixed("ship")}, strip, 0},
    };
    const Strings typeSetBy = {
        {"glUniform1i", "sampler2D"}, {"glUniform1f", "float"}, {"glUniform3f", "vec3"}};
    std::map<double, Strings> set, listed;
    for (const auto& one : cases) {
        SCOPED_TRACE(&one - cases);
        GlslEnabled = one.glsl;
        programs[0].program = one.defaultProgram;
        programs[1].program = one.shipInvProgram;
        RecordingGL::ClearCalls();
        one.sprite->Draw();
        Replay gl = ReplayCalls();
        ASSERT_EQ(gl.draws.size(), one.draws.size());
        for (size_t i = 0; i < one.draws.size(); ++i) {
            EXPECT_EQ(gl.draws[i].program, one.draws[i].program) << i;
            EXPECT_EQ(gl.draws[i].reads, one.draws[i].reads) << i;
            EXPECT_EQ(gl.draws[i].values, one.draws[i].values) << i;
        }
        EXPECT_EQ(LastQuad(), one.quad);
        EXPECT_EQ(RecordingGL::CallsTo("glRotatef").back().args,
                  (std::vector<double>{one.angle, 0, 0, 1}));
        EXPECT_TRUE(gl.texturedUnits.empty() && gl.activeUnit == 0 && gl.program == 0);
        for (const auto& [program, uniforms] : gl.uniforms) {
            for (const auto& [name, call] : uniforms) {
                set[program][name] = typeSetBy.at(call.name);
            }
        }
    }
    programs[0].program = 71;
    programs[1].program = 72;
    for (const ShaderProgramSource& source : ShaderProgramSources) {
        for (const ShaderUniform& uniform : source.uniforms) {
            listed[(*source.handle)->program][uniform.name] = uniform.glslType;
        }
    }
    EXPECT_EQ(set, listed);
    RecordingGL::ClearCalls();
    asteroid->Draw();
    EXPECT_EQ(RecordingGL::CallsTo("glTranslatef")[0].args, (std::vector<double>{3, 4, -25}));
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(1, 0.75f, 0.75f).x, -0.05f);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(4, 0.75f, 0.75f).y, -0.1f);
}

TEST_F(WorldDrawTest, FlameParticlesGrowAsTheyFadeInTheirOwnColour) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.particles[3] = FlameParticle{true, 0, 5, 6, PlayFieldZ, 45, 0, 0.2f, 0.7f, 0.8f, 0.0f};
    flame.vertices[3] = Vec3{0.5f, -1.0f, PlayFieldZ};
    flame.DrawFlame();
    EXPECT_EQ(RecordingGL::CallsTo("glTranslatef")[0].args, (std::vector<double>{5, 6, -25}));
    EXPECT_EQ(RecordingGL::CallsTo("glRotatef")[0].args, (std::vector<double>{45, 0, 0, 1}));
    EXPECT_EQ(ReplayCalls().draws[0].reads, (Strings{{"unit 0", "gameplay/particle"}}));
    EXPECT_EQ(Colours, (std::vector<std::vector<float>>{{0.2f, 0.7f, 0.8f, 0.0f}}));
    Quad quad = LastQuad();
    EXPECT_NEAR(quad[0][2], 0.5 - 1.33, 1e-6) << "alpha 0: half-size 1.33";
    EXPECT_NEAR(quad[5][3], -1.0 - 1.33, 1e-6);
}
