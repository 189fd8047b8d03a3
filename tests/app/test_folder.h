#pragma once
// Each test of the dialog and the programs runs in a fresh folder of its own:
// the fixture creates it, enters it, and removes it.

#include <optional>

#include <gtest/gtest.h>

#include "support/temporary_folder.h"

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override { folder_.emplace(); }
    void TearDown() override { folder_.reset(); }

    const std::filesystem::path& Folder() const { return folder_->path(); }

private:
    std::optional<EnteredFolder> folder_;
};
