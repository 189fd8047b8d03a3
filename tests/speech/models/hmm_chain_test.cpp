// Composite HMMs of label lines and pronunciations.

#include "models/hmm_chain.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// The sp tee passes straight through: "a sp b" is "a b" with the same
// probabilities, and its arc from a to b also counts sp's transition; "a sp"
// leaves from a's last state.
TEST(StateChain, TeeModelsJoinTheModelsOnEitherSide) {
    const auto inventory = synthetic::Inventory();
    const auto transitions = synthetic::Transitions();
    std::string error;
    speech::StateChain withTee, without;
    for (const auto& [tee, plain] :
         {std::pair<std::vector<std::string>, std::vector<std::string>>{{"a", "sp", "b"}, {"a", "b"}},
          {{"a", "sp"}, {"a"}},
          {{"sp", "a"}, {"a"}}}) {
        ASSERT_TRUE(speech::BuildStateChain(tee, inventory, transitions, withTee, error)) << error;
        ASSERT_TRUE(speech::BuildStateChain(plain, inventory, transitions, without, error)) << error;
        EXPECT_EQ(withTee.states, without.states);
        for (const auto& [crossing, direct] : {std::pair{&withTee.entries, &without.entries},
                                               {&withTee.arcs, &without.arcs},
                                               {&withTee.exits, &without.exits}}) {
            ASSERT_EQ(crossing->size(), direct->size()) << tee.size();
            for (std::size_t k = 0; k < direct->size(); ++k) {
                EXPECT_EQ((*crossing)[k].from, (*direct)[k].from);
                EXPECT_EQ((*crossing)[k].to, (*direct)[k].to);
                EXPECT_DOUBLE_EQ((*crossing)[k].logProbability, (*direct)[k].logProbability);
            }
        }
    }
    ASSERT_TRUE(speech::BuildStateChain({"a", "sp", "b"}, inventory, transitions, withTee, error));
    const auto acrossTee = std::find_if(withTee.arcs.begin(), withTee.arcs.end(),
                                        [](const speech::ChainArc& arc) { return arc.from == 3 && arc.to == 4; });
    ASSERT_NE(acrossTee, withTee.arcs.end());
    const auto usesSp =
        std::any_of(withTee.uses.begin() + acrossTee->usesBegin, withTee.uses.begin() + acrossTee->usesEnd,
                    [](const speech::TransitionUse& use) { return use.matrix == 0; });
    EXPECT_TRUE(usesSp);
}

}  // namespace
