#include <gtest/gtest.h>

#include "render/ShaderProgram.h"

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
