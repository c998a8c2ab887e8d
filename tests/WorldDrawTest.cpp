#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "settings/SettingsValues.h"
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

using Quad = std::vector<std::vector<double>>;  // six vertices of (s, t, x, y)

std::vector<std::vector<float>> Colours;  // what glColor4fv was given

void APIENTRY CaptureColour(const GLfloat* c) {
    Colours.push_back({c[0], c[1], c[2], c[3]});
}

std::string Call(const std::string& name, std::vector<double> args = {}) {
    std::string text = name;
    for (double arg : args) {
        char number[32];
        std::snprintf(number, sizeof number, " %.4g", arg);
        text += number;
    }
    return text;
}

// The recorded calls of the named functions, in order, as "name arg arg ...".
std::vector<std::string> Trace(const std::set<std::string>& names) {
    std::vector<std::string> trace;
    for (const RecordedCall& call : RecordingGL::Calls()) {
        if (names.count(call.name) != 0) {
            trace.push_back(Call(call.name, call.args));
        }
    }
    return trace;
}

// The catalogue's row i is given texture 1000 + i.
std::string Bind(const std::string& path) {
    for (int row = 0; row < CatalogueTextureCount; ++row) {
        if (path == CatalogueTextures[row].path) {
            return Call("glBindTexture", {GL_TEXTURE_2D, 1000.0 + row});
        }
    }
    return "no texture " + path;
}

std::string Unit(int unit) {
    return Call("glActiveTexture", {GL_TEXTURE0 + unit * 1.0});
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

// The sprite quad's corners with t = 0 at the top, and the ship's with t = 1 at the top.
Quad CornerQuad(double h) {
    return {{0, 0, -h, h}, {1, 0, h, h},   {1, 1, h, -h},
            {1, 1, h, -h}, {0, 1, -h, -h}, {0, 0, -h, h}};
}
Quad FlippedCornerQuad(double h) {
    return {{0, 1, -h, h}, {1, 1, h, h},   {1, 0, h, -h},
            {1, 0, h, -h}, {0, 0, -h, -h}, {0, 1, -h, h}};
}

}  // namespace

// Draws against the recording GL, with every catalogue texture present under a name of its own
// and the three programs built as 71 (default), 72 (invulnerable ship) and 73 (heat).
class WorldDrawTest : public PlayFieldTest {
protected:
    void SetUp() override {
        PlayFieldTest::SetUp();
        RecordingGL::Install();
        PublishedGLLegacy.glColor4fv = CaptureColour;
        Colours.clear();
        for (int row = 0; row < CatalogueTextureCount; ++row) {
            textures.push_back(std::make_unique<Targa>());
            textures.back()->textureId = 1000 + row;
            *CatalogueTextures[row].handle = textures.back().get();
        }
        for (int i = 0; i < 3; ++i) {
            programs[i].program = 71 + i;
        }
        DefaultProgram = &programs[0];
        ShipInvProgram = &programs[1];
        HeatProgram = &programs[2];
    }

    void TearDown() override {
        for (int row = 0; row < CatalogueTextureCount; ++row) {
            *CatalogueTextures[row].handle = nullptr;
        }
        textures.clear();
        DefaultProgram = ShipInvProgram = HeatProgram = nullptr;
        GlslEnabled = false;
        RecordingGL::Uninstall();
        PlayFieldTest::TearDown();
    }

    std::vector<std::unique_ptr<Targa>> textures;
    ShaderProgram programs[3];
};

