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

// The sprite quad's corners, with t = 0 at the top unless flipped.
Quad CornerQuad(double h, bool flipped = false) {
    Quad quad = {{0, 0, -h, h}, {1, 0, h, h},   {1, 1, h, -h},
                 {1, 1, h, -h}, {0, 1, -h, -h}, {0, 0, -h, h}};
    for (std::vector<double>& corner : quad) {
        corner[1] = flipped ? 1 - corner[1] : corner[1];
    }
    return quad;
}

}  // namespace

// Draws in a game scene, whose catalogue textures each have a name of their own, with the three
// programs built as 71 (default), 72 (invulnerable ship) and 73 (heat).
class WorldDrawTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        PublishedGLLegacy.glColor4fv = CaptureColour;
        Colours.clear();
        for (int i = 0; i < 3; ++i) {
            programs[i].program = 71 + i;
        }
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
// light turned with it, and leaves no unit textured, unit 0 active and no program in use. A
// program that failed to build sends the draw down the fixed path.
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
    auto lit = [](const char* picture) {
        return Strings{{"texture0", std::string("glsl/") + picture},
                       {"texture1", std::string("glsl/") + picture + "n"}};
    };
    auto fixed = [](const char* picture) { return Strings{{"unit 0", picture}}; };
    const struct {
        BaseObject* sprite;
        bool glsl;
        GLuint defaultProgram;
        Strings reads, values;
        Quad quad;
    } cases[] = {
        {asteroid, true, 71, lit("asteroid1"), Light(30, 0.2, 0.25), CornerQuad(1)},
        {asteroid, true, 0, fixed("gameplay/asteroid1"), {}, CornerQuad(1)},
        {huge, true, 71, fixed("gameplay/finalasteroid"), {}, CornerQuad(16)},
        {invuln, false, 71, fixed("gameplay/powerinvuln"), {}, CornerQuad(1)},
        {spread, false, 71, fixed("gameplay/powerspread"), {}, CornerQuad(1, true)},
        {invuln, true, 71, lit("powerinvuln"), Light(0, 0.3, 0.6), CornerQuad(1)},
        {longRange, true, 71, lit("powerlongrange"), Light(0, 0.3, 0.6), CornerQuad(1)},
        {starburst, true, 71, lit("powerstarburst"), Light(0, 0.3, 0.6), CornerQuad(1)},
        {spread, true, 71, lit("powerspread"), Light(180, 0.3, 0.6), CornerQuad(1)},
    };
    for (const auto& one : cases) {
        SCOPED_TRACE(::testing::PrintToString(one.reads));
        GlslEnabled = one.glsl;
        programs[0].program = one.defaultProgram;
        RecordingGL::ClearCalls();
        one.sprite->Draw();
        Replay gl = ReplayCalls();
        ASSERT_EQ(gl.draws.size(), 1u);
        EXPECT_EQ(gl.draws[0].program, one.values.empty() ? 0 : 71) << "lit draws only";
        EXPECT_EQ(gl.draws[0].reads, one.reads);
        EXPECT_EQ(gl.draws[0].values, one.values);
        EXPECT_EQ(LastQuad(), one.quad);
        EXPECT_TRUE(gl.texturedUnits.empty() && gl.activeUnit == 0 && gl.program == 0);
    }
    EXPECT_EQ(RecordingGL::CallsTo("glRotatef").back().args, (std::vector<double>{180, 0, 0, 1}));
    RecordingGL::ClearCalls();
    asteroid->Draw();
    EXPECT_EQ(RecordingGL::CallsTo("glTranslatef")[0].args, (std::vector<double>{3, 4, -25}));
    EXPECT_EQ(RecordingGL::CallsTo("glRotatef")[0].args, (std::vector<double>{30, 0, 0, 1}));
}

TEST_F(WorldDrawTest, TheWreckDrawsItsSevenPiecesTurningAndSpreading) {
    GlslEnabled = true;
    auto* wreck = Add(new ExplosionObject(Vec2{}, 0.75f));
    wreck->Update(0.375f);
    wreck->Draw();
    std::vector<std::string> pieces;
    for (const SpriteDraw& draw : ReplayCalls().draws) {
        pieces.push_back(draw.reads.at("unit 0"));
    }
    EXPECT_EQ(pieces,
              (std::vector<std::string>{"gameplay/shipp0", "gameplay/shipp1", "gameplay/shipp2",
                                        "gameplay/shipp3", "gameplay/shipp4", "gameplay/shipp5",
                                        "gameplay/shipp6"}));
    EXPECT_EQ(RecordingGL::CallsTo("glRotatef")[0].args, (std::vector<double>{5, 0, 0, 1}));
    EXPECT_NEAR(LastQuad()[0][3], 1.15 + 2, 1e-6) << "piece 6 at half time";
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(1, 0.75f, 0.75f).x, -0.05f);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(4, 0.75f, 0.75f).y, -0.1f);
}

