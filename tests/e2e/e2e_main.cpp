#include <gtest/gtest.h>

#include "e2e/fixture.h"

namespace {

class XServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { e2e::StartXServer(); }
    void TearDown() override { e2e::StopXServer(); }
};

}  // namespace

namespace e2e {
INSTANTIATE_TEST_SUITE_P(Targets, KeltoTest, ::testing::Values(&kLinux, &kWindows, &kWayland),
                         [](const ::testing::TestParamInfo<const Target*>& param) {
                             return std::string(param.param->name);
                         });
}  // namespace e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no X server.
    if (!::testing::GTEST_FLAG(list_tests)) {
        ::testing::AddGlobalTestEnvironment(new XServerEnvironment);
    }
    return RUN_ALL_TESTS();
}