TEST_F(WorldDrawTest, AsteroidsBindTheirVariantsImagesAndOnTheShaderPathTurnTheirLight) {
    auto* asteroid = Add(new MediumAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    asteroid->variant = 2;
    asteroid->angle = 30.0f;
    asteroid->Draw();
    EXPECT_EQ(Trace({"glTranslatef", "glRotatef", "glBindTexture", "glUseProgram"}),
              (std::vector<std::string>{Call("glTranslatef", {3, 4, -25}),
                                        Call("glRotatef", {30, 0, 0, 1}),
                                        Bind("textures/gameplay/asteroid2.tga")}));
    EXPECT_EQ(LastQuad(), CornerQuad(1));

    RecordingGL::ClearCalls();
    GlslEnabled = true;
    asteroid->variant = 1;
    asteroid->Draw();
    EXPECT_EQ(
        Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}),
        (std::vector<std::string>{Unit(1), Bind("textures/glsl/asteroid1n.tga"), Unit(0),
                                  Bind("textures/glsl/asteroid1.tga"), Call("glUseProgram", {71}),
                                  Call("glUseProgram", {0}), Unit(1), Unit(0)}));
    double a = 30.0 * DegreesToRadians;
    EXPECT_EQ(Trace({"glUniform1i", "glUniform3f", "glUniform1f"}),
              (std::vector<std::string>{
                  Call("glUniform1i", {8, 0}), Call("glUniform1i", {8, 1}),
                  Call("glUniform3f", {13, std::cos(a) * 0.2, std::sin(a) * 0.2, 0.35}),
                  Call("glUniform1f", {14, 0.25})}));

    RecordingGL::ClearCalls();
    programs[0].program = 0;  // a program that failed to build: back to the fixed path
    asteroid->Draw();
    EXPECT_EQ(Trace({"glBindTexture", "glUseProgram"}),
              (std::vector<std::string>{Bind("textures/gameplay/asteroid1.tga")}));
}

TEST_F(WorldDrawTest, TheHugeAsteroidAndTheWreckAlwaysDrawFixedFunction) {
    GlslEnabled = true;
    Add(new HugeAsteroidObject(Vec3{}, Vec3{}, 0.0f))->Draw();
    EXPECT_EQ(LastQuad(), CornerQuad(16));
    auto* wreck = Add(new ExplosionObject(Vec2{}, 0.75f));
    wreck->Update(0.375f);
    wreck->Draw();
    std::vector<std::string> expected = {Call("glRotatef", {0, 0, 0, 1}),
                                         Bind("textures/gameplay/finalasteroid.tga"),
                                         Call("glRotatef", {5, 0, 0, 1})};
    for (int piece = 0; piece < 7; ++piece) {
        expected.push_back(Bind("textures/gameplay/shipp" + std::to_string(piece) + ".tga"));
    }
    EXPECT_EQ(Trace({"glBindTexture", "glUseProgram", "glRotatef"}), expected);
    EXPECT_NEAR(LastQuad()[0][3], 1.15 + 2, 1e-6) << "piece 6 at half time";
}

TEST_F(WorldDrawTest, PickupsMapTheirFixedImagesEitherWayUpAndSwitchOffTheirOwnUnits) {
    auto* invuln = Add(new InvulnObject(Vec2{}, 10.0f));
    auto* spread = Add(new SpreadObject(Vec2{}, 10.0f));
    spread->Update(5.0f);
    invuln->Draw();
    EXPECT_EQ(LastQuad(), CornerQuad(1));
    spread->Draw();
    EXPECT_EQ(LastQuad(), FlippedCornerQuad(1));
    EXPECT_EQ(Trace({"glRotatef", "glBindTexture"}),
              (std::vector<std::string>{
                  Call("glRotatef", {0, 0, 0, 1}), Bind("textures/gameplay/powerinvuln.tga"),
                  Call("glRotatef", {180, 0, 0, 1}), Bind("textures/gameplay/powerspread.tga")}));

    GlslEnabled = true;
    struct Case {
        BaseObject* pickup;
        std::string name;
        int highestUnit;
    };
    for (const Case& one : {Case{invuln, "powerinvuln", 2},
                            Case{Add(new LongRangeObject(Vec2{}, 10.0f)), "powerlongrange", 2},
                            Case{spread, "powerspread", 1},
                            Case{Add(new StarburstObject(Vec2{}, 10.0f)), "powerstarburst", 1}}) {
        RecordingGL::ClearCalls();
        one.pickup->Draw();
        std::vector<std::string> expected = {Unit(0),
                                             Bind("textures/glsl/" + one.name + ".tga"),
                                             Unit(1),
                                             Bind("textures/glsl/" + one.name + "n.tga"),
                                             Call("glUseProgram", {71}),
                                             Call("glUseProgram", {0})};
        for (int unit = one.highestUnit; unit >= 0; --unit) {
            expected.push_back(Unit(unit));
        }
        EXPECT_EQ(Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}), expected)
            << one.name;
        EXPECT_EQ(LastQuad(), CornerQuad(1)) << one.name;
    }
    double a = 180.0 * DegreesToRadians;
    RecordingGL::ClearCalls();
    spread->Draw();
    EXPECT_EQ(Trace({"glUniform3f", "glUniform1f"}),
              (std::vector<std::string>{
                  Call("glUniform3f", {13, std::cos(a) * 0.3, std::sin(a) * 0.3, 0.35}),
                  Call("glUniform1f", {14, 0.6})}));
}

