#include "models/model_inventory.h"

#include <set>

#include "common/format_io.h"
#include "common/tool_support.h"

namespace speech {
namespace {

bool ReadCount(const std::string& path, const std::string& line, const std::string& key, long long& count,
               std::string& error) {
    const auto fields = SplitFields(line);
    if (fields.size() != 3 || fields[0] != key || fields[1] != "=" || !ParseInt(fields[2], count) || count < 0) {
        error = path + ": expected \"" + key + " = N\" first, found \"" + line + "\"";
        return false;
    }
    return true;
}

// A list whose first line is "KEY = N" followed by exactly N entries; `lines`
// holds the first line too.
bool ReadCountedList(const std::string& path, const std::string& key, const std::string& what,
                     std::vector<std::string>& lines, std::string& error) {
    if (!ReadListFile(path, lines, error)) return false;
    if (lines.empty()) {
        error = path + ": empty file";
        return false;
    }
    long long count = 0;
    if (!ReadCount(path, lines[0], key, count, error)) return false;
    if (lines.size() != 1 + std::size_t(count)) {
        error = path + ": " + std::to_string(count) + " " + what + " announced, but the file lists " +
                std::to_string(lines.size() - 1);
        return false;
    }
    return true;
}

// "key: value" line of a model block.
bool BlockField(const std::string& path, const std::string& line, const std::string& key, std::string& value,
                std::string& error) {
    const auto colon = line.find(':');
    if (colon == std::string::npos || line.substr(0, colon) != key) {
        error = path + ": expected \"" + key + ":\", found \"" + line + "\"";
        return false;
    }
    const auto fields = SplitFields(line.substr(colon + 1));
    value.clear();
    for (const auto& field : fields) value += (value.empty() ? "" : " ") + field;
    return true;
}

bool BlockNumber(const std::string& path, const std::string& line, const std::string& key, long long& number,
                 std::string& error) {
    std::string value;
    if (!BlockField(path, line, key, value, error)) return false;
    if (!ParseInt(value, number) || number < 0 || number > 1000000) {
        error = path + ": bad number in \"" + line + "\"";
        return false;
    }
    return true;
}

bool ReadModels(const std::string& path, ModelInventory& inventory, std::string& error) {
    std::vector<std::string> lines;
    if (!ReadListFile(path, lines, error)) return false;
    long long count = 0;
    if (lines.empty()) {
        error = path + ": empty file";
        return false;
    }
    if (!ReadCount(path, lines[0], "num_models", count, error)) return false;
    if (lines.size() != 1 + std::size_t(count) * 5) {
        error = path + ": " + std::to_string(count) + " models announced, but the file holds " +
                std::to_string((lines.size() - 1) / 5) + " model blocks";
        return false;
    }
    inventory.models.assign(std::size_t(count), PhoneModel{});
    std::vector<bool> seen(std::size_t(count), false);
    for (std::size_t block = 0; block < std::size_t(count); ++block) {
        const std::string* line = &lines[1 + block * 5];
        long long index = 0, numStates = 0, transitions = 0;
        std::string phone, states;
        if (!BlockNumber(path, line[0], "index", index, error) || !BlockField(path, line[1], "phone", phone, error) ||
            !BlockNumber(path, line[2], "num_states", numStates, error) ||
            !BlockNumber(path, line[3], "transitions", transitions, error) ||
            !BlockField(path, line[4], "states", states, error))
            return false;
        if (index >= count || seen[std::size_t(index)]) {
            error = path + ": model index " + std::to_string(index) + " is out of range or repeated";
            return false;
        }
        if (phone.empty() || phone.find(' ') != std::string::npos) {
            error = path + ": model " + std::to_string(index) + " has no single phone name";
            return false;
        }
        const auto stateFields = SplitFields(states);
        if (numStates < 2 || stateFields.size() != std::size_t(numStates) || stateFields.front() != "0" ||
            stateFields.back() != "0") {
            error = path + ": model " + phone + ": \"states:\" must list num_states numbers starting and ending with 0";
            return false;
        }
        PhoneModel& model = inventory.models[std::size_t(index)];
        model.phone = phone;
        model.transitions = std::uint32_t(transitions);
        for (std::size_t i = 1; i + 1 < stateFields.size(); ++i) {
            long long state = 0;
            if (!ParseInt(stateFields[i], state) || state < 1 || state > 10000000) {
                error = path + ": model " + phone + ": bad state number \"" + stateFields[i] + "\"";
                return false;
            }
            model.states.push_back(std::uint32_t(state));
        }
        if (!inventory.modelByPhone.emplace(phone, std::uint32_t(index)).second) {
            error = path + ": phone " + phone + " has two models";
            return false;
        }
        seen[std::size_t(index)] = true;
    }
    return true;
}

bool ReadMonophones(const std::string& path, const ModelInventory& inventory, std::set<std::string>& monophones,
                    std::string& error) {
    std::vector<std::string> lines;
    if (!ReadCountedList(path, "num_monophones", "monophones", lines, error)) return false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (inventory.Find(lines[i]) == nullptr) {
            error = path + ": monophone " + lines[i] + " has no model in the models file";
            return false;
        }
        monophones.insert(lines[i]);
    }
    return true;
}

bool CheckPhones(const std::string& path, const ModelInventory& inventory, std::string& error) {
    std::vector<std::string> lines;
    if (!ReadCountedList(path, "num_phones", "phones", lines, error)) return false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = SplitFields(lines[i]);
        long long model = 0;
        // "name 1 v v v", or "name 1 v" for the built-in models.
        if (fields.size() < 3 || !ParseInt(fields.back(), model)) {
            error = path + ": bad line \"" + lines[i] + "\"";
            return false;
        }
        const PhoneModel* found = inventory.Find(fields[0]);
        if (found == nullptr || inventory.modelByPhone.at(fields[0]) != std::uint64_t(model)) {
            error = path + ": phone " + fields[0] + " does not match model " + std::to_string(model) +
                    " of the models file";
            return false;
        }
    }
    return true;
}

bool ReadLexicon(const std::string& path, const std::set<std::string>& monophones, Lexicon& lexicon,
                 std::string& error) {
    std::vector<std::string> lines;
    if (!ReadListFile(path, lines, error)) return false;
    lexicon.clear();
    for (const auto& line : lines) {
        auto fields = SplitFields(line);
        const std::string word = fields.front();
        fields.erase(fields.begin());
        for (const auto& phone : fields) {
            if (monophones.count(phone) == 0) {
                error = path + ": word " + word + " uses phone " + phone + ", which is not a monophone";
                return false;
            }
        }
        lexicon[word].push_back(std::move(fields));
    }
    return true;
}

}  // namespace

const PhoneModel* ModelInventory::Find(const std::string& phone) const {
    const auto found = modelByPhone.find(phone);
    return found == modelByPhone.end() ? nullptr : &models[found->second];
}

bool LoadModelInventory(const InventoryFiles& files, ModelInventory& inventory, std::string& error) {
    inventory = ModelInventory{};
    std::set<std::string> monophones;
    return ReadModels(files.models, inventory, error) &&
           ReadMonophones(files.monophones, inventory, monophones, error) &&
           CheckPhones(files.phones, inventory, error) &&
           ReadLexicon(files.lexicon, monophones, inventory.lexicon, error);
}

}  // namespace speech