// The ship draws over its flame, t = 1 at the top; the shielded look through its own program
// with the noise turned by the time since the shot. The flame's shader leaves unit 1 active; a
// ship program that failed to build must still put the ship's own picture on unit 0 alone.
TEST_F(WorldDrawTest, TheShipDrawsOverItsFlameWithTheImageOfItsVulnerability) {
    auto* ship = Add(new ShipObject);
    ship->Draw();
    std::vector<SpriteDraw> draws = ReplayCalls().draws;
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].reads, (Strings{{"unit 0", "gameplay/shipinv"}}));
    const Quad strip = {{0, 1, -2, 2},  {1, 1, 2, 2}, {0, 0, -2, -2},
                        {0, 0, -2, -2}, {1, 1, 2, 2}, {1, 0, 2, -2}};
    EXPECT_EQ(LastQuad(), strip);

    GlslEnabled = true;
    ship->sinceShot = 123.0f;
    ship->flame->particles[0].active = true;
    for (bool vulnerable : {false, true}) {
        SCOPED_TRACE(vulnerable ? "vulnerable" : "invulnerable");
        ship->vulnerable = vulnerable;
        RecordingGL::ClearCalls();
        ship->Draw();
        Replay gl = ReplayCalls();
        ASSERT_EQ(gl.draws.size(), 2u);
        EXPECT_EQ(gl.draws[0].program, 73);
        EXPECT_EQ(gl.draws[0].reads,
                  (Strings{{"flame", "glsl/flame"}, {"alpha", "glsl/flamealpha"}}));
        EXPECT_EQ(gl.draws[0].values, (Strings{{"particleAlpha", "0"}}));
        Strings reads = {{"texture0", "glsl/ship"}, {"texture1", "glsl/shipn"}};
        Strings values = Light(0, 0.3, 0.6);
        if (!vulnerable) {
            reads = {{"texture0", "glsl/ship"},
                     {"texture1", "glsl/shipinvn"},
                     {"texture2", "glsl/noise"}};
            values["noffset"] = Numbers({std::sin(123.0f)});
        }
        EXPECT_EQ(gl.draws[1].program, vulnerable ? 71 : 72);
        EXPECT_EQ(gl.draws[1].reads, reads);
        EXPECT_EQ(gl.draws[1].values, values);
        EXPECT_TRUE(gl.texturedUnits.empty() && gl.activeUnit == 0 && gl.program == 0);

        programs[0].program = vulnerable ? 0 : 71;
        programs[1].program = vulnerable ? 72 : 0;
        RecordingGL::ClearCalls();
        ship->Draw();
        gl = ReplayCalls();
        EXPECT_EQ(gl.draws.back().reads,
                  (Strings{{"unit 0", vulnerable ? "gameplay/ship" : "gameplay/shipinv"}}));
        EXPECT_EQ(gl.activeUnit, 0);
        programs[0].program = 71;
        programs[1].program = 72;
    }
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

// Every draw sets, in the program it uses, exactly the uniforms that program's row of
// ShaderProgramSources lists (the row the kit checks the shader sources against), each with the
// setter its GLSL type takes.
TEST_F(WorldDrawTest, EveryDrawSetsTheUniformsItsProgramLists) {
    GlslEnabled = true;
    Add(new MediumAsteroidObject(Vec3{}, Vec3{}, 0.0f))->Draw();
    Add(new SpreadObject(Vec2{}, 10.0f))->Draw();
    auto* ship = Add(new ShipObject);
    ship->flame->particles[0].active = true;
    ship->Draw();
    ship->vulnerable = true;
    ship->Draw();
    const Strings typeSetBy = {
        {"glUniform1i", "sampler2D"}, {"glUniform1f", "float"}, {"glUniform3f", "vec3"}};
    std::map<double, Strings> set, listed;
    for (const auto& [program, uniforms] : ReplayCalls().uniforms) {
        for (const auto& [name, call] : uniforms) {
            set[program][name] = typeSetBy.at(call.name);
        }
    }
    for (const ShaderProgramSource& source : ShaderProgramSources) {
        for (const ShaderUniform& uniform : source.uniforms) {
            listed[(*source.handle)->program][uniform.name] = uniform.glslType;
        }
    }
    EXPECT_EQ(set, listed);
}
