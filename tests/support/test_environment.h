#pragma once
// Environment variables set for one test: each gets back the value it had
// before when the object goes.

#include <stdlib.h>

#include <map>
#include <optional>
#include <string>

class TestEnvironment {
public:
    TestEnvironment() = default;
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;
    ~TestEnvironment() {
        for (const auto& [name, value] : saved_) {
            Put(name, value ? value->c_str() : nullptr);
        }
    }

    // Sets `name` to `value`, or unsets it when `value` is null.
    void Set(const std::string& name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = ::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Put(name, value);
    }

private:
    static void Put(const std::string& name, const char* value) {
        if (value) {
            ::setenv(name.c_str(), value, 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }

    std::map<std::string, std::optional<std::string>> saved_;
};
