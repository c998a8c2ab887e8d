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
    FileOpenHook = CountingOpener;
    GlslEnabled = false;
    EXPECT_FALSE(LoadShaderPrograms());
    EXPECT_TRUE(OpenedFiles.empty());
    EXPECT_EQ(DefaultProgram, nullptr);
    EXPECT_EQ(ShipInvProgram, nullptr);
    EXPECT_EQ(HeatProgram, nullptr);
    EXPECT_TRUE(RecordingGL::Calls().empty());
}

TEST_F(ShaderPrograms, BuildsTheThreeProgramsFromTheirFilesInOrder) {
    FileOpenHook = CountingOpener;
    WriteAllSources();
    GlslEnabled = true;
    ASSERT_TRUE(LoadShaderPrograms());
    EXPECT_EQ(OpenedFiles, (std::vector<std::string>{"shaders/default.qvs", "shaders/default.qfs",
                                                     "shaders/default.qvs", "shaders/shipinv.qfs",
                                                     "shaders/heat.qvs", "shaders/heat.qfs"}));
    for (ShaderProgram* program : {DefaultProgram, ShipInvProgram, HeatProgram}) {
        ASSERT_NE(program, nullptr);
        EXPECT_TRUE(program->Usable());
    }
    EXPECT_EQ(ShipInvProgram->fragmentSource, "// shipinv.qfs\n");
    std::vector<std::string>& sources = RecordingGL::ShaderSources();
    ASSERT_EQ(sources.size(), 6u);
    EXPECT_EQ(sources[4], "// heat.qvs\n");
    // One build: two shaders, each given one NUL-terminated string, then the program.
    std::vector<std::string> names = RecordingGL::CallNames();
    std::vector<std::string> firstBuild(names.begin(), names.begin() + 12);
    EXPECT_EQ(firstBuild,
              (std::vector<std::string>{"glCreateShader", "glCreateShader", "glShaderSource",
                                        "glShaderSource", "glCompileShader", "glCompileShader",
                                        "glGetShaderiv", "glGetShaderiv", "glCreateProgram",
                                        "glAttachShader", "glAttachShader", "glLinkProgram"}));
    std::vector<RecordedCall> sourceCalls = RecordingGL::CallsTo("glShaderSource");
    EXPECT_EQ(sourceCalls[0].args, (std::vector<double>{1, 1, 1, 0}));
}

TEST_F(ShaderPrograms, SourcesReachGlExactlyAsStored) {
    assets.Write("shaders/a.qvs", std::string("void main() {}"));  // no final newline
    assets.Write("shaders/b.qfs", std::string());
    ShaderProgram record;
    ASSERT_TRUE(BuildShaderProgram(&record, "shaders/a.qvs", "shaders/b.qfs"));
    EXPECT_EQ(RecordingGL::ShaderSources(), (std::vector<std::string>{"void main() {}", ""}));
    EXPECT_EQ(record.vertexSource.c_str()[record.vertexSource.size()], '\0');
}

TEST_F(ShaderPrograms, FailuresAreReportedAndLeaveTheProgramUnusable) {
    WriteAllSources();
    ShaderProgram missing;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(BuildShaderProgram(&missing, "shaders/default.qvs", "shaders/none.qfs"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("shaders/none.qfs"), std::string::npos);
    EXPECT_FALSE(missing.Usable());
    EXPECT_TRUE(RecordingGL::CallsTo("glCreateShader").empty());

    RecordingGL::SetCompileStatus(GL_FALSE);
    RecordingGL::SetInfoLog("0:3(1): error: syntax error\n");
    ShaderProgram broken;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(BuildShaderProgram(&broken, "shaders/default.qvs", "shaders/default.qfs"));
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("0:3(1): error: syntax error"), std::string::npos) << report;
    EXPECT_NE(report.find("shaders/default.qfs"), std::string::npos);
    EXPECT_FALSE(broken.Usable());
    EXPECT_TRUE(RecordingGL::CallsTo("glLinkProgram").empty());

    RecordingGL::SetCompileStatus(GL_TRUE);
    RecordingGL::SetLinkStatus(GL_FALSE);
    RecordingGL::SetInfoLog("link failed");
    ShaderProgram unlinked;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(BuildShaderProgram(&unlinked, "shaders/heat.qvs", "shaders/heat.qfs"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("link failed"), std::string::npos);
    EXPECT_FALSE(unlinked.Usable());
}
