#pragma once
// The acoustic model files shared by model initialisation, training and
// decoding: states (text or binary), transitions and the variance floor.
// Layouts are in docs/formats.md.

#include <cstdint>
#include <string>
#include <vector>

namespace speech {

// One diagonal-covariance Gaussian of a state's mixture.
struct Gaussian {
    float weight = 1.0f;
    std::vector<float> mean;
    std::vector<float> variance;
};

// Emitting states, numbered as "models.txt" numbers them (1, 2, ...);
// states[0] is unused and holds no mixture.
struct StateSet {
    std::uint32_t dimension = 0;
    std::vector<std::vector<Gaussian>> states;
};

// Transition matrices indexed by model number (the "transitions:" value of
// "models.txt"). A matrix for a model of n states (entry and exit included)
// is n x n, row-major, linear probabilities; row i sums to 1 except the exit
// row, which is all zero.
struct TransitionSet {
    struct Matrix {
        std::uint32_t size = 0;
        std::vector<double> probabilities;
        double At(std::uint32_t from, std::uint32_t to) const { return probabilities[std::size_t(from) * size + to]; }
    };
    std::vector<Matrix> matrices;
};

bool ReadStates(const std::string& path, bool binary, StateSet& states, std::string& error);
// Reads a states file in whichever mode it was written: binary files start
// with their magic, anything else is read as text.
bool ReadStatesOfEitherMode(const std::string& path, StateSet& states, std::string& error);
bool WriteStates(const std::string& path, bool binary, const StateSet& states, std::string& error);

bool ReadTransitions(const std::string& path, TransitionSet& transitions, std::string& error);
bool WriteTransitions(const std::string& path, const TransitionSet& transitions, std::string& error);

bool ReadVarianceFloor(const std::string& path, std::vector<float>& floor, std::string& error);
bool WriteVarianceFloor(const std::string& path, const std::vector<float>& floor, std::string& error);

}  // namespace speech
