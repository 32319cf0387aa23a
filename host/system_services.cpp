#include "system_services.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>

#include "video_device.h"

namespace tx {

namespace {

std::string folder(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// The processor's vendor as the CPU reports it, with the two common vendor strings given their
// usual short names. Machines whose kernel reports no vendor give the machine architecture.
std::string cpuName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("vendor_id", 0) != 0) continue;
        const auto colon = line.find(':');
        if (colon == std::string::npos) break;
        const auto start = line.find_first_not_of(" \t", colon + 1);
        if (start == std::string::npos) break;
        const std::string vendor = line.substr(start, line.find_last_not_of(" \t") + 1 - start);
        if (vendor == "GenuineIntel") return "Intel";
        if (vendor == "AuthenticAMD") return "AMD";
        return vendor;
    }
    utsname system{};
    return uname(&system) == 0 ? system.machine : "";
}

// The kernel's name and release, for example "Linux 6.1.0-18-amd64".
std::string osName() {
    utsname system{};
    if (uname(&system) != 0) return "";
    return std::string(system.sysname) + " " + system.release;
}

std::string executableFolder() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return "";
    path.resize(static_cast<size_t>(length));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string tempFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && tmpdir[0] != '\0' ? tmpdir : "/tmp";
}

}  // namespace

void SystemServices::setTitle(std::string_view title, std::string_view closePrompt) {
    title_ = title;
    closePrompt_ = closePrompt;
    video_.setTitle(title_);
}

// "windowsdir" is the system-wide configuration folder (/etc/): like the Windows folder it
// holds the system's settings and is read-only to programs. "systemdir" is the folder of the
// system's shared libraries (/usr/lib/), the counterpart of the system folder of DLLs.
std::string SystemServices::systemProperty(std::string_view name) const {
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key == "cpu") return cpuName();
    if (key == "os") return osName();
    if (key == "appdir") return folder(executableFolder());
    if (key == "windowsdir") return "/etc/";
    if (key == "systemdir") return "/usr/lib/";
    if (key == "tempdir") return folder(tempFolder());
    return "";
}

}  // namespace tx
