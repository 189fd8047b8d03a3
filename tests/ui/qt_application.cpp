// One QApplication for every test of the executable (offscreen platform).

#include <gtest/gtest.h>
#include <QApplication>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { application_ = new QApplication(argc_, argv_); }
    void TearDown() override { delete application_; }

private:
    int argc_ = 1;
    char name_[8] = "ui_test";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
