#pragma once
// The per-user settings store: strings addressed by application name, section and key.
// Reads always name a default and never fail; writes are not checked.

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace qm::settings {

namespace section {
inline constexpr const char* kOptions = "OptionAndSettings";
inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kDrives = "Drives";
}  // namespace section

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string Read(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& fallback) = 0;
    virtual void Write(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// A store kept in memory: the test double, and the fallback when no store can be opened.
class MemorySettingsStore final : public SettingsStore {
  public:
    std::string Read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;

  private:
    // Names compare without regard to case, as in the registry.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

// Every stored yes-or-no goes through this one reader: option buttons store "True"/"False",
// check boxes "1"/"0" and a few flags "Yes"/"No" (any case; a number counts as yes unless 0).
// Anything else (a damaged or hand-edited value) gives `fallback`.
bool ParseFlag(std::string_view value, bool fallback);

// The program's own options: the application name is the product name.
class ProgramSettings {
  public:
    ProgramSettings(SettingsStore& store, std::string productName)
        : store_(store), app_(std::move(productName)) {}
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback) const {
        return store_.Read(app_, section, key, fallback);
    }
    void Write(const std::string& section, const std::string& key, const std::string& value) {
        store_.Write(app_, section, key, value);
    }
    bool ReadFlag(const std::string& section, const std::string& key, bool fallback) const {
        return ParseFlag(Read(section, key, fallback ? "True" : "False"), fallback);
    }
    // A check box's value: 1 checked, 0 clear.
    int ReadCheck(const std::string& section, const std::string& key, int fallback) const {
        return ReadFlag(section, key, fallback != 0) ? 1 : 0;
    }
    void WriteCheck(const std::string& section, const std::string& key, int value) {
        Write(section, key, value ? "1" : "0");
    }
    void WriteOption(const std::string& section, const std::string& key, bool value) {
        Write(section, key, value ? "True" : "False");
    }
    const std::string& AppName() const { return app_; }

  private:
    SettingsStore& store_;
    std::string app_;
};

}  // namespace qm::settings
