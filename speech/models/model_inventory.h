#pragma once
// The model inventory that the application writes for training and decoding:
// "models.txt" (which emitting states and which transition matrix each phone
// model has), "monophones.txt", "phones.txt" and "lexicon.txt". The files are
// read as the application writes them, irregular spacing included.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace speech {

// The engine's one convention about model names: the model "sil" is
// silence. Label lines begin and end with it (the word templates' keys leave
// it out), its states share a variance of their own in training, and its
// flat-start transitions may skip across it and loop back.
constexpr char kSilenceModel[] = "sil";

struct PhoneModel {
    std::string phone;
    std::uint32_t transitions = 0;      // index of the model's transition matrix
    std::vector<std::uint32_t> states;  // emitting states, numbered as the state file numbers them
};

// Word (grammar form) to its pronunciations, each a list of phones, in file order.
using Lexicon = std::map<std::string, std::vector<std::vector<std::string>>>;

struct ModelInventory {
    std::vector<PhoneModel> models;                     // by model index
    std::map<std::string, std::uint32_t> modelByPhone;  // phone name to model index
    Lexicon lexicon;

    // The model of `phone`, or nullptr.
    const PhoneModel* Find(const std::string& phone) const;
};

struct InventoryFiles {
    std::string models;
    std::string monophones;
    std::string phones;
    std::string lexicon;
};

// Reads the four files and checks that they agree with each other: every
// monophone and every phone of "phones.txt" has a model with that index, and
// every phone of the lexicon is a monophone. False with `error` naming the
// file and the problem.
bool LoadModelInventory(const InventoryFiles& files, ModelInventory& inventory, std::string& error);

}  // namespace speech
