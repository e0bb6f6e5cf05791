#include "game/ViewSettings.h"

#include "support/SettingsKey.h"
#include "ui/PathFunctions.h"

#include <algorithm>

namespace {

constexpr std::string_view kSwitchTime = "SwitchTime";
constexpr std::string_view kSecTicker = "SecTicker";
constexpr std::string_view kStarSize = "StarSize";
constexpr std::string_view kPicPath = "PicPath";
constexpr std::string_view kComPort = "ComPort";
constexpr std::string_view kComDevice = "ComDevice";

}  // namespace

SViewSettings LoadViewSettings()
{
    SViewSettings settings;
    const CSettingsKey key;
    key.ReadDword(kSwitchTime, settings.SwitchTime);
    key.ReadDword(kSecTicker, settings.SecTicker);
    key.ReadDword(kStarSize, settings.StarSize);
    key.ReadString(kPicPath, settings.PicPath);
    key.ReadDword(kComPort, settings.ComPort);
    key.ReadString(kComDevice, settings.ComDevice);

    settings.SwitchTime = std::clamp(settings.SwitchTime, kSwitchTimeMin, kSwitchTimeMax);
    RemoveSlash(settings.PicPath);
    return settings;
}

void SaveViewSettings(const SViewSettings& settings)
{
    CSettingsKey key;
    key.WriteDword(kSwitchTime, static_cast<std::uint32_t>(settings.SwitchTime));
    key.WriteDword(kSecTicker, static_cast<std::uint32_t>(settings.SecTicker));
    key.WriteDword(kStarSize, static_cast<std::uint32_t>(settings.StarSize));
    key.WriteString(kPicPath, settings.PicPath);
    key.WriteDword(kComPort, settings.ComPort);
    if (settings.ComDevice.empty())
        key.Remove(kComDevice);
    else
        key.WriteString(kComDevice, settings.ComDevice);
    key.Sync();
}
