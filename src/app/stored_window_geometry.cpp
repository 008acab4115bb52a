#include "app/stored_window_geometry.h"

#include "platform/ini_file.h"

namespace qv {

namespace {

struct GeometryItem {
    const char* key;
    int32_t WindowGeometry::*member;
};

constexpr GeometryItem kItems[] = {
    {"Left", &WindowGeometry::left},
    {"Top", &WindowGeometry::top},
    {"Width", &WindowGeometry::width},
    {"Height", &WindowGeometry::height},
};

}  // namespace

void RestoreGeometry(const std::string& settingsPath, std::string_view section,
                     WindowGeometry& geometry) {
    SettingsFile settings(settingsPath);
    for (const GeometryItem& item : kItems) {
        int32_t value = settings.ReadSettingNumber(section, item.key, -1);
        if (value != -1) {
            geometry.*item.member = value;
        }
    }
}

void StoreGeometry(const std::string& settingsPath, std::string_view section,
                   const WindowGeometry& geometry) {
    SettingsFile settings(settingsPath);
    for (const GeometryItem& item : kItems) {
        settings.WriteSettingNumber(section, item.key, geometry.*item.member);
    }
}

}  // namespace qv
