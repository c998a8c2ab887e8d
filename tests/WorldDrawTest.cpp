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

using Strings = std::vector<std::string>;
using Quad = std::vector<std::vector<double>>;  // six vertices of (s, t, x, y)

std::vector<std::vector<float>> Colours;  // what glColor4fv was given

void APIENTRY CaptureColour(const GLfloat* c) {
    Colours.push_back({c[0], c[1], c[2], c[3]});
}

// Text followed by the numbers, each as " %.4g".
std::string WithNumbers(std::string text, const std::vector<double>& numbers) {
    for (double number : numbers) {
        char digits[32];
        std::snprintf(digits, sizeof digits, " %.4g", number);
        text += digits;
    }
    return text;
}

bool SetsUniform(const RecordedCall& call) {
    return call.name.rfind("glUniform", 0) == 0;
}

// One recorded call as text. A bound texture reads as its catalogue path without "textures/"
// and ".tga", a texture unit as "unit N", a program as "program N", a uniform by the name its
// location was looked up with; anything else as its name and arguments.
std::string Describe(const RecordedCall& call) {
    int row = call.name == "glBindTexture"
                  ? static_cast<int>(call.args[1] - GameScene::FirstCatalogueName)
                  : -1;
    if (row >= 0 && row < CatalogueTextureCount) {
        std::string path = CatalogueTextures[row].path;
        return path.substr(9, path.size() - 13);
    }
    if (call.name == "glActiveTexture") {
        return "unit " + std::to_string(static_cast<int>(call.args[0]) - GL_TEXTURE0);
    }
    if (call.name == "glUseProgram") {
        return "program " + std::to_string(static_cast<int>(call.args[0]));
    }
    if (SetsUniform(call)) {
        std::string name = RecordingGL::UniformAt(static_cast<GLint>(call.args[0])).name;
        return WithNumbers(call.name + " " + name,
                           std::vector<double>(call.args.begin() + 1, call.args.end()));
    }
    return WithNumbers(call.name, call.args);
}

// The recorded calls of the named functions, in order, described.
Strings Trace(const std::set<std::string>& names) {
    Strings trace;
    for (const RecordedCall& call : RecordingGL::Calls()) {
        if (names.count(call.name) != 0) {
            trace.push_back(Describe(call));
        }
    }
    return trace;
}

// The light of a lit sprite turned by its angle, at its distance, and its specular factor.
Strings LightUniforms(double degrees, double distance, double specular) {
    double a = degrees * DegreesToRadians;
    return {WithNumbers("glUniform3f LightPosition",
                        {std::cos(a) * distance, std::sin(a) * distance, 0.35}),
            WithNumbers("glUniform1f SpecularFactor", {specular})};
}

// Replays the texture-unit calls: the texture each unit with GL_TEXTURE_2D enabled would
// sample in the last glBegin, and the unit left active at the end.
struct UnitState {
    std::map<int, double> sampled;
    int active = 0;
};
UnitState UnitsAtLastDraw() {
    UnitState state;
    std::map<int, double> bound;
    std::set<int> enabled;
    for (const RecordedCall& call : RecordingGL::Calls()) {
        bool texturing = !call.args.empty() && call.args[0] == GL_TEXTURE_2D;
        if (call.name == "glActiveTexture") {
            state.active = static_cast<int>(call.args[0]) - GL_TEXTURE0;
        } else if (call.name == "glBindTexture") {
            bound[state.active] = call.args[1];
        } else if (call.name == "glEnable" && texturing) {
            enabled.insert(state.active);
        } else if (call.name == "glDisable" && texturing) {
            enabled.erase(state.active);
        } else if (call.name == "glBegin") {
            state.sampled.clear();
            for (int unit : enabled) {
                state.sampled[unit] = bound[unit];
            }
        }
    }
    return state;
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

TEST_F(WorldDrawTest, AsteroidsBindTheirVariantsImagesAndOnTheShaderPathTurnTheirLight) {
    auto* asteroid = Add(new MediumAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    asteroid->variant = 1;
    asteroid->angle = 30.0f;
    GlslEnabled = true;
    asteroid->Draw();
    EXPECT_EQ(Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}),
              (Strings{"unit 1", "glsl/asteroid1n", "unit 0", "glsl/asteroid1", "program 71",
                       "program 0", "unit 1", "unit 0"}));
    EXPECT_EQ(Trace({"glUniform1i"}),
              (Strings{"glUniform1i texture0 0", "glUniform1i texture1 1"}));
    EXPECT_EQ(Trace({"glUniform3f", "glUniform1f"}), LightUniforms(30, 0.2, 0.25));

    RecordingGL::ClearCalls();
    programs[0].program = 0;  // a program that failed to build: back to the fixed path
    asteroid->variant = 2;
    asteroid->Draw();
    EXPECT_EQ(Trace({"glTranslatef", "glRotatef", "glBindTexture", "glUseProgram"}),
              (Strings{"glTranslatef 3 4 -25", "glRotatef 30 0 0 1", "gameplay/asteroid2"}));
    EXPECT_EQ(LastQuad(), CornerQuad(1));
}

