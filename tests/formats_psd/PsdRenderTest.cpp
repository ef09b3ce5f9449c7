// Sets imported from real Photoshop files, rendered by the engine, against
// the file's own flattened picture: where a file uses only normal blending
// the set must look like it.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string Fixture(const std::string& name)
{
    return std::string(KELVANE_SOURCE_DIR) + "/tests/formats_psd/data/" + name;
}

// Mean absolute difference of two pictures as a fraction of full scale,
// both scaled to 320 x 180 and laid over black; -1 when it cannot be measured.
double MeanDifference(const std::string& a, const std::string& b, const testsupport::TempDir& dir)
{
    const auto small = [&](const std::string& in, const std::string& out) {
        return testsupport::RunCommand("convert " + Quote(in) + " -background black -flatten -resize '320x180!' " +
                                       Quote(dir.file(out)) + " 2>&1") == 0;
    };
    std::string output;
    if (!small(a, "a.png") || !small(b, "b.png"))
        return -1;
    testsupport::RunCommand("compare -metric MAE " + Quote(dir.file("a.png")) + " " + Quote(dir.file("b.png")) +
                                " null: 2>&1",
                            &output);
    const size_t open = output.find('(');
    return open == std::string::npos ? -1 : std::atof(output.c_str() + open + 1);
}

TEST(PsdRender, ImportedSetsLookLikeTheFilesFlattenedPicture)
{
    for (const std::string name :
         {"psdrb-example", "psdrb-example16", "agpsd-groups", "agpsd-layer-mask", "agpsd-16bits"}) {
        SCOPED_TRACE(name);
        testsupport::TempDir dir;
        const std::string psd = Fixture(name + ".psd");
        // A vMix set leaves the hidden layers out, so the render shows what Photoshop shows.
        std::string out;
        ASSERT_EQ(testsupport::RunCommand(Quote(testsupport::BuiltProgram("kelvane-cli")) + " import-psd " + Quote(psd) +
                                              " " + Quote(dir.path()) + " --name set --to vmix",
                                          &out),
                  0);
        ASSERT_EQ(testsupport::RunCommand(Quote(testsupport::BuiltProgram("kelvane-cli")) + " render " +
                                          Quote(dir.file("set")) + " " + Quote(dir.file("render.bmp"))),
                  0);
        const double difference = MeanDifference(dir.file("render.bmp"), psd + "[0]", dir);
        ASSERT_GE(difference, 0.0);
        std::printf("%s: mean difference %.4f\n", name.c_str(), difference);
        EXPECT_LT(difference, 0.02);
    }
}

}  // namespace