TEST_F(WorldDrawTest, TheShipDrawsOverItsFlameWithTheImageOfItsVulnerability) {
    auto* ship = Add(new ShipObject);
    ship->Draw();
    EXPECT_EQ(Trace({"glBindTexture"}),
              (std::vector<std::string>{Bind("textures/gameplay/particle.tga"),
                                        Bind("textures/gameplay/shipinv.tga")}));
    EXPECT_EQ(LastQuad(), (Quad{{0, 1, -2, 2},
                                {1, 1, 2, 2},
                                {0, 0, -2, -2},
                                {0, 0, -2, -2},
                                {1, 1, 2, 2},
                                {1, 0, 2, -2}}));

    RecordingGL::ClearCalls();
    GlslEnabled = true;
    ship->sinceShot = 123.0f;
    ship->Draw();
    EXPECT_EQ(
        Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}),
        (std::vector<std::string>{
            Unit(0), Bind("textures/glsl/flame.tga"), Unit(1), Bind("textures/glsl/flamealpha.tga"),
            Call("glUseProgram", {73}), Call("glUseProgram", {0}), Unit(0),
            Bind("textures/glsl/ship.tga"), Unit(1), Bind("textures/glsl/shipinvn.tga"), Unit(2),
            Bind("textures/glsl/noise.tga"), Call("glUseProgram", {72}), Call("glUseProgram", {0}),
            Unit(2), Unit(1), Unit(0)}));
    std::vector<RecordedCall> floats = RecordingGL::CallsTo("glUniform1f");
    ASSERT_EQ(floats.size(), 2u);
    EXPECT_NEAR(floats[0].args[1], std::sin(123.0f), 1e-6)
        << "noffset: the time since the shot as radians";
}

TEST_F(WorldDrawTest, FlameParticlesGrowAsTheyFadeInTheirOwnColour) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.particles[3] = FlameParticle{true, 0, 5, 6, PlayFieldZ, 45, 0, 0.2f, 0.7f, 0.8f, 0.0f};
    flame.vertices[3] = Vec3{0.5f, -1.0f, PlayFieldZ};
    flame.DrawFlame();
    EXPECT_EQ(Trace({"glTranslatef", "glRotatef"}),
              (std::vector<std::string>{Call("glTranslatef", {5, 6, -25}),
                                        Call("glRotatef", {45, 0, 0, 1})}));
    EXPECT_EQ(Colours, (std::vector<std::vector<float>>{{0.2f, 0.7f, 0.8f, 0.0f}}));
    Quad quad = LastQuad();
    EXPECT_NEAR(quad[0][2], 0.5 - 1.33, 1e-6) << "alpha 0: half-size 1.33";
    EXPECT_NEAR(quad[5][3], -1.0 - 1.33, 1e-6);

    RecordingGL::ClearCalls();
    GlslEnabled = true;
    flame.DrawFlame();
    EXPECT_EQ(Trace({"glUniform1i", "glUniform1f"}),
              (std::vector<std::string>{Call("glUniform1i", {5, 0}), Call("glUniform1i", {5, 1}),
                                        Call("glUniform1f", {13, 0})}));
}
