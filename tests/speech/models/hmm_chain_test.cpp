// Composite HMMs of label lines and pronunciations.

#include "models/hmm_chain.h"

#include <gtest/gtest.h>

#include "speech/support/synthetic_models.h"

namespace {

// A label line or pronunciation of any length builds without deep recursion;
// a run of tee models long enough to blow up the chain is refused by name.
TEST(StateChain, RefusesLongRunsOfTeeModelsWithoutRecursingThroughThem) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    speech::StateChain chain;
    std::string error;
    std::vector<std::string> phones(16, "sp");
    phones.insert(phones.begin(), "a");
    phones.push_back("b");
    ASSERT_TRUE(speech::BuildStateChain(phones, inventory, transitions, chain, error)) << error;
    EXPECT_EQ(chain.states.size(), 8u);

    std::vector<std::string> hostile(100000, "sp");
    hostile.insert(hostile.begin(), "a");
    EXPECT_FALSE(speech::BuildStateChain(hostile, inventory, transitions, chain, error));
    EXPECT_NE(error.find("tee models (sp) in a row"), std::string::npos) << error;
}

}  // namespace