TEST_F(WorldDrawTest, TheHugeAsteroidAndTheWreckAlwaysDrawFixedFunction) {
    GlslEnabled = true;
    Add(new HugeAsteroidObject(Vec3{}, Vec3{}, 0.0f))->Draw();
    EXPECT_EQ(LastQuad(), CornerQuad(16));
    auto* wreck = Add(new ExplosionObject(Vec2{}, 0.75f));
    wreck->Update(0.375f);
    wreck->Draw();
    EXPECT_EQ(Trace({"glBindTexture", "glUseProgram", "glRotatef"}),
              (Strings{"glRotatef 0 0 0 1", "gameplay/finalasteroid", "glRotatef 5 0 0 1",
                       "gameplay/shipp0", "gameplay/shipp1", "gameplay/shipp2", "gameplay/shipp3",
                       "gameplay/shipp4", "gameplay/shipp5", "gameplay/shipp6"}));
    EXPECT_NEAR(LastQuad()[0][3], 1.15 + 2, 1e-6) << "piece 6 at half time";
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(1, 0.75f, 0.75f).x, -0.05f);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(4, 0.75f, 0.75f).y, -0.1f);
}

TEST_F(WorldDrawTest, PickupsMapTheirFixedImagesEitherWayUpAndSwitchOffTheirOwnUnits) {
    auto* invuln = Add(new InvulnObject(Vec2{}, 10.0f));
    auto* spread = Add(new SpreadObject(Vec2{}, 10.0f));
    spread->Update(5.0f);
    invuln->Draw();
    EXPECT_EQ(LastQuad(), CornerQuad(1));
    spread->Draw();
    EXPECT_EQ(LastQuad(), CornerQuad(1, true));
    EXPECT_EQ(Trace({"glRotatef", "glBindTexture"}),
              (Strings{"glRotatef 0 0 0 1", "gameplay/powerinvuln", "glRotatef 180 0 0 1",
                       "gameplay/powerspread"}));

    GlslEnabled = true;
    struct Case {
        BaseObject* pickup;
        std::string name;
        int highestUnit;
    };
    for (const Case& one : {Case{invuln, "powerinvuln", 2},
                            Case{Add(new LongRangeObject(Vec2{}, 10.0f)), "powerlongrange", 2},
                            Case{Add(new StarburstObject(Vec2{}, 10.0f)), "powerstarburst", 1},
                            Case{spread, "powerspread", 1}}) {
        RecordingGL::ClearCalls();
        one.pickup->Draw();
        Strings expected = {"unit 0",     "glsl/" + one.name, "unit 1", "glsl/" + one.name + "n",
                            "program 71", "program 0"};
        for (int unit = one.highestUnit; unit >= 0; --unit) {
            expected.push_back("unit " + std::to_string(unit));
        }
        EXPECT_EQ(Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}), expected)
            << one.name;
        EXPECT_EQ(LastQuad(), CornerQuad(1)) << one.name;
    }
    EXPECT_EQ(Trace({"glUniform3f", "glUniform1f"}), LightUniforms(180, 0.3, 0.6))
        << "the spread, drawn last, turns its light with its wobble";
}

