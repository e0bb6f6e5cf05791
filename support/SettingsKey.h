#pragma once
// The program's settings, kept by QSettings under organisation "KQ": the application's own key
// "Quizmora" (with subkeys such as the frame's "Settings") and the toolkit's shared key "Common".
// On Linux they are INI files below the user's configuration folder. A value that is missing or
// cannot be read leaves the caller's default untouched.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QSettings;

class CSettingsKey {
public:
    // The application's key, or one of its subkeys ("Settings").
    explicit CSettingsKey(std::string_view subkey = {});
    // The toolkit's key shared by the programs of the company.
    static CSettingsKey Common(std::string_view subkey = {});
    ~CSettingsKey();
    CSettingsKey(CSettingsKey&&) noexcept;
    CSettingsKey& operator=(CSettingsKey&&) noexcept;

    CSettingsKey SubKey(std::string_view name) const;

    bool ReadDword(std::string_view name, std::uint32_t& value) const;
    bool ReadDword(std::string_view name, std::int32_t& value) const;
    bool ReadString(std::string_view name, std::string& value) const;  // UTF-8
    bool ReadMultiString(std::string_view name, std::vector<std::string>& values) const;

    void WriteDword(std::string_view name, std::uint32_t value);
    void WriteString(std::string_view name, std::string_view value);
    void WriteMultiString(std::string_view name, const std::vector<std::string>& values);
    void Remove(std::string_view name);

    // Writes pending changes to disk; also done on destruction.
    void Sync();

private:
    CSettingsKey(std::string_view application, std::string_view group);
    std::unique_ptr<QSettings> settings_;
    std::string group_;
};

// The organisation and application names of the settings (and of the Qt application).
inline constexpr std::string_view kSettingsOrganisation = "KQ";
inline constexpr std::string_view kSettingsApplication = "Quizmora";
