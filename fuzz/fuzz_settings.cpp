// The settings file reader and writer on any file content (kept in /dev/shm, where the
// writer's flushes cost nothing): never crashes, a written number
// reads back, and the other sections' lines survive the write.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path =
        "/dev/shm/quorvane-fuzz-settings-" + std::to_string(getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    qv::SettingsFile ini(path);
    (void)ini.ReadSettingNumber("Main", "Left", -1);
    (void)ini.ReadString("Title", "Width", "");
    try {
        ini.WriteSettingNumber("Main", "Width", 517);
    } catch (const qv::Failure&) {
        return 0;
    }
    if (ini.ReadSettingNumber("Main", "Width", -1) != 517) {
        std::abort();
    }
    return 0;
}
