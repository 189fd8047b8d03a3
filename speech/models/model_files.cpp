#include "models/model_files.h"

#include <cmath>

#include "common/format_io.h"
#include "common/tool_support.h"

namespace speech {
namespace {

constexpr std::uint32_t kVersion = 1;
constexpr std::string_view kStatesBinaryMagic = "PSTA";
constexpr std::uint32_t kMaxMatrixSize = 1024;
constexpr double kRowSumTolerance = 1e-3;

std::string StateProblem(const std::string& path, std::uint32_t state, const std::string& message) {
    return path + ": state " + std::to_string(state) + ": " + message;
}

// The checks every state set must pass, whichever way it was read or is about
// to be written.
bool CheckGaussian(const std::string& path, std::uint32_t state, const Gaussian& gaussian, std::uint32_t dimension,
                   std::string& error) {
    if (gaussian.mean.size() != dimension || gaussian.variance.size() != dimension) {
        error = StateProblem(path, state, "mean or variance does not have " + std::to_string(dimension) + " values");
        return false;
    }
    if (!std::isfinite(gaussian.weight) || gaussian.weight < 0.0f) {
        error = StateProblem(path, state, "mixture weight is not a number from 0 up");
        return false;
    }
    for (std::uint32_t d = 0; d < dimension; ++d) {
        if (!std::isfinite(gaussian.mean[d])) {
            error = StateProblem(path, state, "mean is not a finite number");
            return false;
        }
        if (!std::isfinite(gaussian.variance[d]) || !(gaussian.variance[d] > 0.0f)) {
            error = StateProblem(path, state, "variance is not a positive number");
            return false;
        }
    }
    return true;
}

bool CheckStates(const std::string& path, const StateSet& states, std::string& error) {
    if (states.dimension == 0 || states.dimension > kMaxDimension) {
        error = path + ": bad state dimension " + std::to_string(states.dimension);
        return false;
    }
    if (states.states.empty() || !states.states[0].empty()) {
        error = path + ": state 0 must be present and hold no mixture";
        return false;
    }
    for (std::uint32_t s = 1; s < states.states.size(); ++s) {
        if (states.states[s].empty()) {
            error = StateProblem(path, s, "holds no mixture");
            return false;
        }
        for (const Gaussian& gaussian : states.states[s])
            if (!CheckGaussian(path, s, gaussian, states.dimension, error)) return false;
    }
    return true;
}

bool ReadStatesBinary(const std::string& path, std::string_view bytes, StateSet& states, std::string& error) {
    ByteReader reader(bytes);
    std::uint32_t version = 0;
    std::uint32_t count = 0;
    if (!reader.ReadTag(kStatesBinaryMagic)) {
        error = path + ": not a binary state file";
        return false;
    }
    if (!reader.ReadU32(version) || !reader.ReadU32(states.dimension) || !reader.ReadU32(count)) {
        error = path + ": state file header is cut short";
        return false;
    }
    if (version != kVersion) {
        error = path + ": unsupported state file version " + std::to_string(version);
        return false;
    }
    if (states.dimension == 0 || states.dimension > kMaxDimension) {
        error = path + ": bad state dimension " + std::to_string(states.dimension);
        return false;
    }
    const std::size_t gaussianBytes = 4 * (1 + 2 * std::size_t(states.dimension));
    if (count > reader.Remaining() / (4 + gaussianBytes)) {
        error = path + ": file too short for " + std::to_string(count) + " states";
        return false;
    }
    states.states.assign(1, {});
    for (std::uint32_t s = 1; s <= count; ++s) {
        std::uint32_t mixtures = 0;
        if (!reader.ReadU32(mixtures) || mixtures > reader.Remaining() / gaussianBytes) {
            error = StateProblem(path, s, "file cut short");
            return false;
        }
        auto& state = states.states.emplace_back(mixtures);
        for (Gaussian& gaussian : state) {
            reader.ReadF32(gaussian.weight);
            gaussian.mean.resize(states.dimension);
            gaussian.variance.resize(states.dimension);
            for (float& value : gaussian.mean) reader.ReadF32(value);
            for (float& value : gaussian.variance) reader.ReadF32(value);
        }
    }
    if (reader.Remaining() != 0) {
        error = path + ": unexpected bytes after the last state";
        return false;
    }
    return CheckStates(path, states, error);
}

bool ReadValues(TokenReader& reader, std::vector<float>& values, std::uint32_t count, std::string& error) {
    values.resize(count);
    for (float& value : values)
        if (!reader.ReadFloat(value, error)) return false;
    return true;
}

bool ReadStatesText(const std::string& path, std::string_view text, StateSet& states, std::string& error) {
    TokenReader reader(text, path);
    std::uint32_t version = 0;
    std::uint32_t count = 0;
    if (!reader.Expect("states", error) || !reader.ReadUnsigned(version, error)) return false;
    if (version != kVersion) {
        error = reader.Problem("unsupported state file version " + std::to_string(version));
        return false;
    }
    if (!reader.Expect("dimension", error) || !reader.ReadUnsigned(states.dimension, error) ||
        !reader.Expect("count", error) || !reader.ReadUnsigned(count, error))
        return false;
    if (states.dimension == 0 || states.dimension > kMaxDimension) {
        error = reader.Problem("bad state dimension " + std::to_string(states.dimension));
        return false;
    }
    // Each mixture takes at least two characters per number it holds.
    const std::size_t gaussianChars = 2 * (4 + 2 * std::size_t(states.dimension));
    if (count > reader.Remaining() / gaussianChars) {
        error = reader.Problem("file too short for " + std::to_string(count) + " states");
        return false;
    }
    states.states.assign(1, {});
    for (std::uint32_t s = 1; s <= count; ++s) {
        std::uint32_t number = 0;
        std::uint32_t mixtures = 0;
        if (!reader.Expect("state", error) || !reader.ReadUnsigned(number, error)) return false;
        if (number != s) {
            error = reader.Problem("expected state " + std::to_string(s) + ", found " + std::to_string(number));
            return false;
        }
        if (!reader.Expect("mixtures", error) || !reader.ReadUnsigned(mixtures, error)) return false;
        if (mixtures > reader.Remaining() / gaussianChars) {
            error = reader.Problem("file too short for " + std::to_string(mixtures) + " mixtures");
            return false;
        }
        auto& state = states.states.emplace_back(mixtures);
        for (Gaussian& gaussian : state) {
            if (!reader.Expect("weight", error) || !reader.ReadFloat(gaussian.weight, error) ||
                !reader.Expect("mean", error) || !ReadValues(reader, gaussian.mean, states.dimension, error) ||
                !reader.Expect("variance", error) || !ReadValues(reader, gaussian.variance, states.dimension, error))
                return false;
        }
    }
    if (!reader.AtEnd()) {
        error = reader.Problem("unexpected text after the last state");
        return false;
    }
    return CheckStates(path, states, error);
}

std::string EncodeStatesBinary(const StateSet& states) {
    std::string bytes(kStatesBinaryMagic);
    AppendU32(bytes, kVersion);
    AppendU32(bytes, states.dimension);
    AppendU32(bytes, static_cast<std::uint32_t>(states.states.size() - 1));
    for (std::size_t s = 1; s < states.states.size(); ++s) {
        AppendU32(bytes, static_cast<std::uint32_t>(states.states[s].size()));
        for (const Gaussian& gaussian : states.states[s]) {
            AppendF32(bytes, gaussian.weight);
            for (float value : gaussian.mean) AppendF32(bytes, value);
            for (float value : gaussian.variance) AppendF32(bytes, value);
        }
    }
    return bytes;
}

void AppendValues(std::string& text, const char* label, const std::vector<float>& values) {
    text += label;
    for (float value : values) {
        text += ' ';
        text += FormatFloat(value);
    }
    text += '\n';
}

std::string EncodeStatesText(const StateSet& states) {
    std::string text = "states " + std::to_string(kVersion) + "\ndimension " + std::to_string(states.dimension) +
                       "\ncount " + std::to_string(states.states.size() - 1) + "\n";
    for (std::size_t s = 1; s < states.states.size(); ++s) {
        text += "state " + std::to_string(s) + " mixtures " + std::to_string(states.states[s].size()) + "\n";
        for (const Gaussian& gaussian : states.states[s]) {
            text += "weight " + FormatFloat(gaussian.weight) + "\n";
            AppendValues(text, "mean", gaussian.mean);
            AppendValues(text, "variance", gaussian.variance);
        }
    }
    return text;
}

bool CheckMatrix(const std::string& path, std::size_t index, const TransitionSet::Matrix& matrix, std::string& error) {
    const std::string where = path + ": matrix " + std::to_string(index) + ": ";
    if (matrix.size < 2 || matrix.size > kMaxMatrixSize ||
        matrix.probabilities.size() != std::size_t(matrix.size) * matrix.size) {
        error = where + "bad size " + std::to_string(matrix.size);
        return false;
    }
    for (std::uint32_t from = 0; from < matrix.size; ++from) {
        double sum = 0.0;
        for (std::uint32_t to = 0; to < matrix.size; ++to) {
            const double p = matrix.At(from, to);
            if (!std::isfinite(p) || p < 0.0 || p > 1.0) {
                error = where + "probability outside 0 to 1 in row " + std::to_string(from);
                return false;
            }
            sum += p;
        }
        const bool exitRow = from + 1 == matrix.size;
        if (exitRow ? sum != 0.0 : std::fabs(sum - 1.0) > kRowSumTolerance) {
            error = where + "row " + std::to_string(from) + (exitRow ? " must be all zero" : " does not sum to 1");
            return false;
        }
    }
    return true;
}

bool DecodeStates(const std::string& path, std::string_view contents, bool binary, StateSet& states,
                  std::string& error) {
    states = StateSet{};
    const bool read =
        binary ? ReadStatesBinary(path, contents, states, error) : ReadStatesText(path, contents, states, error);
    if (!read) states = StateSet{};
    return read;
}

}  // namespace

bool ReadStates(const std::string& path, bool binary, StateSet& states, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    return DecodeStates(path, contents, binary, states, error);
}

bool ReadStatesOfEitherMode(const std::string& path, StateSet& states, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    return DecodeStates(path, contents, contents.starts_with(kStatesBinaryMagic), states, error);
}

bool WriteStates(const std::string& path, bool binary, const StateSet& states, std::string& error) {
    if (!CheckStates(path, states, error)) {
        error += ", nothing written";
        return false;
    }
    return WriteFileAtomically(path, binary ? EncodeStatesBinary(states) : EncodeStatesText(states), error);
}

bool ReadTransitions(const std::string& path, TransitionSet& transitions, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    transitions = TransitionSet{};
    TokenReader reader(contents, path);
    std::uint32_t version = 0;
    std::uint32_t count = 0;
    if (!reader.Expect("transitions", error) || !reader.ReadUnsigned(version, error)) return false;
    if (version != kVersion) {
        error = reader.Problem("unsupported transitions file version " + std::to_string(version));
        return false;
    }
    if (!reader.Expect("count", error) || !reader.ReadUnsigned(count, error)) return false;
    if (count > reader.Remaining() / 8) {
        error = reader.Problem("file too short for " + std::to_string(count) + " matrices");
        return false;
    }
    for (std::uint32_t m = 0; m < count; ++m) {
        std::uint32_t index = 0;
        TransitionSet::Matrix matrix;
        if (!reader.Expect("matrix", error) || !reader.ReadUnsigned(index, error)) return false;
        if (index != m) {
            error = reader.Problem("expected matrix " + std::to_string(m) + ", found " + std::to_string(index));
            return false;
        }
        if (!reader.Expect("size", error) || !reader.ReadUnsigned(matrix.size, error)) return false;
        if (matrix.size < 2 || matrix.size > kMaxMatrixSize ||
            std::size_t(matrix.size) * matrix.size > reader.Remaining() / 2 + 1) {
            error = reader.Problem("bad matrix size " + std::to_string(matrix.size));
            return false;
        }
        matrix.probabilities.resize(std::size_t(matrix.size) * matrix.size);
        for (double& p : matrix.probabilities)
            if (!reader.ReadDouble(p, error)) return false;
        if (!CheckMatrix(path, m, matrix, error)) return false;
        transitions.matrices.push_back(std::move(matrix));
    }
    if (!reader.AtEnd()) {
        error = reader.Problem("unexpected text after the last matrix");
        return false;
    }
    return true;
}

bool WriteTransitions(const std::string& path, const TransitionSet& transitions, std::string& error) {
    std::string text =
        "transitions " + std::to_string(kVersion) + "\ncount " + std::to_string(transitions.matrices.size()) + "\n";
    for (std::size_t m = 0; m < transitions.matrices.size(); ++m) {
        const auto& matrix = transitions.matrices[m];
        if (!CheckMatrix(path, m, matrix, error)) {
            error += ", nothing written";
            return false;
        }
        text += "matrix " + std::to_string(m) + " size " + std::to_string(matrix.size) + "\n";
        for (std::uint32_t from = 0; from < matrix.size; ++from) {
            for (std::uint32_t to = 0; to < matrix.size; ++to) {
                if (to > 0) text += ' ';
                text += FormatDouble(matrix.At(from, to));
            }
            text += '\n';
        }
    }
    return WriteFileAtomically(path, text, error);
}

bool ReadVarianceFloor(const std::string& path, std::vector<float>& floor, std::string& error) {
    std::string contents;
    if (!ReadWholeFile(path, contents, error)) return false;
    floor.clear();
    TokenReader reader(contents, path);
    std::uint32_t version = 0;
    std::uint32_t dimension = 0;
    if (!reader.Expect("varfloor", error) || !reader.ReadUnsigned(version, error)) return false;
    if (version != kVersion) {
        error = reader.Problem("unsupported variance floor version " + std::to_string(version));
        return false;
    }
    if (!reader.Expect("dimension", error) || !reader.ReadUnsigned(dimension, error)) return false;
    if (dimension == 0 || dimension > kMaxDimension) {
        error = reader.Problem("bad dimension " + std::to_string(dimension));
        return false;
    }
    std::vector<float> values;
    if (!ReadValues(reader, values, dimension, error)) return false;
    for (float value : values) {
        if (value < 0.0f) {
            error = path + ": variance floor value is negative";
            return false;
        }
    }
    if (!reader.AtEnd()) {
        error = reader.Problem("unexpected text after the last value");
        return false;
    }
    floor = std::move(values);
    return true;
}

bool WriteVarianceFloor(const std::string& path, const std::vector<float>& floor, std::string& error) {
    if (floor.empty() || floor.size() > kMaxDimension) {
        error = path + ": bad variance floor dimension, nothing written";
        return false;
    }
    std::string text = "varfloor " + std::to_string(kVersion) + "\ndimension " + std::to_string(floor.size()) + "\n";
    for (std::size_t d = 0; d < floor.size(); ++d) {
        if (!std::isfinite(floor[d]) || floor[d] < 0.0f) {
            error = path + ": variance floor value is not a number from 0 up, nothing written";
            return false;
        }
        if (d > 0) text += ' ';
        text += FormatFloat(floor[d]);
    }
    text += '\n';
    return WriteFileAtomically(path, text, error);
}

}  // namespace speech