TEST_F(WorldDrawTest, TheShipDrawsOverItsFlameWithTheImageOfItsVulnerability) {
    auto* ship = Add(new ShipObject);
    ship->Draw();
    EXPECT_EQ(Trace({"glBindTexture"}), (Strings{"gameplay/particle", "gameplay/shipinv"}));
    const Quad strip = {{0, 1, -2, 2},  {1, 1, 2, 2}, {0, 0, -2, -2},
                        {0, 0, -2, -2}, {1, 1, 2, 2}, {1, 0, 2, -2}};
    EXPECT_EQ(LastQuad(), strip) << "t = 1 at the top";

    RecordingGL::ClearCalls();
    GlslEnabled = true;
    ship->sinceShot = 123.0f;
    ship->Draw();
    EXPECT_EQ(Trace({"glActiveTexture", "glBindTexture", "glUseProgram"}),
              (Strings{"unit 0", "glsl/flame", "unit 1", "glsl/flamealpha", "program 73",
                       "program 0", "unit 0", "glsl/ship", "unit 1", "glsl/shipinvn", "unit 2",
                       "glsl/noise", "program 72", "program 0", "unit 2", "unit 1", "unit 0"}));
    Strings uniforms = {
        "glUniform1i flame 0",    "glUniform1i alpha 1",
        "glUniform1i texture2 2", WithNumbers("glUniform1f noffset", {std::sin(123.0f)}),
        "glUniform1i texture0 0", "glUniform1i texture1 1"};
    for (const std::string& light : LightUniforms(0, 0.3, 0.6)) {
        uniforms.push_back(light);
    }
    EXPECT_EQ(Trace({"glUniform1i", "glUniform1f", "glUniform3f"}), uniforms)
        << "noffset: the time since the shot as radians";

    // The flame's shader leaves unit 1 active; a ship program that failed to build must still
    // put the ship's own picture on unit 0 alone.
    for (bool vulnerable : {false, true}) {
        SCOPED_TRACE(vulnerable ? "vulnerable" : "invulnerable");
        ship->vulnerable = vulnerable;
        programs[0].program = vulnerable ? 0 : 71;
        programs[1].program = vulnerable ? 72 : 0;
        RecordingGL::ClearCalls();
        ship->Draw();
        UnitState units = UnitsAtLastDraw();
        const Targa* picture = vulnerable ? Catalogue.ship : Catalogue.shipInv;
        EXPECT_EQ(units.sampled, (std::map<int, double>{{0, picture->textureId}}));
        EXPECT_EQ(units.active, 0);
    }
}

TEST_F(WorldDrawTest, FlameParticlesGrowAsTheyFadeInTheirOwnColour) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.particles[3] = FlameParticle{true, 0, 5, 6, PlayFieldZ, 45, 0, 0.2f, 0.7f, 0.8f, 0.0f};
    flame.vertices[3] = Vec3{0.5f, -1.0f, PlayFieldZ};
    flame.DrawFlame();
    EXPECT_EQ(Trace({"glTranslatef", "glRotatef"}),
              (Strings{"glTranslatef 5 6 -25", "glRotatef 45 0 0 1"}));
    EXPECT_EQ(Colours, (std::vector<std::vector<float>>{{0.2f, 0.7f, 0.8f, 0.0f}}));
    Quad quad = LastQuad();
    EXPECT_NEAR(quad[0][2], 0.5 - 1.33, 1e-6) << "alpha 0: half-size 1.33";
    EXPECT_NEAR(quad[5][3], -1.0 - 1.33, 1e-6);

    RecordingGL::ClearCalls();
    GlslEnabled = true;
    flame.DrawFlame();
    EXPECT_EQ(
        Trace({"glUniform1i", "glUniform1f"}),
        (Strings{"glUniform1i flame 0", "glUniform1i alpha 1", "glUniform1f particleAlpha 0"}));
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
    using Interface = std::map<std::string, std::string>;  // uniform name -> GLSL type
    const Interface typeSetBy = {
        {"glUniform1i", "sampler2D"}, {"glUniform1f", "float"}, {"glUniform3f", "vec3"}};
    std::map<double, Interface> set;
    double program = 0;
    for (const RecordedCall& call : RecordingGL::Calls()) {
        if (call.name == "glUseProgram") {
            program = call.args[0];
        } else if (SetsUniform(call)) {
            RecordingGL::Uniform uniform = RecordingGL::UniformAt(static_cast<GLint>(call.args[0]));
            EXPECT_EQ(uniform.program, program) << uniform.name << " of another program";
            set[program][uniform.name] = typeSetBy.at(call.name);
        }
    }
    std::map<double, Interface> listed;
    for (const ShaderProgramSource& source : ShaderProgramSources) {
        for (const ShaderUniform& uniform : source.uniforms) {
            listed[(*source.handle)->program][uniform.name] = uniform.glslType;
        }
    }
    EXPECT_EQ(set, listed);
}
