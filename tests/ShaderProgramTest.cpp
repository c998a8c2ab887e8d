#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/ShaderProgram.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

class ShaderPrograms : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override {
        for (ShaderProgram** handle : {&DefaultProgram, &ShipInvProgram, &HeatProgram}) {
            delete *handle;
            *handle = nullptr;
        }
        RecordingGL::Uninstall();
    }
    // Each source as "// NAME\n", but shipinv.qfs without its final newline and heat.qfs empty.
    void WriteAllSources() {
        for (const char* name : {"default.qvs", "default.qfs", "heat.qvs"}) {
            assets.Write(std::string("shaders/") + name, std::string("// ") + name + "\n");
        }
        assets.Write("shaders/shipinv.qfs", std::string("// shipinv.qfs"));
        assets.Write("shaders/heat.qfs", std::string());
    }

    KeptSettings kept;
    TempAssetRoot assets;
};

}  // namespace

TEST_F(ShaderPrograms, OnlyWithGlslTheThreeAreBuiltFromTheirFilesAsStored) {
    WriteAllSources();
    GlslEnabled = false;
    EXPECT_FALSE(LoadShaderPrograms());
    EXPECT_TRUE(DefaultProgram == nullptr && ShipInvProgram == nullptr && HeatProgram == nullptr);

    GlslEnabled = true;
    ASSERT_TRUE(LoadShaderPrograms());
    std::vector<std::string> sources;  // as stored; that GL is given them, the shader path shows
    for (ShaderProgram* program : {DefaultProgram, ShipInvProgram, HeatProgram}) {
        ASSERT_NE(program, nullptr);
        EXPECT_TRUE(program->Usable());
        sources.insert(sources.end(), {program->vertexSource, program->fragmentSource});
    }
    EXPECT_EQ(sources,
              (std::vector<std::string>{"// default.qvs\n", "// default.qfs\n", "// default.qvs\n",
                                        "// shipinv.qfs", "// heat.qvs\n", ""}));
}

TEST_F(ShaderPrograms, FailuresAreReportedAndLeaveTheProgramUnusable) {
    WriteAllSources();
    // Builds one program and returns what it printed; the program must come out unusable.
    auto failedBuild = [](const char* vertex, const char* fragment) {
        ShaderProgram record;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(BuildShaderProgram(&record, vertex, fragment));
        EXPECT_FALSE(record.Usable());
        return testing::internal::GetCapturedStderr();
    };
    EXPECT_NE(failedBuild("shaders/default.qvs", "shaders/none.qfs").find("shaders/none.qfs"),
              std::string::npos);

    RecordingGL::SetBuildAnswers(GL_FALSE, GL_TRUE, "0:3(1): error: syntax error\n");
    std::string report = failedBuild("shaders/default.qvs", "shaders/default.qfs");
    EXPECT_NE(report.find("0:3(1): error: syntax error"), std::string::npos) << report;
    EXPECT_NE(report.find("shaders/default.qfs"), std::string::npos) << report;

    RecordingGL::SetBuildAnswers(GL_TRUE, GL_FALSE, "link failed");
    EXPECT_NE(failedBuild("shaders/heat.qvs", "shaders/heat.qfs").find("link failed"),
              std::string::npos);
}

TEST(ShaderSources, AUniformCountsOnlyWhenDeclaredWithItsNameAndType) {
    const ShaderUniform alpha = {"alpha", "float"};
    EXPECT_TRUE(ShaderSourceDeclares("uniform float alpha;", alpha));
    EXPECT_TRUE(ShaderSourceDeclares("#version 330\n  uniform highp float gain[2], alpha;", alpha));
    EXPECT_TRUE(ShaderSourceDeclares("layout(location = 3) uniform float alpha[4];", alpha));
    EXPECT_TRUE(ShaderSourceDeclares("/* a */ uniform float/**/alpha;", alpha));

    EXPECT_FALSE(ShaderSourceDeclares("uniform vec2 alpha;", alpha)) << "another type";
    EXPECT_FALSE(ShaderSourceDeclares("uniform float alphas, beta;", alpha)) << "a longer name";
    EXPECT_FALSE(ShaderSourceDeclares("uniform float gain[alpha];", alpha)) << "an array size";
    EXPECT_FALSE(ShaderSourceDeclares("uniform float gain; float alpha;", alpha));
    EXPECT_FALSE(ShaderSourceDeclares("// uniform float alpha;\n", alpha));
    EXPECT_FALSE(ShaderSourceDeclares("/* uniform float alpha; */", alpha));
    EXPECT_FALSE(ShaderSourceDeclares("  #define A uniform float alpha;\n", alpha));
    EXPECT_FALSE(ShaderSourceDeclares("uniform float", alpha));
}
