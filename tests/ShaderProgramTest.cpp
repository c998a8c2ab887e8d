#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "render/ShaderProgram.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempAssetRoot.h"

namespace {

std::vector<std::string> OpenedFiles;

void CountingOpener(const char* name, const char* mode, FILE** out) {
    OpenedFiles.push_back(name);
    OpenAssetFile(name, mode, out);
}

class ShaderPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingGL::Install();
        FileOpenHook = CountingOpener;
        OpenedFiles.clear();
        savedGlsl = GlslEnabled;
    }
    void TearDown() override {
        for (ShaderProgram** handle : {&DefaultProgram, &ShipInvProgram, &HeatProgram}) {
            delete *handle;
            *handle = nullptr;
        }
        GlslEnabled = savedGlsl;
        RecordingGL::Uninstall();
    }
    void WriteAllSources() {
        for (const char* name :
             {"default.qvs", "default.qfs", "shipinv.qfs", "heat.qvs", "heat.qfs"}) {
            assets.Write(std::string("shaders/") + name, std::string("// ") + name + "\n");
        }
    }

    TempAssetRoot assets;
    bool savedGlsl = false;
};

}  // namespace

TEST_F(ShaderPrograms, WithoutGlslNothingIsReadOrMade) {
    WriteAllSources();
    GlslEnabled = false;
    EXPECT_FALSE(LoadShaderPrograms());
    EXPECT_TRUE(OpenedFiles.empty());
    EXPECT_TRUE(DefaultProgram == nullptr && ShipInvProgram == nullptr && HeatProgram == nullptr);
    EXPECT_TRUE(RecordingGL::Calls().empty());
}

TEST_F(ShaderPrograms, BuildsTheThreeProgramsFromTheirFiles) {
    WriteAllSources();
    GlslEnabled = true;
    ASSERT_TRUE(LoadShaderPrograms());
    for (ShaderProgram* program : {DefaultProgram, ShipInvProgram, HeatProgram}) {
        ASSERT_NE(program, nullptr);
        EXPECT_TRUE(program->Usable());
    }
    EXPECT_EQ(RecordingGL::ShaderSources(),
              (std::vector<std::string>{"// default.qvs\n", "// default.qfs\n", "// default.qvs\n",
                                        "// shipinv.qfs\n", "// heat.qvs\n", "// heat.qfs\n"}));
    // One build: two shaders, each given one NUL-terminated string, then the program.
    std::vector<std::string> names = RecordingGL::CallNames();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 12),
              (std::vector<std::string>{"glCreateShader", "glCreateShader", "glShaderSource",
                                        "glShaderSource", "glCompileShader", "glCompileShader",
                                        "glGetShaderiv", "glGetShaderiv", "glCreateProgram",
                                        "glAttachShader", "glAttachShader", "glLinkProgram"}));
    EXPECT_EQ(RecordingGL::CallsTo("glShaderSource")[0].args, (std::vector<double>{1, 1, 1, 0}));
}

TEST_F(ShaderPrograms, SourcesReachGlExactlyAsStored) {
    assets.Write("shaders/a.qvs", std::string("void main() {}"));  // no final newline
    assets.Write("shaders/b.qfs", std::string());
    ShaderProgram record;
    ASSERT_TRUE(BuildShaderProgram(&record, "shaders/a.qvs", "shaders/b.qfs"));
    EXPECT_EQ(RecordingGL::ShaderSources(), (std::vector<std::string>{"void main() {}", ""}));
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
    EXPECT_TRUE(RecordingGL::CallsTo("glCreateShader").empty());

    RecordingGL::SetCompileStatus(GL_FALSE);
    RecordingGL::SetInfoLog("0:3(1): error: syntax error\n");
    std::string report = failedBuild("shaders/default.qvs", "shaders/default.qfs");
    EXPECT_NE(report.find("0:3(1): error: syntax error"), std::string::npos) << report;
    EXPECT_NE(report.find("shaders/default.qfs"), std::string::npos) << report;
    EXPECT_TRUE(RecordingGL::CallsTo("glLinkProgram").empty());

    RecordingGL::SetCompileStatus(GL_TRUE);
    RecordingGL::SetLinkStatus(GL_FALSE);
    RecordingGL::SetInfoLog("link failed");
    EXPECT_NE(failedBuild("shaders/heat.qvs", "shaders/heat.qfs").find("link failed"),
              std::string::npos);
}
